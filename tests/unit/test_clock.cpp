#include "app/StartTime.h"
#include "app/TimeSyncer.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {
void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
} // namespace

TEST(TimeSyncer, FirstReadingStartsAtZeroAndResetStopsItWithoutRestarting)
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
}

TEST(TimeSyncer, DeltaMeasuresFromTheLatestReadingAndSpeedRescalesTheWholeSpan)
{
    TimeSyncer clock;
    EXPECT_EQ(clock.delta(), 0.0); // unset: no span yet
    clock.setSpeed(2.0);
    clock.time();
    sleepMs(50);
    const double fast = clock.time();
    EXPECT_LT(clock.delta(), 0.015); // right after time(): almost nothing
    clock.setSpeed(1.0);
    const double normal = clock.time();
    EXPECT_GE(fast, 0.099);
    // The same span read at half the speed, give or take the moment between.
    EXPECT_GE(normal, fast / 2.0);
    EXPECT_LT(normal, fast / 2.0 + 0.02);
    sleepMs(20);
    EXPECT_GE(clock.delta(), 0.019);
}

TEST(StartTime, BarsBeatsAndQuarterBeatsAtTheSoundtracksBeat)
{
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

    CaptureStdout out;
    EXPECT_FALSE(readStartTimeFile("scripts/starttime.txt", [&](double t) { applied.push_back(t); }));
    EXPECT_EQ(applied.size(), 2u);
    EXPECT_EQ(out.text(), "Could not open file: scripts/starttime.txt\n");
}
