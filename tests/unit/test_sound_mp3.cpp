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

struct Lame
{
    decltype(&lame_init) init = nullptr;
    decltype(&lame_set_in_samplerate) setInRate = nullptr;
    decltype(&lame_set_num_channels) setChannels = nullptr;
    decltype(&lame_set_mode) setMode = nullptr;
    decltype(&lame_set_brate) setBitrate = nullptr;
    decltype(&lame_set_quality) setQuality = nullptr;
    decltype(&lame_init_params) initParams = nullptr;
    decltype(&lame_encode_buffer_interleaved) encodeInterleaved = nullptr;
    decltype(&lame_encode_buffer) encode = nullptr;
    decltype(&lame_encode_flush) flush = nullptr;
    decltype(&lame_get_lametag_frame) lameTag = nullptr;
    decltype(&lame_close) close = nullptr;
};

template <typename F>
void bind(void* library, const char* name, F& function)
{
    function = reinterpret_cast<F>(dlsym(library, name));
}

const Lame* loadLame()
{
    static Lame lame;
    static void* library = dlopen("libmp3lame.so.0", RTLD_NOW);
    if (!library)
        return nullptr;
    bind(library, "lame_init", lame.init);
    bind(library, "lame_set_in_samplerate", lame.setInRate);
    bind(library, "lame_set_num_channels", lame.setChannels);
    bind(library, "lame_set_mode", lame.setMode);
    bind(library, "lame_set_brate", lame.setBitrate);
    bind(library, "lame_set_quality", lame.setQuality);
    bind(library, "lame_init_params", lame.initParams);
    bind(library, "lame_encode_buffer_interleaved", lame.encodeInterleaved);
    bind(library, "lame_encode_buffer", lame.encode);
    bind(library, "lame_encode_flush", lame.flush);
    bind(library, "lame_get_lametag_frame", lame.lameTag);
    bind(library, "lame_close", lame.close);
    return &lame;
}

std::vector<unsigned char> encode(const Lame& lame, std::vector<int16_t> samples, int channels,
                                  int rate)
{
    lame_global_flags* flags = lame.init();
    lame.setInRate(flags, rate);
    lame.setChannels(flags, channels);
    lame.setMode(flags, channels == 1 ? MONO : JOINT_STEREO);
    lame.setBitrate(flags, 128);
    lame.setQuality(flags, 7);
    lame.initParams(flags);
    const int frames = static_cast<int>(samples.size()) / channels;
    std::vector<unsigned char> mp3(static_cast<size_t>(frames) * 5 / 4 + 7200 + 16384);
    int size = channels == 1
        ? lame.encode(flags, samples.data(), samples.data(), frames, mp3.data(), static_cast<int>(mp3.size()))
        : lame.encodeInterleaved(flags, samples.data(), frames, mp3.data(), static_cast<int>(mp3.size()));
    size += lame.flush(flags, mp3.data() + size, static_cast<int>(mp3.size()) - size);
    mp3.resize(static_cast<size_t>(size));
    // The first frame was left blank for the LAME tag, which tells a gapless
    // decoder the encoder's delay and padding.
    lame.lameTag(flags, mp3.data(), mp3.size());
    lame.close(flags);
    return mp3;
}

} // namespace

// A file name in the temp folder, apart for each process, as the tests run
// in parallel.
std::string tempPath(const std::string& name)
{
    return testing::TempDir() + std::to_string(getpid()) + "-" + name;
}

// An mp3 of `samples` (interleaved when stereo), at tempPath(name). Empty
// when no encoder is there.
std::string writeMp3(const std::string& name, const std::vector<int16_t>& samples, int channels,
                     int rate)
{
    const Lame* lame = loadLame();
    if (!lame || !lame->init) {
        ADD_FAILURE() << "the tests need libmp3lame.so.0 (Debian package libmp3lame0)";
        return {};
    }
    const std::vector<unsigned char> mp3 = encode(*lame, samples, channels, rate);
    const std::string path = tempPath(name);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return {};
    std::fwrite(mp3.data(), 1, mp3.size(), file);
    std::fclose(file);
    return path;
}

// Mono sine, `seconds` long, starting at full amplitude on sample 0.
std::vector<int16_t> sine(double seconds, double hertz, double amplitude, int rate)
{
    std::vector<int16_t> samples(static_cast<size_t>(seconds * rate));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(amplitude * std::sin(2.0 * M_PI * hertz * i / rate));
    return samples;
}

} // namespace soundtest
