// Mixing on the caller's thread, block by block: the capture ring holds the
// same samples for the same frame times on every run, the music loops, and a
// paused channel goes on exactly where it stopped.
#include "audio/Capture.h"
#include "audio/MusicStream.h"
#include "platform/sound/fsound.h"

#include "SoundTestFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using soundtest::kRate;

// Every sample the DSP units see, in order.
void* keepBlock(void* /*original*/, void* buffer, int length, void* user)
{
    auto& samples = *static_cast<std::vector<float>*>(user);
    const float* stereo = static_cast<const float*>(buffer);
    samples.insert(samples.end(), stereo, stereo + 2 * length);
    return buffer;
}

bool silent(const std::vector<float>& samples, size_t from, size_t count)
{
    return std::all_of(samples.begin() + static_cast<long>(from),
                       samples.begin() + static_cast<long>(from + count),
                       [](float s) { return s == 0.0f; });
}

class NonRealTime : public testing::Test
{
protected:
    void SetUp() override
    {
        // A tone that changes pitch, so any shift in position shows.
        std::vector<int16_t> samples = soundtest::sine(2.0, 330.0, 9000.0);
        const std::vector<int16_t> higher = soundtest::sine(2.0, 555.0, 9000.0);
        samples.insert(samples.end(), higher.begin(), higher.end());
        path = soundtest::writeMp3("nonrealtime.mp3", samples);
    }
    void TearDown() override
    {
        FSOUND_Close();
        FSOUND_SetOutput(FSOUND_OUTPUT_DEFAULT);
    }

    // Plays from `startMs` through a fresh sound system and returns what the
    // units saw, mixing `before` blocks, then `paused` blocks paused, then
    // `after` blocks.
    std::vector<float> mix(int startMs, int before, int paused = 0, int after = 0)
    {
        std::vector<float> seen;
        EXPECT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND_NONREALTIME));
        EXPECT_TRUE(FSOUND_Init(kRate, 8, 0));
        FSOUND_DSP_SetActive(FSOUND_DSP_Create(keepBlock, 100, &seen), true);
        FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
        EXPECT_NE(stream, nullptr);
        FSOUND_Stream_SetTime(stream, startMs);
        FSOUND_Stream_Play(0, stream);
        update(before);
        FSOUND_SetPaused(FSOUND_ALL, true);
        update(paused);
        FSOUND_SetPaused(FSOUND_ALL, false);
        update(after);
        FSOUND_Close();
        return seen;
    }
    static void update(int blocks)
    {
        for (int i = 0; i < blocks; ++i)
            EXPECT_TRUE(FSOUND_Update());
    }

    std::string path;
};

TEST_F(NonRealTime, SameCallsGiveTheSameBlocksWithNoGapAndAPausedChannelGoesOnWhereItStopped)
{
    // Far faster than real time, so the decoder falls behind the mixing.
    constexpr size_t kBlocks = 140;
    const std::vector<float> straight = mix(700, kBlocks);
    const std::vector<float> interrupted = mix(700, 12, 5, kBlocks - 12);
    const size_t block = static_cast<size_t>(FSOUND_DSP_GetBufferLength()) * 2;
    ASSERT_EQ(straight.size(), kBlocks * block);
    ASSERT_EQ(interrupted.size(), (kBlocks + 5) * block);
    // Decoding is waited for: no block of the stream comes out silent.
    size_t silentBlocks = 0;
    for (size_t b = 0; b < kBlocks; ++b)
        silentBlocks += silent(straight, b * block, block);
    EXPECT_EQ(silentBlocks, 0u);
    EXPECT_TRUE(silent(interrupted, 12 * block, 5 * block));
    std::vector<float> heard(interrupted.begin(), interrupted.begin() + 12 * block);
    heard.insert(heard.end(), interrupted.begin() + 17 * block, interrupted.end());
    EXPECT_TRUE(heard == straight);
}

// Played from 0.1 s before the end: the music loops, so every block of the
// ring holds sound from the start of the file again.
TEST_F(NonRealTime, TheShowsCaptureRingIsTheSameForTheSameFrameTimesAndTheMusicLoops)
{
    std::vector<int16_t> rings[2];
    for (auto& ring : rings) {
        ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND_NONREALTIME));
        {
            CaptureStdout quiet;
            MusicStream music;
            music.open(path.c_str());
            music.setTime(3.9);
            music.play();
        }
        update(9);
        const int total = FSOUND_DSP_GetBufferLengthTotal();
        ring.assign(captureRing, captureRing + total);
        EXPECT_EQ(captureBlock.load(), 9 % (total / FSOUND_DSP_GetBufferLength()));
        FSOUND_Close();
    }
    EXPECT_EQ(rings[0], rings[1]);
    const long length = FSOUND_DSP_GetBufferLength();
    for (long start = 0; start < static_cast<long>(rings[0].size()); start += length)
        EXPECT_GT(*std::max_element(rings[0].begin() + start, rings[0].begin() + start + length), 3000) << start;
}

} // namespace
