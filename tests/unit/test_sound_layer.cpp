// The sound layer without playing anything: set-up rules and their errors,
// and the mp3 decoder on its own (gapless, exact positioning, a slice of a
// larger file).

#include "platform/sound/Mp3Source.h"
#include "platform/sound/fsound.h"

#include "SoundTestFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using soundtest::kRate;

class SoundLayer : public testing::Test
{
protected:
    void TearDown() override
    {
        FSOUND_Close();
        FSOUND_SetMixer(FSOUND_MIXER_FLOAT);
        FSOUND_SetOutput(FSOUND_OUTPUT_DEFAULT);
    }
};

TEST_F(SoundLayer, SetUpRulesAreEnforcedWithTheirErrors)
{
    EXPECT_EQ(FSOUND_Stream_Open("any.mp3", FSOUND_NORMAL, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_NOT_INITIALISED);
    EXPECT_EQ(FSOUND_DSP_Create([](void*, void* b, int, void*) { return b; }, 1, nullptr), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_NOT_INITIALISED);
    EXPECT_FALSE(FSOUND_Init(0, 128, 0));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
    EXPECT_FALSE(FSOUND_SetOutput(42));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
    EXPECT_EQ(FSOUND_DSP_GetBufferLengthTotal() % FSOUND_DSP_GetBufferLength(), 0);

    // Mixer and output are float and real time unless chosen before the
    // layer starts, and fixed from then on.
    EXPECT_EQ(FSOUND_GetMixer(), FSOUND_MIXER_FLOAT);
    ASSERT_TRUE(FSOUND_SetMixer(FSOUND_MIXER_INT16));
    ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND_NONREALTIME));
    ASSERT_TRUE(FSOUND_Init(kRate, 8, FSOUND_INIT_GLOBALFOCUS));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_NONE);
    EXPECT_EQ(FSOUND_GetMixer(), FSOUND_MIXER_INT16);
    EXPECT_EQ(FSOUND_GetOutput(), FSOUND_OUTPUT_NOSOUND_NONREALTIME);
    EXPECT_FALSE(FSOUND_SetOutput(FSOUND_OUTPUT_DEFAULT));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_ALREADY_INITIALISED);
    EXPECT_FALSE(FSOUND_Init(kRate, 128, 0));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_ALREADY_INITIALISED);
    EXPECT_FALSE(FSOUND_SetPaused(8, true)); // no such channel
    EXPECT_TRUE(FSOUND_SetPaused(3, true));
    EXPECT_TRUE(FSOUND_GetPaused(3));
    EXPECT_FALSE(FSOUND_GetPaused(2));
}

TEST_F(SoundLayer, FilesItCannotUseAndNullStreamsAreRefused)
{
    ASSERT_TRUE(FSOUND_Init(kRate, 128, 0));
    EXPECT_EQ(FSOUND_Stream_Open("ddata/missing.mp3", FSOUND_NORMAL, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_FILE_NOT_FOUND);
    const std::string path = soundtest::tempPath("not-audio.txt");
    writeFile(path, std::string(9000, 'x') + "This is a plain text file, not an mp3 at all.\n");
    EXPECT_EQ(FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_FILE_FORMAT);
    EXPECT_EQ(FSOUND_Stream_Play(0, nullptr), -1);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
    EXPECT_FALSE(FSOUND_Stream_SetTime(nullptr, 0));
    EXPECT_FALSE(FSOUND_Stream_SetMode(nullptr, FSOUND_LOOP_NORMAL));
}

std::vector<int16_t> decodeAll(sound::Mp3Source& source)
{
    std::vector<int16_t> pcm;
    std::vector<int16_t> chunk(4096 * 2);
    bool finished = false;
    while (!finished) {
        const int frames = source.read(chunk.data(), 4096, finished);
        pcm.insert(pcm.end(), chunk.begin(), chunk.begin() + 2 * frames);
    }
    return pcm;
}

// The mp3 packed between other bytes, read as a slice: a tone after 2048
// frames of silence.
TEST(SoundDecoder, ASliceDecodesGaplessAndPositionsExactly)
{
    std::vector<int16_t> samples(2048, 0);
    const std::vector<int16_t> tone = soundtest::sine(1.0, 1000.0, 12000.0);
    samples.insert(samples.end(), tone.begin(), tone.end());
    const std::string mp3 = readFile(soundtest::writeMp3("onset.mp3", samples));
    const std::string packed = soundtest::tempPath("packed.bin");
    writeFile(packed, "header before the sound" + mp3 + "trailer after the sound");
    const long size = static_cast<long>(mp3.size());

    sound::Mp3Source source;
    ASSERT_EQ(source.open(packed.c_str(), 23, size, kRate), FSOUND_ERR_NONE);
    EXPECT_EQ(source.length(), static_cast<int64_t>(samples.size()));
    const std::vector<int16_t> pcm = decodeAll(source);
    EXPECT_EQ(pcm.size(), samples.size() * 2);
    // Without gapless decoding the tone would start over a thousand frames
    // late; the codec smears an onset by a few samples only.
    size_t loud = 0;
    while (loud < pcm.size() && std::abs(pcm[loud]) < 6000)
        loud += 2;
    EXPECT_NEAR(static_cast<double>(loud / 2), 2048, 8);

    sound::Mp3Source positioned;
    ASSERT_EQ(positioned.open(packed.c_str(), 23, size, kRate), FSOUND_ERR_NONE);
    ASSERT_TRUE(positioned.seek(12345));
    std::vector<int16_t> part(256 * 2);
    bool finished = false;
    ASSERT_EQ(positioned.read(part.data(), 256, finished), 256);
    for (int i = 0; i < 256 * 2; ++i)
        ASSERT_NEAR(part[i], pcm[12345 * 2 + i], 2) << "sample " << i;
}

} // namespace
