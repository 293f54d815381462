// The mp3 decoder on its own: gapless length and start, exact positioning,
// and the errors for files it cannot use.

#include "platform/sound/Mp3Source.h"
#include "platform/sound/fsound.h"

#include "SoundTestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>


namespace {

constexpr int kRate = 44100;

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

// Index of the first stereo frame whose left sample reaches `threshold`.
long firstLoudFrame(const std::vector<int16_t>& stereo, int threshold)
{
    for (size_t i = 0; i < stereo.size(); i += 2)
        if (std::abs(stereo[i]) >= threshold)
            return static_cast<long>(i / 2);
    return -1;
}

TEST(SoundDecoder, CutsEncoderDelayAndPaddingSoTheSoundStartsOnTime)
{
    std::vector<int16_t> samples(2048, 0);
    const std::vector<int16_t> tone = soundtest::sine(0.5, 1000.0, 12000.0, kRate);
    samples.insert(samples.end(), tone.begin(), tone.end());
    const std::string path = soundtest::writeMp3("onset.mp3", samples, 1, kRate);

    sound::Mp3Source source;
    ASSERT_EQ(source.open(path.c_str(), 0, 0, kRate), FSOUND_ERR_NONE);
    EXPECT_EQ(source.length(), static_cast<int64_t>(samples.size()));
    const std::vector<int16_t> pcm = decodeAll(source);
    EXPECT_EQ(pcm.size(), samples.size() * 2);
    // Without gapless decoding the tone would start over a thousand frames
    // late; the codec smears an onset by a few samples only.
    EXPECT_NEAR(firstLoudFrame(pcm, 6000), 2048, 8);
}

TEST(SoundDecoder, PositioningMatchesDecodingFromTheStart)
{
    const std::string path =
        soundtest::writeMp3("seek.mp3", soundtest::sine(1.0, 440.0, 9000.0, kRate), 1, kRate);
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

TEST(SoundDecoder, MissingFileIsNotFound)
{
    sound::Mp3Source source;
    EXPECT_EQ(source.open("no/such/file.mp3", 0, 0, kRate), FSOUND_ERR_FILE_NOT_FOUND);
}

TEST(SoundDecoder, FileWithoutMpegAudioIsUnknownFormat)
{
    const std::string path = soundtest::tempPath("not-audio.txt");
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    for (int i = 0; i < 200; ++i)
        std::fputs("This is a plain text file, not an mp3 at all.\n", file);
    std::fclose(file);
    sound::Mp3Source source;
    EXPECT_EQ(source.open(path.c_str(), 0, 0, kRate), FSOUND_ERR_FILE_FORMAT);
}

TEST(SoundDecoder, SliceOfALargerFileDecodesLikeTheFileAlone)
{
    const std::vector<int16_t> tone = soundtest::sine(0.3, 440.0, 9000.0, kRate);
    const std::string alone = soundtest::writeMp3("slice.mp3", tone, 1, kRate);
    std::FILE* in = std::fopen(alone.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    std::vector<char> mp3(1 << 20);
    mp3.resize(std::fread(mp3.data(), 1, mp3.size(), in));
    std::fclose(in);
    const std::string packed = soundtest::tempPath("packed.bin");
    std::FILE* out = std::fopen(packed.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("header before the sound", out);
    std::fwrite(mp3.data(), 1, mp3.size(), out);
    std::fputs("trailer after the sound", out);
    std::fclose(out);

    sound::Mp3Source source;
    ASSERT_EQ(source.open(packed.c_str(), 23, static_cast<long>(mp3.size()), kRate), FSOUND_ERR_NONE);
    EXPECT_EQ(source.length(), static_cast<int64_t>(tone.size()));
}

} // namespace
