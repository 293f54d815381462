#include "camera/PathCamera.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

const char* const kTwoPosesOneLineEach =
    "0.00 -20.00 0.00 0.00 0.00 0.00 0.00 0.00 1.00\n"
    "1.5 2 3 4 5 6 0 1 0\n";

void expectSamePoints(const Spline& a, const Spline& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        EXPECT_TRUE(a.point(i) == b.point(i)) << "point " << i;
}

} // namespace

TEST(PositionFile, LineStructureDoesNotMatter)
{
    ScratchDir dir;
    CaptureStdout quiet;
    writeFile("lines.pos", kTwoPosesOneLineEach);
    writeFile("spread.pos", "0.00 -20.00\n0.00 0.00\r\n0.00 0.00 0.00\t0.00 1.00 1.5 2 3\n4\n5 6 0 1 0");
    PathCamera byLine, spread;
    ASSERT_TRUE(byLine.load("lines.pos"));
    ASSERT_TRUE(spread.load("spread.pos"));
    ASSERT_EQ(byLine.eyeSpline().size(), 2u);
    EXPECT_TRUE(byLine.eyeSpline().point(0) == Vector3(0, -20, 0));
    EXPECT_TRUE(byLine.upSpline().point(1) == Vector3(0, 1, 0));
    expectSamePoints(byLine.eyeSpline(), spread.eyeSpline());
    expectSamePoints(byLine.centerSpline(), spread.centerSpline());
    expectSamePoints(byLine.upSpline(), spread.upSpline());
}

TEST(PositionFile, TrailingPartialRecordTextAndEmptyFilesEndTheListAndLoadingAgainAppends)
{
    ScratchDir dir;
    CaptureStdout quiet;
    std::string nineteen;
    for (int i = 0; i < 19; ++i)
        nineteen += std::to_string(i) + " ";
    writeFile("partial.pos", nineteen);
    writeFile("text.pos", std::string(kTwoPosesOneLineEach) + "# a comment\n1 2 3 4 5 6 7 8 9\n");
    writeFile("empty.pos", "");
    PathCamera partial, text;
    EXPECT_TRUE(partial.load("partial.pos"));
    EXPECT_EQ(partial.eyeSpline().size(), 2u);
    EXPECT_TRUE(text.load("text.pos")); // ends at the comment, without a hang
    EXPECT_EQ(text.eyeSpline().size(), 2u);
    EXPECT_TRUE(text.load("empty.pos"));
    text.load("text.pos");
    EXPECT_EQ(text.centerSpline().size(), 4u);
}

TEST(PositionFile, NonFiniteOrHugeNumbersEndTheListWithOneLine)
{
    ScratchDir dir;
    for (const char* bad : {"nan", "inf", "-INF", "1e30"}) {
        CaptureStdout console;
        writeFile("bad.pos", std::string(kTwoPosesOneLineEach) + "1 2 3 4 " + bad + " 6 0 1 0\n1 2 3 4 5 6 0 1 0\n");
        PathCamera camera;
        EXPECT_TRUE(camera.load("bad.pos"));
        EXPECT_EQ(camera.eyeSpline().size(), 2u) << bad;
        EXPECT_NE(console.text().find("Not a usable number in position file bad.pos, pose 3"), std::string::npos)
            << console.text();
    }
}

TEST(PositionFile, MissingFileIsReportedWithoutALineEnd)
{
    ScratchDir dir;
    CaptureStdout out;
    PathCamera camera;
    EXPECT_FALSE(camera.load("scripts/nothere.pos"));
    EXPECT_EQ(out.text(), "Creating camera\nLoading camera pos from file: scripts/nothere.pos\n"
                          "File Not Found : scripts/nothere.pos");
}

TEST(PositionFile, RecordsAreWrittenWithTwoDecimalsAndAFileThatCannotBeCreatedIsSkipped)
{
    ScratchDir dir;
    CaptureStdout out;
    PathCamera camera;
    camera.setLookAt(-0.004, 1.005, 2.5, 0, 0, 0, 0, 0, 1);
    camera.recordPoint(); // nothing open: writes nothing
    EXPECT_FALSE(camera.openPoseRecording("scripts/"));
    EXPECT_FALSE(camera.isRecordingPoses());
    EXPECT_NE(out.text().find("Writing camera pos to file: scripts/\nFile Not Found : scripts/\n"),
              std::string::npos);
    ASSERT_TRUE(camera.openPointRecording("scripts/points"));
    ASSERT_TRUE(camera.openPoseRecording("scripts/poses"));
    camera.recordPoint();
    camera.closeRecordings();
    EXPECT_EQ(readFile("scripts/points"), "-0.00 1.00 2.50\n");
    EXPECT_EQ(readFile("scripts/poses"), "-0.00 1.00 2.50 0.00 0.00 0.00 0.00 0.00 1.00\n");
}
