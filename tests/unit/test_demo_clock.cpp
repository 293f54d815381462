// The process-wide clock: fixed steps for the capture, pausing for the
// author, and every TimeSyncer following it; the beat grid the pause and
// beat keys walk.
#include "app/BeatGrid.h"
#include "app/DemoClock.h"
#include "app/StartTime.h"
#include "app/TimeSyncer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

class ClockModes : public testing::Test
{
protected:
    void TearDown() override { DemoClock::instance().useRealTime(); }
    DemoClock& clock = DemoClock::instance();
};

TEST_F(ClockModes, ManualStepsMoveEveryClockByExactlyOneFrame)
{
    clock.useManualSteps(60);
    TimeSyncer app;
    TimeSyncer effect;
    EXPECT_EQ(app.time(), 0.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(app.time(), 0.0); // real time passing moves nothing
    for (int i = 0; i < 6000; ++i)
        clock.step();
    EXPECT_NEAR(app.time(), 100.0, 1e-9); // no drift over a long capture
    EXPECT_EQ(effect.time(), 0.0);        // a clock first read now starts now
    clock.step();
    EXPECT_NEAR(effect.time(), 1.0 / 60.0, 1e-12);
    EXPECT_NEAR(effect.delta(), 0.0, 1e-12);
    EXPECT_NEAR(clock.seconds(), 6001.0 / 60.0, 1e-9);
}

TEST_F(ClockModes, ManualStepsAreTheSameOnEveryRun)
{
    double readings[2][3];
    for (auto& run : readings) {
        clock.useManualSteps(25);
        TimeSyncer app;
        app.time();
        for (double& reading : run) {
            clock.step();
            reading = app.time();
        }
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(readings[0][i], readings[1][i]);
}

TEST_F(ClockModes, PauseHoldsEveryClockAndResumeGoesOnFromThere)
{
    TimeSyncer app;
    app.time();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    clock.setPaused(true);
    const double held = app.time();
    const double frameClock = clock.seconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(app.time(), held);
    EXPECT_EQ(clock.seconds(), frameClock);
    EXPECT_EQ(app.delta(), 0.0);
    osg::Timer real;
    const osg::Timer_t resumedAt = real.tick();
    clock.setPaused(false);
    const double resumed = app.time();
    const double sinceResume = real.delta_s(resumedAt, real.tick());
    EXPECT_GE(resumed, held);
    // The paused span is left out, not caught up on.
    EXPECT_LE(resumed - held, sinceResume + 1e-6);
}

TEST(BeatGrid, StepsWalkTheGridFromTheCellTheTimeIsIn)
{
    const double b = beatSeconds();
    EXPECT_DOUBLE_EQ(b, 0.4545454680919647);
    EXPECT_DOUBLE_EQ(stepOnGrid(10 * b, 1, +1), 11 * b);
    EXPECT_DOUBLE_EQ(stepOnGrid(10 * b, 1, -1), 9 * b);
    // Just after a beat: back goes to the beat before it, not the one passed.
    EXPECT_DOUBLE_EQ(stepOnGrid(10 * b + 0.05, 1, -1), 9 * b);
    EXPECT_DOUBLE_EQ(stepOnGrid(10 * b + 0.4, 1, +1), 11 * b);
    // A rounding error short of a beat counts as on it.
    EXPECT_DOUBLE_EQ(stepOnGrid(10 * b - 1e-12, 1, +1), 11 * b);
    // Repeated presses walk one step each.
    double t = 20 * b + 0.1;
    for (int i = 0; i < 3; ++i)
        t = stepOnGrid(t + 0.1, 1, -1);
    EXPECT_DOUBLE_EQ(t, 17 * b);
    // Bars of four beats; never before the start.
    EXPECT_DOUBLE_EQ(stepOnGrid(9 * b, kBeatsPerBar, +1), 12 * b);
    EXPECT_DOUBLE_EQ(stepOnGrid(9 * b, kBeatsPerBar, -1), 4 * b);
    EXPECT_EQ(stepOnGrid(0.3, kBeatsPerBar, -1), 0.0);
}

TEST(BeatGrid, CountsBarsAndBeatsAsTheStartTimeFileDoes)
{
    for (int bar = 1; bar <= 40; bar += 13) {
        for (int beat = 1; beat <= 4; ++beat) {
            const BarAndBeat at = barAndBeatAt(startTimeFromBeats(bar, beat, 1));
            EXPECT_EQ(at.bar, bar);
            EXPECT_EQ(at.beat, beat);
        }
    }
    EXPECT_DOUBLE_EQ(stepOnGrid(startTimeFromBeats(3, 2, 3), 1, +1), startTimeFromBeats(3, 3, 1));
}

} // namespace
