// The clocks: every TimeSyncer, the process-wide clock they follow in fixed
// steps for the capture, the start-time file and the beat grid the pause and
// beat keys walk. Pausing is judged end to end, on the show's status lines.
#include "app/BeatGrid.h"
#include "app/DemoClock.h"
#include "app/StartTime.h"
#include "app/TimeSyncer.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class ClockModes : public testing::Test
{
protected:
    void TearDown() override { DemoClock::instance().useRealTime(); }
    DemoClock& clock = DemoClock::instance();
};

} // namespace

TEST(TimeSyncer, StartsAtZeroResetStopsItDeltaMeasuresFromTheLatestReadingAndSpeedRescalesTheSpan)
{
    TimeSyncer clock;
    EXPECT_EQ(clock.time(), 0.0);
    sleepMs(20);
    EXPECT_GE(clock.time(), 0.019);
    clock.reset();
    EXPECT_EQ(clock.delta(), 0.0);
    sleepMs(10);
    EXPECT_EQ(clock.time(), 0.0); // the delta did not start it
    sleepMs(10);
    EXPECT_GT(clock.time(), 0.0);

    TimeSyncer other;
    EXPECT_EQ(other.delta(), 0.0); // unset: no span yet
    other.setSpeed(2.0);
    other.time();
    sleepMs(50);
    const double fast = other.time();
    EXPECT_LT(other.delta(), 0.015); // right after time(): almost nothing
    other.setSpeed(1.0);
    const double normal = other.time();
    EXPECT_GE(fast, 0.099);
    // The same span read at half the speed, give or take the moment between.
    EXPECT_GE(normal, fast / 2.0);
    EXPECT_LT(normal, fast / 2.0 + 0.02);
    sleepMs(20);
    EXPECT_GE(other.delta(), 0.019);
}

TEST(StartTime, BarsBeatsAndQuarterBeatsAtTheSoundtracksBeatAsTheBeatGridCountsThem)
{
    for (int bar = 1; bar <= 40; bar += 13) {
        for (int beat = 1; beat <= 4; ++beat) {
            const BarAndBeat at = barAndBeatAt(startTimeFromBeats(bar, beat, 1));
            EXPECT_EQ(at.bar * 10 + at.beat, bar * 10 + beat);
        }
    }
    EXPECT_DOUBLE_EQ(stepOnGrid(startTimeFromBeats(3, 2, 3), 1, +1), startTimeFromBeats(3, 3, 1));
    EXPECT_EQ(startTimeFromBeats(1, 1, 1), 0.0);
    EXPECT_DOUBLE_EQ(startTimeFromBeats(2, 1, 1), 1.8181818723678589);
    EXPECT_DOUBLE_EQ(startTimeFromBeats(3, 2, 1), 4.0909092128276825);
    EXPECT_DOUBLE_EQ(startTimeFromBeats(1, 1, 3), 0.5 * 0.4545454680919647);
    EXPECT_LT(startTimeFromBeats(0, 1, 1), 0.0); // applied unchanged, no range check
}

TEST(StartTime, FileAppliesEveryCompleteLineInTurnAndAMissingOneChangesNothing)
{
    ScratchDir dir;
    writeFile("start.txt", "2 1 1\n3 2 1\n4 x 1\n9 9 9\n");
    std::vector<double> applied;
    {
        CaptureStdout out;
        EXPECT_TRUE(readStartTimeFile("start.txt", [&](double t) { applied.push_back(t); }));
        EXPECT_EQ(out.text(), "Starttime, X: 2 Y: 1 iZ: 1\nStarttime, X: 3 Y: 2 iZ: 1\n");
    }
    ASSERT_EQ(applied.size(), 2u); // stops at the text that is not a number
    EXPECT_DOUBLE_EQ(applied.back(), 4.0909092128276825);
    EXPECT_FALSE(readStartTimeFile("scripts/starttime.txt", [&](double t) { applied.push_back(t); }));
    EXPECT_EQ(applied.size(), 2u);
}

TEST_F(ClockModes, ManualStepsMoveEveryClockByExactlyOneFrame)
{
    // Every switch starts from zero, so the readings are the same on every run.
    clock.useManualSteps(60);
    clock.step();
    clock.useManualSteps(60);
    EXPECT_EQ(clock.seconds(), 0.0);
    TimeSyncer app;
    TimeSyncer effect;
    EXPECT_EQ(app.time(), 0.0);
    sleepMs(20);
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
