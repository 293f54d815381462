// The capture's command line, its frame and mixing arithmetic, and the
// ffmpeg command it runs.
#include "app/capture/CaptureOptions.h"
#include "app/capture/Encoder.h"
#include "app/capture/FramePlan.h"
#include "app/capture/Progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

bool parse(std::vector<const char*> args, CaptureOptions& options, std::string& error)
{
    args.insert(args.begin(), "capture");
    return parseCaptureOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(CaptureOptions, DefaultsAndEveryOption)
{
    CaptureOptions options;
    std::string error;
    ASSERT_TRUE(parse({"out.mp4"}, options, error)) << error;
    EXPECT_EQ(options.output, "out.mp4");
    EXPECT_EQ(options.fps, 60);
    EXPECT_EQ(options.from, 0.0);
    ASSERT_TRUE(settleCaptureRange(options, 120.5, error));
    EXPECT_EQ(options.to, 120.5); // the end of the soundtrack

    CaptureOptions all;
    ASSERT_TRUE(parse({"--fps", "30", "--from", "16.5", "x.mp4", "--to", "20", "--png", "stills"},
                      all, error)) << error;
    EXPECT_EQ(all.fps, 30);
    EXPECT_EQ(all.from, 16.5);
    EXPECT_EQ(all.to, 20.0);
    EXPECT_EQ(all.pngFolder, "stills");
}

TEST(CaptureOptions, BadInputIsRefusedWithItsReason)
{
    const std::vector<std::vector<const char*>> bad = {
        {},
        {"a.mp4", "b.mp4"},
        {"a.mp4", "--speed", "2"},
        {"a.mp4", "--fps"},
        {"a.mp4", "--fps", "0"},
        {"a.mp4", "--fps", "29.97"},
        {"a.mp4", "--fps", "1000"},
        {"a.mp4", "--from", "soon"},
        {"a.mp4", "--from", "-1"},
        {"a.mp4", "--to", "nan"},
    };
    for (const auto& args : bad) {
        CaptureOptions options;
        std::string error;
        EXPECT_FALSE(parse(args, options, error)) << (args.empty() ? "(none)" : args.back());
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
    for (const auto& range : std::vector<std::pair<double, double>>{{5, 5}, {6, 5}, {0, 121}, {121, -1}}) {
        CaptureOptions options;
        options.from = range.first;
        options.to = range.second;
        std::string error;
        EXPECT_FALSE(settleCaptureRange(options, 120.5, error)) << range.first << " " << range.second;
    }
}

TEST(FramePlan, FramesCoverTheRangeAndMixingKeepsTheDrawnBlockOnTheFrame)
{
    EXPECT_EQ(captureFrameCount(0.0, 2.0, 60), 120);
    EXPECT_EQ(captureFrameCount(15.5, 17.5, 10), 20);
    EXPECT_EQ(captureFrameCount(0.0, 0.01, 60), 1);
    EXPECT_EQ(captureFrameCount(0.0, 120.0 + 1e-9, 60), 7200); // no extra frame for a rounding error
    EXPECT_EQ(captureFrameCount(3.0, 3.0, 60), 0);
    EXPECT_EQ(showFrameNumber(17.0, 60), 1020);

    // The oldest of the ring's four blocks is drawn: at the start that is the
    // first block, and the frame's moment always lies inside it.
    EXPECT_EQ(mixBlocksBefore(0.0, 44100, 1024, 4), 4);
    for (double t : {0.01, 1.0, 33.3, 119.99}) {
        const int64_t drawn = mixBlocksBefore(t, 44100, 1024, 4) - 4;
        EXPECT_LE(drawn * 1024, t * 44100);
        EXPECT_GT((drawn + 1) * 1024, t * 44100);
    }
}

TEST(Encoder, FfmpegGetsRawFramesTheSoundtrackAtTheSameStartAndStillsAndTheBarAClock)
{
    EncoderSettings settings;
    settings.output = "out.mp4";
    settings.soundtrack = "ddata/velmo-tesk.mp3";
    settings.fps = 25;
    settings.from = 16.5;
    settings.seconds = 2.0;
    const std::vector<std::string> plain = ffmpegArguments(settings);
    auto after = [&](const std::vector<std::string>& args, const std::string& flag) {
        const auto at = std::find(args.begin(), args.end(), flag);
        return at == args.end() || at + 1 == args.end() ? std::string() : *(at + 1);
    };
    // Codec, picture format, rate and length the end-to-end test reads back
    // from the video; the sound's start and the raw frames' shape only here.
    EXPECT_EQ(after(plain, "-video_size"), "800x600");
    EXPECT_EQ(after(plain, "-pix_fmt"), "rgb24");
    EXPECT_EQ(after(plain, "-ss"), "16.500000");
    EXPECT_EQ(plain.back(), "out.mp4");

    settings.pngFolder = "stills";
    settings.firstPngNumber = 412;
    const std::vector<std::string> withStills = ffmpegArguments(settings);
    EXPECT_EQ(withStills.back(), "stills/frame_%06d.png");
    EXPECT_EQ(after(withStills, "-start_number"), "412");

    // The progress bar's time left reads as a clock.
    EXPECT_EQ(clockText(0.4), "0:00");
    EXPECT_EQ(clockText(65), "1:05");
    EXPECT_EQ(clockText(3723), "1:02:03");
}

} // namespace
