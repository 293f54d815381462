// The synthesized score, checked the way a listener (and the picture) would
// notice trouble: level, the loop seam, where sections change, the beat.
#include "SoundtrackPiece.h"
#include "tools/contentgen/soundtrack/Mixer.h"
#include "tools/contentgen/soundtrack/Soundtrack.h"
#include "tools/contentgen/soundtrack/Timing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace soundtrack;

namespace {

constexpr double kBeat = 5.0 / 11.0; // seconds at 132 beats a minute

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

} // namespace

TEST(Soundtrack, TwoMinutesOfStereoWithoutDcPeakingBelowMinusOneDbfsButUsingTheRange)
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

TEST(Soundtrack, SectionsRiseAndFallWhereThePictureChanges)
{
    const double intro = rmsDb(piece(), 0.0, 16.0);
    EXPECT_LT(intro, rmsDb(piece(), 30.0, 57.0) - 3.0) << "the intro is sparse";
    EXPECT_GT(intro, -30.0) << "but audible";
    EXPECT_LT(rmsDb(piece(), 16.5, 20.5), rmsDb(piece(), 25.0, 29.0) - 2.0) << "the build gains energy";
    EXPECT_LT(rmsDb(piece(), 58.5, 69.5), rmsDb(piece(), 70.5, 86.5) - 4.0) << "the break is quieter than the drop";
}

// The big white flash at 29.09 s and the drop at 70 s both get a cymbal.
TEST(Soundtrack, CymbalsLandOnTheBigCuts)
{
    const StereoBuffer cymbals = stem({Instrument::Crash});
    for (double cut : {64 * kBeat, 70.0})
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
        const bool groove = t > 87.0 && t < 100.0;
        // The shuffle delays every second sixteenth by 0.3 of a sixteenth.
        const double shuffled = distanceToGrid(t - (1.0 + 0.3) * kBeat / 4.0, kBeat / 2.0);
        const bool onSixteenth = distanceToGrid(t, kBeat / 4.0) < kTolerance || shuffled < kTolerance;
        const bool onGrid = distanceToGrid(t, kBeat) < kTolerance || (groove && onSixteenth);
        EXPECT_TRUE(onGrid) << "kick off the grid at " << t << " s";
        onBeat += distanceToGrid(t, kBeat) < kTolerance && t > 29.0 && t < 58.0;
    }
    EXPECT_EQ(onBeat, 64) << "one kick per beat from 29.09 s to the break";
}

// Noise is where a careless generator would differ between runs.
TEST(Soundtrack, RendersTheSameEveryTime)
{
    const auto noisy = {Instrument::Snare, Instrument::ClosedHat, Instrument::Crash, Instrument::Riser};
    const StereoBuffer once = stem(noisy), twice = stem(noisy);
    EXPECT_TRUE(once.left == twice.left);
    EXPECT_TRUE(once.right == twice.right);
}
