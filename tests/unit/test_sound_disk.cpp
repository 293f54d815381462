// SDL's disk output writes exactly what the device would have played: the
// file shows that the soundtrack is there from the first block on.
//
// One thing is beyond our reach: SDL 1.2 starts its audio thread paused, and
// a paused turn of that thread writes a buffer of silence. The layer unpauses
// all through the opening, which wins that race unless the machine is busy;
// so whole device buffers of silence are tolerated before the soundtrack, and
// their number is printed.

#include "platform/sound/fsound.h"

#include "SoundTestFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

using soundtest::kRate;
constexpr int kBlock = 1024;

// Normalised correlation of the output's left channel with the source.
double correlation(const std::vector<int16_t>& stereo, const std::vector<int16_t>& mono, int frames)
{
    double both = 0.0, out = 0.0, in = 0.0;
    for (int i = 0; i < frames; ++i) {
        const double a = stereo[2 * i];
        const double b = mono[i];
        both += a * b;
        out += a * a;
        in += b * b;
    }
    return both / std::sqrt(out * in + 1e-9);
}

TEST(SoundDiskOutput, HoldsTheDecodedSoundtrackFromTheFirstBlockOn)
{
    const std::string raw = soundtest::tempPath("disk-output.raw");
    ScopedEnv driver("SDL_AUDIODRIVER", "disk");
    ScopedEnv file("SDL_DISKAUDIOFILE", raw);
    // Faster than real time, and still far slower than the decoder.
    ScopedEnv delay("SDL_DISKAUDIODELAY", "5");

    // An onset that no block-sized shift could match: a falling tone.
    std::vector<int16_t> source(static_cast<size_t>(kRate));
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<int16_t>(12000.0 * std::sin(2.0 * M_PI * (900.0 - 0.004 * i) * i / kRate));
    const std::string mp3 = soundtest::writeMp3("disk.mp3", source);

    struct CloseSound
    {
        ~CloseSound() { FSOUND_Close(); }
    } closeEvenOnFailure;
    ASSERT_TRUE(FSOUND_Init(kRate, 128, FSOUND_INIT_GLOBALFOCUS));
    FSOUND_STREAM* stream = FSOUND_Stream_Open(mp3.c_str(), FSOUND_NORMAL, 0, 0);
    ASSERT_NE(stream, nullptr);
    FSOUND_Stream_SetTime(stream, 0);
    FSOUND_Stream_Play(0, stream);
    FSOUND_MIXSTATS stats{};
    for (int i = 0; i < 1000 && FSOUND_GetMixStats(&stats) && stats.blocks < 12; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    FSOUND_Close(); // closes the file

    const std::string bytes = readFile(raw);
    std::vector<int16_t> written(bytes.size() / 2);
    std::memcpy(written.data(), bytes.data(), 2 * written.size());
    size_t silent = 0;
    while (silent < written.size() && written[silent] == 0)
        ++silent;
    std::cout << "silent device buffers before the soundtrack: " << silent / (2 * kBlock) << "\n";
    EXPECT_EQ(silent % (2 * kBlock), 0u) << "silence other than SDL's paused buffers";
    EXPECT_LE(silent, static_cast<size_t>(4 * 2 * kBlock));
    written.erase(written.begin(), written.begin() + static_cast<long>(silent - silent % (2 * kBlock)));
    ASSERT_GE(written.size(), static_cast<size_t>(10 * kBlock * 2));
    EXPECT_GT(correlation(written, source, kBlock), 0.95) << "first block";
    EXPECT_GT(correlation(written, source, 10 * kBlock), 0.95) << "first ten blocks";
    std::remove(raw.c_str());
}

} // namespace
