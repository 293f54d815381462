// The music object's capture: the downmix of both mixer kinds with their
// rounding, the ring's block index, and the sound layer's error texts.

#include "audio/Capture.h"
#include "audio/ErrorText.h"
#include "audio/MusicStream.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

TEST(MusicDownmix, IntegersShiftArithmeticallyAndFloatsTruncateKeepingTheLowBits)
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
}

class MusicCapture : public testing::Test
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

TEST_F(MusicCapture, BlockIndexRunsThroughTheRingAndWrapsLeavingTheSpareSamples)
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

TEST_F(MusicCapture, IntegerBlocksAreShiftedAndPassThroughUntouched)
{
    ASSERT_TRUE(FSOUND_SetMixer(FSOUND_MIXER_INT16));
    createMusic();
    const int length = FSOUND_DSP_GetBufferLength();
    std::vector<int16_t> stereo(static_cast<size_t>(length) * 2, 0);
    stereo[0] = -3;
    stereo[2] = 7;
    EXPECT_EQ(captureCallback(stereo.data(), stereo.data(), length, nullptr), stereo.data());
    EXPECT_EQ(captureRing[0], -2);
    EXPECT_EQ(captureRing[1], 3);
    EXPECT_EQ(stereo[0], -3);
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
