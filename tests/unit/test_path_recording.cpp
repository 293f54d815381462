#include "camera/PathCamera.h"
#include "TestSupport.h"

#include <SDL/SDL_keysym.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

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

TEST(PathRecording, PointsAndPosesTogetherAndAnOverlongName)
{
    ScratchDir dir;
    CaptureStdout out;
    PathCamera camera;
    {
        TypeOnStdin typed(std::string(200, 'n') + "\nposes\n");
        press(camera, SDLK_i); // points, name cut at 127 characters
        press(camera, SDLK_o); // the next prompt still reads its own line
    }
    press(camera, SDLK_p);
    EXPECT_EQ(linesOf(readFile("scripts/" + std::string(127, 'n'))).size(), 7u); // 2 + 2 + 3
    EXPECT_EQ(linesOf(readFile("scripts/poses")).size(), 5u);                    // 2 + 3
    EXPECT_EQ(linesOf(readFile("scripts/poses"))[0].size(), std::string("0.00 0.00 -10.00 0.00 0.00 0.00 0.00 1.00 0.00").size());

    press(camera, SDLK_p); // nothing open: only the messages
    EXPECT_FALSE(camera.isRecordingPoses());
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
