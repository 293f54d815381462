// Position files read and written, the keys that record them, and the
// typed answers their prompts read.
#include "app/Console.h"
#include "camera/PathCamera.h"
#include "TestSupport.h"

#include <SDL/SDL_keysym.h>
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

const char* const kTwoPosesOneLineEach =
    "0.00 -20.00 0.00 0.00 0.00 0.00 0.00 0.00 1.00\n"
    "1.5 2 3 4 5 6 0 1 0\n";

// Presses one key for one frame.
void press(PathCamera& camera, int key)
{
    std::vector<std::uint8_t> keys(SDLK_LAST, 0);
    keys[key] = 1;
    camera.handleKeys(keys.data());
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

TEST(PositionFile, LineStructureDoesNotMatterAndTheListEndsAtAPartialRecordTextOrTheEnd)
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
    for (auto spline : {&PathCamera::eyeSpline, &PathCamera::centerSpline, &PathCamera::upSpline}) {
        ASSERT_EQ((spread.*spline)().size(), 2u);
        for (std::size_t i = 0; i < 2; ++i)
            EXPECT_TRUE((byLine.*spline)().point(i) == (spread.*spline)().point(i)) << "point " << i;
    }

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
    text.load("text.pos"); // loading again appends
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

TEST(PathRecording, PoseRecordingHoldsEndsTwiceAndThriceAndPlaysBack)
{
    ScratchDir dir;
    CaptureStdout out;
    PathCamera camera;
    camera.setLookAt(0, -20, 0, 0, 0, 0, 0, 0, 1);
    {
        TypeOnStdin typed("path1\n");
        press(camera, SDLK_o);
    }
    std::vector<Vector3> wayPoints;
    for (int i = 0; i < 3; ++i) {
        camera.moveForward(2.0f);
        camera.strafe(1.0f);
        camera.recordPoint(); // the way-point key
        wayPoints.push_back(camera.getEye());
    }
    camera.moveForward(1.0f);
    press(camera, SDLK_p);

    EXPECT_NE(out.text().find("Camera position saving. Enter filename:Writing camera pos to file: scripts/path1\n"),
              std::string::npos);
    EXPECT_NE(out.text().find("Position saving. Closing file..Done!\n"), std::string::npos);
    const auto lines = linesOf(readFile("scripts/path1"));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "0.00 -20.00 0.00 0.00 0.00 0.00 0.00 0.00 1.00");
    EXPECT_EQ(lines[0], lines[1]);
    EXPECT_EQ(lines[5], lines[7]);

    PathCamera playback("scripts/path1");
    for (int i = 0; i < 3; ++i) {
        playback.setPathFraction(0.25f * static_cast<float>(i + 1));
        EXPECT_NEAR(playback.getEye().x, wayPoints[i].x, 0.006f);
        EXPECT_NEAR(playback.getEye().y, wayPoints[i].y, 0.006f);
    }
    playback.setPathFraction(0.0f);
    EXPECT_NEAR(playback.getEye().y, -20.0f, 1e-4f);
}

TEST(PathRecording, OnlyPlainFileNamesStartARecording)
{
    ScratchDir dir;
    mkdir("scripts/sub", 0755);
    for (const char* name : {"", ".", "..", "../escaped.pos", "sub/inside.pos", "/tmp/abs.pos"}) {
        CaptureStdout out;
        PathCamera camera;
        {
            TypeOnStdin typed(std::string(name) + "\n");
            press(camera, SDLK_o);
        }
        EXPECT_NE(out.text().find("Not a plain file name"), std::string::npos) << name;
        EXPECT_FALSE(camera.isRecordingPoses()) << name;
    }
    EXPECT_FALSE(std::ifstream("escaped.pos").good());
    EXPECT_FALSE(std::ifstream("scripts/sub/inside.pos").good());
}

TEST(Console, TypedIntegerOrNothing)
{
    std::istringstream typed("30\nabc\n-5 trailing\n\n7\r\n99999999999\n");
    EXPECT_EQ(readTypedInteger(typed), 30);
    EXPECT_EQ(readTypedInteger(typed), std::nullopt); // not a number
    EXPECT_EQ(readTypedInteger(typed), -5);           // the rest of the line is dropped
    EXPECT_EQ(readTypedInteger(typed), std::nullopt); // empty line
    EXPECT_EQ(readTypedInteger(typed), 7);            // Windows line end
    EXPECT_EQ(readTypedInteger(typed), std::nullopt); // out of range
    EXPECT_EQ(readTypedInteger(typed), std::nullopt); // input closed
    EXPECT_EQ(readTypedLine(typed), ""); // closed input: empty, not a stuck prompt
    std::istringstream name(std::string(300, 'x') + "\npath1\n");
    EXPECT_EQ(readTypedLine(name), std::string(127, 'x'));
    EXPECT_EQ(readTypedLine(name), "path1"); // the next prompt still reads its own line
}
