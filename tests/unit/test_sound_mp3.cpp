// Makes small mp3 files for the sound tests with the system's LAME encoder.
// The encoder is loaded at run time, so the test build links nothing extra.

#include <gtest/gtest.h>
#include <lame/lame.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "SoundTestFiles.h"

namespace soundtest {
namespace {

void* lameLibrary()
{
    static void* library = dlopen("libmp3lame.so.0", RTLD_NOW);
    return library;
}

// The encoder's function of that name, called through the loaded library.
#define LAME(name) reinterpret_cast<decltype(&lame_##name)>(dlsym(lameLibrary(), "lame_" #name))

std::vector<unsigned char> encode(std::vector<int16_t> samples)
{
    lame_global_flags* flags = LAME(init)();
    LAME(set_in_samplerate)(flags, kRate);
    LAME(set_num_channels)(flags, 1);
    LAME(set_mode)(flags, MONO);
    LAME(set_brate)(flags, 128);
    LAME(set_quality)(flags, 7);
    LAME(init_params)(flags);
    const int frames = static_cast<int>(samples.size());
    std::vector<unsigned char> mp3(static_cast<size_t>(frames) * 5 / 4 + 7200 + 16384);
    int size = LAME(encode_buffer)(flags, samples.data(), samples.data(), frames, mp3.data(),
                                   static_cast<int>(mp3.size()));
    size += LAME(encode_flush)(flags, mp3.data() + size, static_cast<int>(mp3.size()) - size);
    mp3.resize(static_cast<size_t>(size));
    // The first frame was left blank for the LAME tag, which tells a gapless
    // decoder the encoder's delay and padding.
    LAME(get_lametag_frame)(flags, mp3.data(), mp3.size());
    LAME(close)(flags);
    return mp3;
}

} // namespace

// A file name in the temp folder, apart for each process, as the tests run
// in parallel.
std::string tempPath(const std::string& name)
{
    return testing::TempDir() + std::to_string(getpid()) + "-" + name;
}

// An mp3 of `samples` at tempPath(name). Empty when no encoder is there.
std::string writeMp3(const std::string& name, const std::vector<int16_t>& samples)
{
    if (!lameLibrary()) {
        ADD_FAILURE() << "the tests need libmp3lame.so.0 (Debian package libmp3lame0)";
        return {};
    }
    const std::vector<unsigned char> mp3 = encode(samples);
    const std::string path = tempPath(name);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return {};
    std::fwrite(mp3.data(), 1, mp3.size(), file);
    std::fclose(file);
    return path;
}

// Mono sine, `seconds` long, starting at full amplitude on sample 0.
std::vector<int16_t> sine(double seconds, double hertz, double amplitude)
{
    std::vector<int16_t> samples(static_cast<size_t>(seconds * kRate));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(amplitude * std::sin(2.0 * M_PI * hertz * i / kRate));
    return samples;
}

} // namespace soundtest
