// The music object as the show uses it: its console lines, the version rule,
// positioning in whole milliseconds, playing with looping, the flat line.

#include "audio/Capture.h"
#include "audio/MusicStream.h"

#include "TestSupport.h"

#include "SoundTestFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>


namespace {

class Music : public testing::Test
{
protected:
    void TearDown() override { FSOUND_Close(); }
};

TEST_F(Music, ConstructionSaysItCreatesTheSoundLibrary)
{
    CaptureStdout capture;
    MusicStream music;
    EXPECT_EQ(capture.text(), "Creating Fmod\n");
    EXPECT_FALSE(music.isFlatLine());
    EXPECT_EQ(music.getStream(), nullptr);
}

TEST_F(Music, OpeningAMissingFilePrintsTheTwoLines)
{
    CaptureStdout capture;
    MusicStream music;
    music.open("ddata/velmo-missing.mp3");
    EXPECT_EQ(capture.text(),
              "Creating Fmod\nOpening mp3 file: ddata/velmo-missing.mp3\nFile not found\n");
    EXPECT_EQ(music.getStream(), nullptr);
}

TEST_F(Music, WithoutAStreamPlayAndSetTimeOnlyPrint)
{
    CaptureStdout capture;
    MusicStream music;
    music.open("ddata/velmo-missing.mp3");
    music.setTime(3.0);
    music.play();
    EXPECT_EQ(capture.text(), "Creating Fmod\nOpening mp3 file: ddata/velmo-missing.mp3\n"
                              "File not found\nPlaying stream mp3...\n");
}

TEST(MusicVersion, ThreePointSeventyOneIsTheOldestAccepted)
{
    EXPECT_TRUE(soundVersionAccepted(3.71f));
    EXPECT_TRUE(soundVersionAccepted(FSOUND_GetVersion()));
    EXPECT_FALSE(soundVersionAccepted(3.70f));
    std::ostringstream written;
    written << kMinimumSoundVersion;
    EXPECT_EQ(written.str(), "3.71");
}

TEST(MusicTime, SecondsBecomeWholeMillisecondsTruncated)
{
    EXPECT_EQ(streamMilliseconds(12.3456), 12345);
    EXPECT_EQ(streamMilliseconds(0.0), 0);
    EXPECT_EQ(streamMilliseconds(2.0009), 2000);
    EXPECT_EQ(streamMilliseconds(0.0009), 0);
    EXPECT_EQ(streamMilliseconds(-1.5009), -1500);
}

TEST_F(Music, SetTimePlacesTheStreamAtTheTruncatedMillisecond)
{
    const std::string path = soundtest::writeMp3(
        "thirteen.mp3", soundtest::sine(13.0, 220.0, 3000.0, 44100), 1, 44100);
    CaptureStdout quiet;
    MusicStream music;
    music.open(path.c_str());
    ASSERT_NE(music.getStream(), nullptr);
    music.setTime(12.3456);
    EXPECT_EQ(FSOUND_Stream_GetTime(music.getStream()), 12345);
    music.setTime(0.0);
    EXPECT_EQ(FSOUND_Stream_GetTime(music.getStream()), 0);
}

TEST_F(Music, PlayingLoopsTheStreamAndFillsTheCaptureRing)
{
    const std::string path =
        soundtest::writeMp3("short.mp3", soundtest::sine(0.2, 440.0, 8000.0, 44100), 1, 44100);
    std::string printed;
    MusicStream* music = nullptr;
    {
        CaptureStdout capture;
        music = new MusicStream;
        music->open(path.c_str());
        music->setTime(0.0);
        music->play();
        printed = capture.text();
    }
    std::unique_ptr<MusicStream> owner(music);
    EXPECT_NE(printed.find("Playing stream mp3...\n"), std::string::npos);
    // Three times the length of the stream: it must still be playing.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    const int total = FSOUND_DSP_GetBufferLengthTotal();
    int loud = 0;
    for (int i = 0; i < total; ++i)
        loud += std::abs(loadCaptured(captureRing + i)) > 4000;
    EXPECT_GT(loud, total / 4);
}

TEST_F(Music, FlatLineStartsOnRequest)
{
    CaptureStdout quiet;
    MusicStream music;
    music.startFlatLine();
    EXPECT_TRUE(music.isFlatLine());
}

} // namespace
