// The music object as the show uses it: its console lines, the version rule,
// positioning in whole milliseconds, playing with looping.

#include "audio/Capture.h"
#include "audio/MusicStream.h"

#include "TestSupport.h"

#include "SoundTestFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace {

class Music : public testing::Test
{
protected:
    void TearDown() override { FSOUND_Close(); }
};

TEST_F(Music, WithoutAStreamEveryCallOnlyPrints)
{
    CaptureStdout capture;
    MusicStream music;
    music.open("ddata/velmo-missing.mp3");
    EXPECT_EQ(music.getStream(), nullptr);
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
}

TEST_F(Music, SetTimePlacesTheStreamAtTheTruncatedMillisecond)
{
    EXPECT_EQ(streamMilliseconds(2.0009), 2000);
    EXPECT_EQ(streamMilliseconds(-1.5009), -1500);
    const std::string path = soundtest::writeMp3("thirteen.mp3", soundtest::sine(13.0, 220.0, 3000.0));
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
    const std::string path = soundtest::writeMp3("short.mp3", soundtest::sine(0.2, 440.0, 8000.0));
    std::unique_ptr<MusicStream> music;
    {
        CaptureStdout quiet;
        music = std::make_unique<MusicStream>();
        music->open(path.c_str());
        music->setTime(0.0);
        music->play();
    }
    // Three times the length of the stream: it must still be playing.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    const int total = FSOUND_DSP_GetBufferLengthTotal();
    int loud = 0;
    for (int i = 0; i < total; ++i)
        loud += std::abs(loadCaptured(captureRing + i)) > 4000;
    EXPECT_GT(loud, total / 4);
}

} // namespace
