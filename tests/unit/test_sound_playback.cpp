// Playing streams through the sound layer and watching what the DSP units
// receive: the sound itself, looping, positioning, the timing figures, and
// mixing on without a sound device.

#include "platform/sound/fsound.h"

#include "TestSupport.h"

#include "SoundTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using soundtest::kRate;
constexpr double kAmplitude = 10000.0;
// A block counts as loud when it reaches half the tone's amplitude.
constexpr float kLoud = kAmplitude / 2;

// What the mixing thread hands a DSP unit: the peak of each block, in order.
struct BlockLog
{
    static constexpr int kMax = 4096;
    std::array<float, kMax> peaks{};
    std::atomic<int> count{0};
    bool integerMixer = false;

    int loudBetween(int from, int to) const
    {
        return static_cast<int>(std::count_if(peaks.begin() + from, peaks.begin() + to,
                                              [](float peak) { return peak >= kLoud; }));
    }
};

template <typename Sample>
float peakOf(const void* buffer, int length)
{
    const Sample* samples = static_cast<const Sample*>(buffer);
    float peak = 0.0f;
    for (int i = 0; i < 2 * length; ++i)
        peak = std::max(peak, std::fabs(static_cast<float>(samples[i])));
    return peak;
}

void* recordBlock(void* /*original*/, void* buffer, int length, void* user)
{
    BlockLog& log = *static_cast<BlockLog*>(user);
    const int index = log.count.load(std::memory_order_relaxed);
    if (index < BlockLog::kMax) {
        log.peaks[static_cast<size_t>(index)] =
            log.integerMixer ? peakOf<int16_t>(buffer, length) : peakOf<float>(buffer, length);
        log.count.store(index + 1, std::memory_order_release);
    }
    return buffer;
}

class SoundPlayback : public testing::Test
{
protected:
    void TearDown() override
    {
        FSOUND_Close();
        FSOUND_SetMixer(FSOUND_MIXER_FLOAT);
    }

    void start(int mixer = FSOUND_MIXER_FLOAT)
    {
        FSOUND_Close();
        log.count = 0;
        log.integerMixer = mixer == FSOUND_MIXER_INT16;
        ASSERT_TRUE(FSOUND_SetMixer(mixer));
        ASSERT_TRUE(FSOUND_Init(kRate, 128, FSOUND_INIT_GLOBALFOCUS));
        FSOUND_DSPUNIT* unit = FSOUND_DSP_Create(recordBlock, 303, &log);
        ASSERT_NE(unit, nullptr);
        FSOUND_DSP_SetActive(unit, true);
    }

    FSOUND_STREAM* open(const std::string& name, const std::vector<int16_t>& mono)
    {
        const std::string path = soundtest::writeMp3(name, mono);
        FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
        EXPECT_NE(stream, nullptr) << "error " << FSOUND_GetError();
        return stream;
    }

    // Waits until the DSP unit has seen `blocks` blocks in all.
    bool waitForBlocks(int blocks, double seconds = 5.0) const
    {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (log.count.load(std::memory_order_acquire) < blocks) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    BlockLog log;
};

TEST_F(SoundPlayback, DspUnitsReceiveTheStreamFromTheFirstBlockOnInEitherMixerAndTheFiguresCountThem)
{
    for (int mixer : {FSOUND_MIXER_INT16, FSOUND_MIXER_FLOAT}) {
        start(mixer);
        FSOUND_STREAM* stream = open("play.mp3", soundtest::sine(2.0, 440.0, kAmplitude));
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(FSOUND_Stream_Play(0, stream), 0);
        ASSERT_TRUE(waitForBlocks(40));
        EXPECT_EQ(log.loudBetween(0, 40), 40) << mixer;
        // A float block read as 16-bit integers would show nonsense peaks.
        EXPECT_LE(*std::max_element(log.peaks.begin(), log.peaks.begin() + 40), kAmplitude * 1.3f) << mixer;
    }
    FSOUND_MIXSTATS stats{};
    ASSERT_TRUE(FSOUND_GetMixStats(&stats));
    EXPECT_EQ(stats.blockFrames, 1024);
    EXPECT_NEAR(stats.blockMs, 23.22, 0.01);
    EXPECT_GE(stats.blocks, 40);
    EXPECT_GE(stats.decodedFrames, 40 * 1024); // how fast is the benchmark's to report
}

// A quarter second, played for about a second: 0.25 s is not quite 11
// blocks, and the units still run on silence after an unlooped end.
TEST_F(SoundPlayback, LoopingStreamRestartsFromItsBeginningAnUnloopedOneFallsSilent)
{
    for (unsigned mode : {FSOUND_LOOP_NORMAL, FSOUND_LOOP_OFF}) {
        start();
        FSOUND_STREAM* stream = open("loop.mp3", soundtest::sine(0.25, 440.0, kAmplitude));
        ASSERT_NE(stream, nullptr);
        FSOUND_Stream_SetMode(stream, mode);
        FSOUND_Stream_Play(0, stream);
        ASSERT_TRUE(waitForBlocks(43));
        const bool loops = mode == FSOUND_LOOP_NORMAL;
        EXPECT_EQ(log.loudBetween(0, 10), 10);
        if (loops) {
            EXPECT_EQ(log.loudBetween(10, 43), 33);
        } else {
            EXPECT_EQ(log.loudBetween(11, 43), 0);
            EXPECT_EQ(FSOUND_Stream_GetTime(stream), 250);
        }
    }
}

TEST_F(SoundPlayback, SetTimeWrapsALoopingStreamPlayStartsThereAndAJumpWhilePlayingLands)
{
    start();
    std::vector<int16_t> silenceThenTone(kRate, 0);
    const std::vector<int16_t> tone = soundtest::sine(1.0, 440.0, kAmplitude);
    silenceThenTone.insert(silenceThenTone.end(), tone.begin(), tone.end());
    FSOUND_STREAM* stream = open("seek.mp3", silenceThenTone);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(FSOUND_Stream_GetLengthMs(stream), 2000);
    FSOUND_Stream_SetMode(stream, FSOUND_LOOP_NORMAL);
    FSOUND_Stream_SetTime(stream, 2500);
    EXPECT_EQ(FSOUND_Stream_GetTime(stream), 500);
    EXPECT_FALSE(FSOUND_Stream_SetTime(stream, -1));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
    ASSERT_TRUE(FSOUND_Stream_SetTime(stream, 1500));
    EXPECT_EQ(FSOUND_Stream_GetTime(stream), 1500);
    FSOUND_Stream_Play(0, stream);
    ASSERT_TRUE(waitForBlocks(10));
    EXPECT_EQ(log.loudBetween(0, 10), 10);

    FSOUND_Stream_SetTime(stream, 100);
    const int atJump = log.count.load();
    ASSERT_TRUE(waitForBlocks(atJump + 12));
    // The first block or two after the request may still be on their way.
    EXPECT_EQ(log.loudBetween(atJump + 2, atJump + 12), 0);
}

class SoundWithoutDevice : public SoundPlayback
{
protected:
    ScopedEnv driver{"SDL_AUDIODRIVER", "no-such-driver"};
};

TEST_F(SoundWithoutDevice, MixesIntoSilenceAtRealTimePaceAndSaysSoOnce)
{
    start();
    FSOUND_STREAM* stream = open("nodevice.mp3", soundtest::sine(2.0, 440.0, kAmplitude));
    ASSERT_NE(stream, nullptr);
    std::string printed;
    {
        CaptureStdout capture;
        FSOUND_Stream_Play(0, stream);
        FSOUND_Stream_Play(0, stream);
        printed = capture.text();
    }
    EXPECT_EQ(printed, "No sound device: mixing into silence\n");
    ASSERT_TRUE(waitForBlocks(3));
    const int before = log.count.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(464)); // 20 blocks
    const int blocks = log.count.load() - before;
    EXPECT_NEAR(blocks, 20, 3);
    EXPECT_EQ(log.loudBetween(0, before + blocks), before + blocks);
    FSOUND_MIXSTATS stats{};
    FSOUND_GetMixStats(&stats);
    EXPECT_TRUE(stats.silentOutput);
}

} // namespace
