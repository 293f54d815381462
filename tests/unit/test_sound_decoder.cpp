// The mp3 decoder on its own: gapless length and start, exact positioning,
// a slice of a larger file, and the errors for files it cannot use.

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

TEST(SoundDecoder, CutsEncoderDelayAndPaddingSoTheSoundStartsOnTime)
{
    std::vector<int16_t> samples(2048, 0);
    const std::vector<int16_t> tone = soundtest::sine(0.5, 1000.0, 12000.0);
    samples.insert(samples.end(), tone.begin(), tone.end());
    const std::string path = soundtest::writeMp3("onset.mp3", samples);

    sound::Mp3Source source;
    ASSERT_EQ(source.open(path.c_str(), 0, 0, kRate), FSOUND_ERR_NONE);
    EXPECT_EQ(source.length(), static_cast<int64_t>(samples.size()));
    const std::vector<int16_t> pcm = decodeAll(source);
    EXPECT_EQ(pcm.size(), samples.size() * 2);
    // Without gapless decoding the tone would start over a thousand frames
    // late; the codec smears an onset by a few samples only.
    size_t loud = 0;
    while (loud < pcm.size() && std::abs(pcm[loud]) < 6000)
        loud += 2;
    EXPECT_NEAR(static_cast<double>(loud / 2), 2048, 8);
}

TEST(SoundDecoder, PositioningMatchesDecodingFromTheStart)
{
    const std::string path = soundtest::writeMp3("seek.mp3", soundtest::sine(1.0, 440.0, 9000.0));
    sound::Mp3Source whole;
    ASSERT_EQ(whole.open(path.c_str(), 0, 0, kRate), FSOUND_ERR_NONE);
    const std::vector<int16_t> reference = decodeAll(whole);

    sound::Mp3Source positioned;
    ASSERT_EQ(positioned.open(path.c_str(), 0, 0, kRate), FSOUND_ERR_NONE);
    ASSERT_TRUE(positioned.seek(12345));
    std::vector<int16_t> pcm(256 * 2);
    bool finished = false;
    ASSERT_EQ(positioned.read(pcm.data(), 256, finished), 256);
    for (int i = 0; i < 256 * 2; ++i)
        ASSERT_NEAR(pcm[i], reference[12345 * 2 + i], 2) << "sample " << i;
}

TEST(SoundDecoder, SliceOfALargerFileDecodesLikeTheFileAlone)
{
    const std::vector<int16_t> tone = soundtest::sine(0.3, 440.0, 9000.0);
    const std::string mp3 = readFile(soundtest::writeMp3("slice.mp3", tone));
    const std::string packed = soundtest::tempPath("packed.bin");
    writeFile(packed, "header before the sound" + mp3 + "trailer after the sound");

    sound::Mp3Source source;
    ASSERT_EQ(source.open(packed.c_str(), 23, static_cast<long>(mp3.size()), kRate), FSOUND_ERR_NONE);
    EXPECT_EQ(source.length(), static_cast<int64_t>(tone.size()));
}

TEST(SoundDecoder, MissingFileIsNotFoundAndTextIsUnknownFormat)
{
    sound::Mp3Source missing;
    EXPECT_EQ(missing.open("no/such/file.mp3", 0, 0, kRate), FSOUND_ERR_FILE_NOT_FOUND);

    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "This is a plain text file, not an mp3 at all.\n";
    const std::string path = soundtest::tempPath("not-audio.txt");
    writeFile(path, text);
    sound::Mp3Source source;
    EXPECT_EQ(source.open(path.c_str(), 0, 0, kRate), FSOUND_ERR_FILE_FORMAT);
}

} // namespace
