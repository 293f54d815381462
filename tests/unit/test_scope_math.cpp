// The scopes' arithmetic: sample levels, which block is drawn, reads that
// wrap inside the capture ring, the colour and growth curves, and the end
// points of both waveforms.

#include "audio/ScopeMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kSpare = 16;

TEST(ScopeCurves, LevelsBlocksRingReadsGreenGrowthAndTheMiddleWave)
{
    EXPECT_EQ(scope::sampleLevel(0), 150);
    EXPECT_EQ(scope::sampleLevel(-32768), 0);
    EXPECT_EQ(scope::sampleLevel(32767), 299);
    EXPECT_EQ(scope::sampleLevel(-1), 149);
    EXPECT_EQ(scope::sampleLevel(219), 151);

    EXPECT_EQ(scope::blockStart(1024, 4096, 0), 1024);
    EXPECT_EQ(scope::blockStart(1024, 4096, 3), 0);
    // Reads past the spare samples wrap to the ring's start.
    std::vector<int16_t> ring(4096 + kSpare);
    for (size_t i = 0; i < ring.size(); ++i)
        ring[i] = static_cast<int16_t>(i);
    EXPECT_EQ(scope::ringSample(ring.data(), 4096, 4096 + 15), 4096 + 15);
    EXPECT_EQ(scope::ringSample(ring.data(), 4096, 4096 + 16), 16);
    EXPECT_EQ(scope::ringSample(ring.data(), 4096, 4096 + 40), 40);

    // Green steps every second and wraps; the growth takes four and a half.
    EXPECT_FLOAT_EQ(scope::greenLevel(0.99), 0.0f);
    EXPECT_FLOAT_EQ(scope::greenLevel(1.5), 0.1f);
    EXPECT_FLOAT_EQ(scope::greenLevel(9.9), 0.9f);
    EXPECT_FLOAT_EQ(scope::greenLevel(63.7), 0.3f);

    EXPECT_FLOAT_EQ(scope::growth(0.0), 0.0f);
    EXPECT_NEAR(scope::growth(2.2725), 1.0f - std::sqrt(0.5f), 1e-6);
    EXPECT_NEAR(scope::growth(4.545), 1.0f, 1e-6);
    EXPECT_FLOAT_EQ(scope::growth(60.0), 1.0f);

    // Each segment of the middle-section wave joins two samples one step
    // apart, across the screen.
    std::fill(ring.begin(), ring.end(), 0);
    ring[1024 + 8] = 32767;  // sample j of segment 2
    ring[1024 + 12] = -32768; // sample j + istep of segment 2
    scope::Segment segments[scope::kWaveSegments];
    scope::waveSegments(ring.data(), 4096, 1024, 1024, segments);
    EXPECT_FLOAT_EQ(segments[2].y1, 299.0f / 300.0f - 0.5f);
    EXPECT_FLOAT_EQ(segments[2].y0, -0.5f);
    EXPECT_FLOAT_EQ(segments[2].x1, 8.0f / 512.0f - 1.0f);
    EXPECT_FLOAT_EQ(segments[2].x0, 12.0f / 512.0f - 1.0f);
    EXPECT_FLOAT_EQ(segments[0].y0, 0.0f); // silence is the middle line
    EXPECT_FLOAT_EQ(segments[0].x1, -1.0f);
    EXPECT_FLOAT_EQ(segments[255].x0, 1.0f);
}

TEST(ScopeStart, CollapsedAtTheStartSplitInSilenceAndFullyGrownAcrossAboutOneBlock)
{
    std::vector<int16_t> ring(4096 + kSpare, 1234);
    scope::LineGroup groups[scope::kLineGroups];
    scope::StartScopeState state{0.0f, 0.0f};
    scope::startScopeGroups(ring.data(), 4096, 1024, 1024, 0.0, state, groups);
    for (const scope::LineGroup& g : groups) {
        for (int n : {0, 2, 4, 6})
            EXPECT_FLOAT_EQ(g.a[n], 0.0f) << n;
        for (int n : {9, 11, 13, 15})
            EXPECT_FLOAT_EQ(g.a[n], -1.0f) << n;
    }

    // Silence splits into two lines at plus and minus the split; outside the
    // motion windows the values hold for every group.
    std::fill(ring.begin(), ring.end(), 0);
    state = {0.1f, 0.3f};
    scope::startScopeGroups(ring.data(), 4096, 1024, 1024, 15.0, state, groups);
    const scope::LineGroup& g = groups[40];
    EXPECT_NEAR(g.a[1], 0.1f, 1e-6);
    EXPECT_NEAR(g.a[3], 0.1f, 1e-6);
    EXPECT_NEAR(g.a[5], -0.1f, 1e-6);
    EXPECT_NEAR(g.a[8], 0.15f + 0.55f - 0.3f, 1e-6);  // right line x
    EXPECT_NEAR(g.a[12], 0.15f - 0.85f + 0.3f, 1e-6); // left line x

    state = {0.0f, 0.0f};
    scope::startScopeGroups(ring.data(), 4096, 1024, 1024, 5.0, state, groups);
    const float step = 1024 * 0.01171875f; // 12 samples
    EXPECT_FLOAT_EQ(groups[0].a[2], -1.0f);
    EXPECT_FLOAT_EQ(groups[0].a[0], step / 512.0f - 1.0f);
    EXPECT_FLOAT_EQ(groups[85].a[0], 86 * step / 512.0f - 1.0f);
    EXPECT_FLOAT_EQ(groups[85].a[9], groups[85].a[0]); // vertical lines mirror x into y
}

TEST(ScopeStart, MotionKeepsItsLastValueOutsideItsWindowsAndReachesTheGroupsAFrameLate)
{
    scope::StartScopeState state{0.0f, 0.0f};
    scope::updateMotion(7.0, state);
    EXPECT_EQ(state.lineSplit, 0.0f);
    EXPECT_EQ(state.sideTravel, 0.0f);
    scope::updateMotion(10.9, state);
    scope::updateMotion(12.0, state);
    scope::updateMotion(20.0, state);
    EXPECT_NEAR(state.lineSplit, 0.195f, 1e-6);
    EXPECT_NEAR(state.sideTravel, (12.0 - 7.2727272727272725) * 0.125, 1e-6);

    // The first group of a frame still uses the previous motion.
    const std::vector<int16_t> ring(4096 + kSpare, 0);
    scope::StartScopeState fresh{0.0f, 0.0f};
    scope::LineGroup groups[scope::kLineGroups];
    scope::startScopeGroups(ring.data(), 4096, 1024, 1024, 8.0, fresh, groups);
    EXPECT_NEAR(groups[0].a[1], 0.0f, 1e-6);
    EXPECT_NEAR(groups[1].a[1], 0.05f, 1e-6);
    EXPECT_NEAR(fresh.sideTravel, (8.0 - 7.2727272727272725) * 0.125, 1e-6);
}

} // namespace
