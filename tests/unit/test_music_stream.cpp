// The music object as the show uses it: its console lines, the version rule,
// positioning in whole milliseconds; its capture (the
// downmix of both mixer kinds with their rounding, the ring's block index)
// and the sound layer's error texts.

#include "audio/Capture.h"
#include "audio/ErrorText.h"
#include "audio/MusicStream.h"

#include "SoundTestFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

class Music : public testing::Test
{
protected:
    void TearDown() override
    {
        FSOUND_Close();
        FSOUND_SetMixer(FSOUND_MIXER_FLOAT);
    }

    // Sets up the sound layer and the ring the way the show does.
    void createMusic()
    {
        CaptureStdout quiet;
        music = std::make_unique<MusicStream>();
    }

    std::unique_ptr<MusicStream> music;
};

TEST_F(Music, WithoutAStreamEveryCallOnlyPrintsAndWithOneSetTimeTruncatesToTheMillisecond)
{
    CaptureStdout capture;
    MusicStream music;
    music.open("ddata/velmo-missing.mp3");
    EXPECT_EQ(music.getStream(), nullptr);
    music.setTime(3.0);
    music.play();
    EXPECT_EQ(capture.text(), "Creating Fmod\nOpening mp3 file: ddata/velmo-missing.mp3\n"
                              "File not found\nPlaying stream mp3...\n");

    // 3.71 is the oldest version accepted; positions are whole milliseconds.
    EXPECT_TRUE(soundVersionAccepted(3.71f));
    EXPECT_TRUE(soundVersionAccepted(FSOUND_GetVersion()));
    EXPECT_FALSE(soundVersionAccepted(3.70f));
    EXPECT_EQ(streamMilliseconds(2.0009), 2000);
    EXPECT_EQ(streamMilliseconds(-1.5009), -1500);
    const std::string path = soundtest::writeMp3("thirteen.mp3", soundtest::sine(13.0, 220.0, 3000.0));
    music.open(path.c_str());
    ASSERT_NE(music.getStream(), nullptr);
    music.setTime(12.3456);
    EXPECT_EQ(FSOUND_Stream_GetTime(music.getStream()), 12345);
    music.setTime(0.0);
    EXPECT_EQ(FSOUND_Stream_GetTime(music.getStream()), 0);
}

TEST_F(Music, DownmixIntegersShiftArithmeticallyAndFloatsTruncateKeepingTheLowBits)
{
    EXPECT_EQ(downmixInt16(-3, 0), -2);
    EXPECT_EQ(downmixInt16(3, 0), 1);
    EXPECT_EQ(downmixInt16(32767, 32767), 32767);
    EXPECT_EQ(downmixInt16(-32768, -32768), -32768);

    EXPECT_EQ(downmixFloat(-3.0f, 0.0f), -1);
    EXPECT_EQ(downmixFloat(-1.5f, 0.0f), 0);
    EXPECT_EQ(downmixFloat(1000.9f, 1000.9f), 1000);
    EXPECT_EQ(downmixFloat(-32768.0f, -32768.0f), -32768);
    // 40000 does not fit: its low 16 bits are stored, as the mixer would.
    EXPECT_EQ(downmixFloat(40000.0f, 40000.0f), static_cast<int16_t>(40000 - 65536));

    // The integer mixer's blocks take the integer path and pass through.
    ASSERT_TRUE(FSOUND_SetMixer(FSOUND_MIXER_INT16));
    createMusic();
    std::vector<int16_t> stereo(static_cast<size_t>(FSOUND_DSP_GetBufferLength()) * 2, 0);
    stereo[0] = -3;
    stereo[2] = 7;
    EXPECT_EQ(captureCallback(stereo.data(), stereo.data(), FSOUND_DSP_GetBufferLength(), nullptr), stereo.data());
    EXPECT_EQ(captureRing[0], -2);
    EXPECT_EQ(captureRing[1], 3);
    EXPECT_EQ(stereo[0], -3);
}

TEST_F(Music, BlockIndexRunsThroughTheRingAndWrapsLeavingTheSpareSamples)
{
    createMusic();
    ASSERT_NE(captureUnit, nullptr);
    const int length = FSOUND_DSP_GetBufferLength();
    const int blocks = FSOUND_DSP_GetBufferLengthTotal() / length;
    EXPECT_EQ(captureBlock.load(), 0);
    for (int i = 0; i < blocks * length + 16; ++i)
        ASSERT_EQ(captureRing[i], 0) << i;
    std::vector<float> stereo(static_cast<size_t>(length) * 2);
    std::vector<int> seen, expected;
    for (int call = 0; call < blocks + 2; ++call) {
        std::fill(stereo.begin(), stereo.end(), static_cast<float>(100 * (call + 1)));
        EXPECT_EQ(captureCallback(stereo.data(), stereo.data(), length, nullptr), stereo.data());
        seen.push_back(captureBlock.load());
        expected.push_back((call + 1) % blocks);
    }
    EXPECT_EQ(seen, expected);
    // Blocks 0 and 1 were written twice; the later calls are there now.
    EXPECT_EQ(captureRing[0], 100 * (blocks + 1));
    EXPECT_EQ(captureRing[length], 100 * (blocks + 2));
    EXPECT_EQ(captureRing[2 * length], 300);
    EXPECT_EQ(captureRing[blocks * length], 0) << "spare samples stay untouched";
}

TEST(MusicErrorText, CodesOfTheSoundLayerMeanWhatTheTableSaysAndOthersAreUnknown)
{
    EXPECT_STREQ(errorText(FSOUND_ERR_NONE), "No errors");
    EXPECT_STREQ(errorText(FSOUND_ERR_FILE_NOT_FOUND), "File not found");
    EXPECT_STREQ(errorText(FSOUND_ERR_FILE_FORMAT), "Unknown file format");
    EXPECT_STREQ(errorText(FSOUND_ERR_NOT_INITIALISED),
                 "This command failed because FSOUND_Init was not called");
    EXPECT_STREQ(errorText(FSOUND_ERR_INVALID_PARAM), "An invalid parameter was passed to this function");
    EXPECT_STREQ(errorText(FSOUND_ERR_CHANNEL_ALLOC), "Failed to allocate a new channel");
    for (int code : {-1, 19, 1000})
        EXPECT_STREQ(errorText(code), "Unknown error") << code;
}

} // namespace
