#pragma once

// Small mono 44.1 kHz mp3 files made on the fly for the sound tests, with the
// system's LAME encoder. The encoder is loaded at run time, so the test build
// links nothing extra.

#include <gtest/gtest.h>
#include <lame/lame.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace soundtest {

constexpr int kRate = 44100;

inline void* lameLibrary()
{
    static void* library = dlopen("libmp3lame.so.0", RTLD_NOW);
    return library;
}

// A file name in the temp folder, apart for each process, as the tests run
// in parallel. Whatever is written there is removed when the process ends.
inline std::string tempPath(const std::string& name)
{
    static struct Removal {
        std::vector<std::string> paths;
        ~Removal()
        {
            for (const std::string& path : paths)
                std::remove(path.c_str());
        }
    } removal;
    const std::string path = testing::TempDir() + std::to_string(getpid()) + "-" + name;
    removal.paths.push_back(path);
    return path;
}

// An mp3 of `samples` at tempPath(name). Empty when no encoder is there.
inline std::string writeMp3(const std::string& name, const std::vector<int16_t>& samples)
{
    if (!lameLibrary()) {
        ADD_FAILURE() << "the tests need libmp3lame.so.0 (Debian package libmp3lame0)";
        return {};
    }
#define LAME(fn) reinterpret_cast<decltype(&lame_##fn)>(dlsym(lameLibrary(), "lame_" #fn))
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
    // The first frame was left blank for the LAME tag, which tells a gapless
    // decoder the encoder's delay and padding.
    LAME(get_lametag_frame)(flags, mp3.data(), static_cast<size_t>(size));
    LAME(close)(flags);
#undef LAME
    const std::string path = tempPath(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(mp3.data()), size);
    return path;
}

// Mono sine, `seconds` long, starting at full amplitude on sample 0.
inline std::vector<int16_t> sine(double seconds, double hertz, double amplitude)
{
    std::vector<int16_t> samples(static_cast<size_t>(seconds * kRate));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(amplitude * std::sin(2.0 * M_PI * hertz * i / kRate));
    return samples;
}

} // namespace soundtest
