// The synthesized score, checked the way a listener (and the picture) would
// notice trouble: level, the loop seam, where sections change, the beat; and
// its mp3, which must decode to exactly the frames rendered, or the music
// gains a gap (or loses a beat) every time it loops.
#include "tools/contentgen/soundtrack/Mixer.h"
#include "tools/contentgen/soundtrack/Mp3Encoder.h"
#include "tools/contentgen/soundtrack/Soundtrack.h"
#include "tools/contentgen/soundtrack/Timing.h"

#include <gtest/gtest.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace soundtrack;

namespace {

// The whole score, synthesized once: it takes seconds.
const StereoBuffer& piece()
{
    static const StereoBuffer mix = renderSoundtrack();
    return mix;
}

constexpr double kBeat = ShowTimes::kBeatSeconds;

StereoBuffer stem(std::initializer_list<Instrument> only)
{
    const std::vector<Instrument> wanted(only);
    return renderMix(composeSoundtrack(), [&](const NoteEvent& e) {
        return std::find(wanted.begin(), wanted.end(), e.instrument) != wanted.end();
    });
}

std::size_t frameAt(double seconds)
{
    return static_cast<std::size_t>(std::lround(seconds * kSampleRate));
}

double rmsDb(const StereoBuffer& b, double from, double to)
{
    double sum = 0.0;
    const std::size_t a = frameAt(from), z = frameAt(to);
    for (std::size_t i = a; i < z; ++i)
        sum += b.left[i] * b.left[i] + b.right[i] * b.right[i];
    return 10.0 * std::log10(sum / (2.0 * static_cast<double>(z - a)) + 1e-20);
}

float largestStep(const std::vector<float>& x, std::size_t from, std::size_t to)
{
    float step = 0.0f;
    for (std::size_t i = from + 1; i < to; ++i)
        step = std::max(step, std::fabs(x[i] - x[i - 1]));
    return step;
}

// Start times (s) of the hits in a percussive stem: where the level, taken
// in blocks of about 1 ms, jumps well above what it was a few ms before.
std::vector<double> onsets(const std::vector<float>& x)
{
    constexpr std::size_t kBlock = 44;
    std::vector<float> level(x.size() / kBlock);
    for (std::size_t b = 0; b < level.size(); ++b)
        for (std::size_t i = 0; i < kBlock; ++i)
            level[b] = std::max(level[b], std::fabs(x[b * kBlock + i]));
    const float loudest = *std::max_element(level.begin(), level.end());
    std::vector<double> found;
    for (std::size_t b = 10; b < level.size(); ++b) {
        const float before = *std::max_element(level.begin() + static_cast<long>(b - 10),
                                                level.begin() + static_cast<long>(b - 3));
        const double start = static_cast<double>(b * kBlock) / kSampleRate;
        const bool rising = level[b] > 0.2f * loudest && level[b] > 1.5f * before;
        if (rising && (found.empty() || start - found.back() > 0.05))
            found.push_back(start);
    }
    return found;
}

double distanceToGrid(double seconds, double spacing)
{
    const double phase = std::fmod(seconds, spacing);
    return std::min(phase, spacing - phase);
}

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

TEST(Soundtrack, TwoMinutesOfStereoWithoutDcPeakingBelowMinusOneDbfsButUsingTheRangeInItsMp3Too)
{
    EXPECT_EQ(piece().frames(), std::size_t{120} * 44100);
    float peak = 0.0f;
    for (const auto* channel : {&piece().left, &piece().right}) {
        EXPECT_EQ(channel->size(), piece().frames());
        double sum = 0.0;
        for (float s : *channel) {
            sum += s;
            peak = std::max(peak, std::fabs(s));
        }
        EXPECT_LT(std::fabs(sum / static_cast<double>(channel->size())), 1e-3);
    }
    EXPECT_LE(peak, 0.89f);
    EXPECT_GT(peak, 0.7f);

    // The file the show plays: two minutes exactly, and under -1 dBFS even
    // after the codec's overshoot.
    const std::vector<int16_t> decoded = decode(encodeSoundtrack(piece()));
    EXPECT_EQ(decoded.size(), std::size_t{2} * 120 * 44100);
    int filePeak = 0;
    for (int16_t s : decoded)
        filePeak = std::max(filePeak, std::abs(static_cast<int>(s)));
    EXPECT_LE(filePeak, static_cast<int>(0.89 * 32768));
}

// When the stream restarts, the last frame is followed by the first: that
// step must look like any other step nearby, and the level must carry on.
TEST(Soundtrack, LoopSeamHasNoJump)
{
    const StereoBuffer& p = piece();
    const std::size_t n = p.frames(), window = frameAt(0.01);
    for (const auto* x : {&p.left, &p.right}) {
        const float seam = std::fabs(x->front() - x->back());
        const float around = std::max(largestStep(*x, n - window, n), largestStep(*x, 0, window));
        EXPECT_LE(seam, around) << "a click where the loop restarts";
    }
    EXPECT_NEAR(rmsDb(p, 119.5, 120.0), rmsDb(p, 0.0, 0.5), 3.0);
}

TEST(Soundtrack, SectionsRiseAndFallAndCymbalsLandWhereThePictureChanges)
{
    using namespace ShowTimes;
    const double intro = rmsDb(piece(), 0.0, kCartoonCut - 0.5);
    EXPECT_LT(intro, rmsDb(piece(), kRoomCut + 1.0, kTurningModelCut - 1.0) - 3.0) << "the intro is sparse";
    EXPECT_GT(intro, -30.0) << "but audible";
    EXPECT_LT(rmsDb(piece(), kCartoonCut, kCartoonCut + 4.0), rmsDb(piece(), kRoomCut - 4.0, kRoomCut) - 2.0)
        << "the build gains energy";
    EXPECT_LT(rmsDb(piece(), kTurningModelCut + 0.5, kLightSceneCut - 0.5),
              rmsDb(piece(), kLightSceneCut + 0.5, kDanceCut - 0.5) - 4.0)
        << "the break is quieter than the drop";
    // The big white flash that opens the room and the drop both get a cymbal.
    const StereoBuffer cymbals = stem({Instrument::Crash});
    for (double cut : {kRoomCut, kLightSceneCut})
        EXPECT_GT(rmsDb(cymbals, cut, cut + 0.2), rmsDb(cymbals, cut - 0.6, cut - 0.05) + 20.0)
            << "no crash at " << cut << " s";
}

// Straight sections keep the kick on the beat; the groove (87-100 s) may
// also kick on its shuffled sixteenths.
TEST(Soundtrack, KicksFallOnTheBeatGrid)
{
    const StereoBuffer kicks = stem({Instrument::Kick});
    const std::vector<double> hits = onsets(kicks.left);
    ASSERT_GT(hits.size(), 150u);
    constexpr double kTolerance = 0.002;
    int onBeat = 0;
    for (double t : hits) {
        const bool groove = t > ShowTimes::kDanceCut && t < ShowTimes::kDanceEnd;
        // The shuffle delays every second sixteenth by 0.3 of a sixteenth.
        const double shuffled = distanceToGrid(t - (1.0 + 0.3) * kBeat / 4.0, kBeat / 2.0);
        const bool onSixteenth = distanceToGrid(t, kBeat / 4.0) < kTolerance || shuffled < kTolerance;
        const bool onGrid = distanceToGrid(t, kBeat) < kTolerance || (groove && onSixteenth);
        EXPECT_TRUE(onGrid) << "kick off the grid at " << t << " s";
        onBeat += distanceToGrid(t, kBeat) < kTolerance && t > ShowTimes::kRoomCut - 0.05 &&
                  t < ShowTimes::kTurningModelCut;
    }
    EXPECT_EQ(onBeat, ShowTimes::Arrangement::kBreak - ShowTimes::Arrangement::kMain)
        << "one kick per beat from the room to the break";
}

// Noise is where a careless generator would differ between runs.
TEST(Soundtrack, RendersTheSameEveryTime)
{
    const auto noisy = {Instrument::Snare, Instrument::ClosedHat, Instrument::Crash, Instrument::Riser};
    const StereoBuffer once = stem(noisy), twice = stem(noisy);
    EXPECT_TRUE(once.left == twice.left);
    EXPECT_TRUE(once.right == twice.right);
}

// 1.3 s is no whole number of MP3 frames, so padding has to be trimmed.
TEST(SoundtrackMp3, DecodesToExactlyTheEncodedFramesAndEncodesTheSameBytesWithTheInfoTagFirst)
{
    const std::vector<int16_t> pcm = chirp(57330);
    const std::vector<unsigned char> mp3 = encodeMp3(pcm);
    const std::vector<int16_t> decoded = decode(mp3);
    ASSERT_EQ(decoded.size(), pcm.size());
    EXPECT_LT(errorDb(pcm, decoded, 0), -25.0);
    // Shifted by one stereo frame the match is worse: the alignment is exact.
    EXPECT_LT(errorDb(pcm, decoded, 0), errorDb(pcm, decoded, 2) - 6.0);

    EXPECT_EQ(mp3, encodeMp3(chirp(57330)));
    ASSERT_GT(mp3.size(), 400u);
    const std::string head(mp3.begin(), mp3.begin() + 400);
    EXPECT_EQ(mp3[0], 0xFF) << "the file must start with an MPEG frame, not an ID3 tag";
    EXPECT_NE(head.find("Info"), std::string::npos);
    EXPECT_NE(head.find("LAME"), std::string::npos);
}

