// The encoded file must decode to exactly the frames we rendered, or the
// music gains a gap (or loses a beat) every time it loops.
#include "SoundtrackPiece.h"
#include "tools/contentgen/soundtrack/Mp3Encoder.h"
#include "tools/contentgen/soundtrack/Soundtrack.h"

#include <gtest/gtest.h>
#include <mpg123.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace soundtrack;

namespace {

// A chirp with a different level per side: any shift or channel swap shows.
std::vector<int16_t> chirp(std::size_t frames)
{
    std::vector<int16_t> pcm(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / 44100.0;
        const double s = std::sin(2.0 * 3.14159265358979 * (200.0 + 400.0 * t) * t);
        pcm[2 * i] = static_cast<int16_t>(std::lround(12000.0 * s));
        pcm[2 * i + 1] = static_cast<int16_t>(std::lround(6000.0 * s));
    }
    return pcm;
}

// Decodes the way the show does: a file, through libmpg123, gapless.
std::vector<int16_t> decode(const std::vector<unsigned char>& mp3)
{
    const auto path = std::filesystem::temp_directory_path() / "test_soundtrack_mp3.mp3";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(mp3.data()),
                                                 static_cast<std::streamsize>(mp3.size()));
    mpg123_init();
    mpg123_handle* h = mpg123_new(nullptr, nullptr);
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
    mpg123_format_none(h);
    mpg123_format(h, 44100, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    std::vector<int16_t> pcm;
    if (mpg123_open(h, path.string().c_str()) == MPG123_OK) {
        std::vector<int16_t> block(8192);
        size_t done = 0;
        int result = MPG123_OK;
        while (result == MPG123_OK || result == MPG123_NEW_FORMAT) {
            result = mpg123_read(h, block.data(), block.size() * sizeof(int16_t), &done);
            pcm.insert(pcm.end(), block.begin(), block.begin() + static_cast<long>(done / sizeof(int16_t)));
        }
        mpg123_close(h);
    }
    mpg123_delete(h);
    std::filesystem::remove(path);
    return pcm;
}

double errorDb(const std::vector<int16_t>& a, const std::vector<int16_t>& b, long shift)
{
    double signal = 0.0, error = 0.0;
    for (std::size_t i = 4410; i + 4410 < a.size(); ++i) {
        const double ref = a[i], got = b[static_cast<std::size_t>(static_cast<long>(i) + shift)];
        signal += ref * ref;
        error += (got - ref) * (got - ref);
    }
    return 10.0 * std::log10(error / signal);
}

} // namespace

// 1.3 s is no whole number of MP3 frames, so padding has to be trimmed.
TEST(SoundtrackMp3, DecodesToExactlyTheEncodedFrames)
{
    const std::vector<int16_t> pcm = chirp(57330);
    const std::vector<int16_t> decoded = decode(encodeMp3(pcm));
    ASSERT_EQ(decoded.size(), pcm.size());
    EXPECT_LT(errorDb(pcm, decoded, 0), -25.0);
    // Shifted by one stereo frame the match is worse: the alignment is exact.
    EXPECT_LT(errorDb(pcm, decoded, 0), errorDb(pcm, decoded, 2) - 6.0);
}

TEST(SoundtrackMp3, EncodingIsByteIdenticalAndStartsWithTheInfoTagThatCarriesDelayAndPadding)
{
    const std::vector<unsigned char> mp3 = encodeMp3(chirp(44100));
    EXPECT_EQ(mp3, encodeMp3(chirp(44100)));
    ASSERT_GT(mp3.size(), 400u);
    const std::string head(mp3.begin(), mp3.begin() + 400);
    EXPECT_EQ(mp3[0], 0xFF) << "the file must start with an MPEG frame, not an ID3 tag";
    EXPECT_NE(head.find("Info"), std::string::npos);
    EXPECT_NE(head.find("LAME"), std::string::npos);
}

// What the show plays: two minutes exactly, and under -1 dBFS even after
// the codec's overshoot.
TEST(SoundtrackMp3, ShowFileDecodesToTwoMinutesUnderMinusOneDbfs)
{
    const std::vector<int16_t> decoded = decode(encodeSoundtrack(piece()));
    EXPECT_EQ(decoded.size(), std::size_t{2} * 120 * 44100);
    int peak = 0;
    for (int16_t s : decoded)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_LE(peak, static_cast<int>(0.89 * 32768));
}
