// The capture's output sizes, its chunks and their pre-roll, the parts'
// tags and the checks of a join, and the progress bar across a chunk.
#include "app/ShowTimes.h"
#include "app/capture/CaptureOptions.h"
#include "app/capture/FrameLayout.h"
#include "app/capture/FramePlan.h"
#include "app/capture/Join.h"
#include "app/capture/PartTag.h"
#include "app/capture/PreRoll.h"
#include "app/capture/Progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

bool parse(std::vector<const char*> args, CaptureOptions& options, std::string& error)
{
    args.insert(args.begin(), "capture");
    return parseCaptureOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(CaptureSizes, SizeSupersampleChunkAndJoinAreRead)
{
    CaptureOptions options;
    std::string error;
    ASSERT_TRUE(parse({"out.mp4", "--size", "3840x2160", "--supersample", "2", "--chunk", "3/8"}, options, error))
        << error;
    EXPECT_EQ(options.width, 3840);
    EXPECT_EQ(options.height, 2160);
    EXPECT_EQ(options.supersample, 2);
    EXPECT_EQ(options.chunk, 3);
    EXPECT_EQ(options.chunks, 8);
    EXPECT_FALSE(options.join());

    CaptureOptions joining;
    ASSERT_TRUE(parse({"--join", "all.mp4", "b.mp4", "a.mp4"}, joining, error)) << error;
    EXPECT_EQ(joining.output, "all.mp4");
    EXPECT_EQ(joining.joinParts, (std::vector<std::string>{"b.mp4", "a.mp4"}));
}

TEST(CaptureSizes, BadSizesChunksAndJoinsAreRefusedInOneLine)
{
    const std::vector<std::vector<const char*>> bad = {
        {"a.mp4", "--size", "1920"},         {"a.mp4", "--size", "1921x1080"}, {"a.mp4", "--size", "318x240"},
        {"a.mp4", "--size", "7682x4320"},    {"a.mp4", "--size", "x1080"},     {"a.mp4", "--size", "-640x480"},
        {"a.mp4", "--size", "1920x1080x2"},  {"a.mp4", "--chunk", "3/2"},      {"a.mp4", "--chunk", "1/0"},
        {"a.mp4", "--chunk", "0/4"},         {"a.mp4", "--chunk", "2"},        {"a.mp4", "--chunk", "a/b"},
        {"a.mp4", "--supersample", "0"},     {"a.mp4", "--supersample", "5"},
        // 7680 x 4320 at two each way would render 11520 x 8640.
        {"a.mp4", "--size", "7680x4320", "--supersample", "2"},
        {"--join", "out.mp4"},               {"--join", "out.mp4", "--fps", "30"}, {"a.mp4", "--join", "b.mp4"},
        {"--join", "", "a.mp4"},             {"--join", "out.mp4", ""},
    };
    for (const auto& args : bad) {
        CaptureOptions options;
        std::string error;
        EXPECT_FALSE(parse(args, options, error)) << args.back();
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

TEST(FrameLayout, TheLargestFourByThreePictureCentredOnBlack)
{
    const FrameLayout hd = frameLayoutFor(1920, 1080, 1);
    EXPECT_EQ(hd.pictureWidth, 1440);
    EXPECT_EQ(hd.pictureHeight, 1080);
    EXPECT_EQ(hd.pictureX, 240);
    EXPECT_EQ(hd.pictureY, 0);
    const FrameLayout uhd = frameLayoutFor(3840, 2160, 2);
    EXPECT_EQ(uhd.pictureWidth, 2880);
    EXPECT_EQ(uhd.renderWidth(), 5760);
    EXPECT_EQ(uhd.renderHeight(), 4320);
    const FrameLayout same = frameLayoutFor(800, 600, 1);
    EXPECT_FALSE(same.hasBars());
    const FrameLayout tall = frameLayoutFor(800, 800, 1);
    EXPECT_EQ(tall.pictureHeight, 600);
    EXPECT_EQ(tall.pictureY, 100);
    for (int height : {322, 1082, 2158}) {
        const FrameLayout odd = frameLayoutFor(3840, height, 1);
        EXPECT_EQ(odd.pictureWidth % 2, 0);
        EXPECT_NEAR(odd.pictureWidth * 3.0 / odd.pictureHeight, 4.0, 0.02);
    }
}

TEST(FrameLayout, FramesAreTurnedUprightFilteredDownAndBarred)
{
    // A 2 x 1 picture in a 4 x 2 frame, rendered at two each way: rows
    // bottom up, one channel.
    FrameLayout layout;
    layout.outputWidth = 4;
    layout.outputHeight = 1;
    layout.pictureX = 1;
    layout.pictureWidth = 2;
    layout.pictureHeight = 1;
    layout.supersample = 2;
    FrameComposer composer(layout, 1);
    const std::vector<unsigned char> rendered = {10, 20, 200, 201, //
                                                 30, 41, 255, 255};
    EXPECT_EQ(composer.compose(rendered), (std::vector<unsigned char>{0, 25, 228, 0}));

    layout.supersample = 1;
    layout.outputHeight = 2;
    layout.pictureHeight = 2;
    FrameComposer copier(layout, 1);
    EXPECT_EQ(copier.compose({1, 2, 3, 4}), (std::vector<unsigned char>{0, 3, 4, 0, 0, 1, 2, 0}));
}

TEST(Chunks, EqualPartsHoldEveryFrameOnceInOrder)
{
    for (int total : {1, 7, 240, 7200}) {
        for (int chunks : {1, 2, 3, 7, 16}) {
            int next = 0;
            for (int k = 1; k <= chunks; ++k) {
                const FrameSpan span = chunkFrames(total, k, chunks);
                EXPECT_EQ(span.first, next);
                EXPECT_GE(span.count(), total / chunks);
                EXPECT_LE(span.count(), total / chunks + 1);
                next = span.end;
            }
            EXPECT_EQ(next, total);
        }
    }
    EXPECT_EQ(chunkFrames(240, 2, 2).first, 120); // 72-76 s at 60 fps splits at 74 s
    EXPECT_EQ(chunkFrames(240, 3, 2).count(), 0);
}

int frameAt(double from, int fps, double t)
{
    return static_cast<int>((t - from) * fps + 0.5);
}

TEST(PreRoll, ChunksOutsideTheDrawnStateDrawOnlyForTheShaderCheck)
{
    // The room and the cartoon model keep nothing from one drawn frame to
    // the next: two frames for the cartoon effects' check.
    for (double t : {20.0, 35.0, 50.0}) {
        const PreRoll roll = planPreRoll(0.0, 60, frameAt(0.0, 60, t));
        EXPECT_EQ(roll.firstDrawn, frameAt(0.0, 60, t) - 2) << t;
        EXPECT_FALSE(roll.echoMustBeWhite);
    }
    EXPECT_EQ(planPreRoll(30.0, 60, 1).firstDrawn, 0);
    EXPECT_EQ(planPreRoll(30.0, 60, 0).firstDrawn, 0);
}

TEST(PreRoll, TheOpeningScopeDrawsFromTheLastFrameThatSetWhatItKeeps)
{
    namespace Scope = ShowTimes::OpeningScope;
    // Inside the split's window the last frame set it all.
    EXPECT_EQ(planPreRoll(0.0, 60, frameAt(0.0, 60, 9.0)).firstDrawn, frameAt(0.0, 60, 9.0) - 2);
    // Past it, the split was last set just before beat 24.
    const int lastSplit = static_cast<int>(Scope::kSplitEnd * 60);
    EXPECT_EQ(planPreRoll(0.0, 60, frameAt(0.0, 60, 12.0)).firstDrawn, lastSplit);
    // Past the freeze, the frozen lines come from its last frame before.
    EXPECT_EQ(planPreRoll(0.0, 60, frameAt(0.0, 60, 16.4)).firstDrawn, lastSplit);
    EXPECT_EQ(planPreRoll(12.0, 60, frameAt(12.0, 60, 16.4)).firstDrawn, frameAt(12.0, 60, 14.54));
    // A range from past the motion has none of it to keep.
    EXPECT_EQ(planPreRoll(15.0, 60, 60).firstDrawn, 58);
    // Once the scope is gone for good nothing of it matters.
    EXPECT_EQ(planPreRoll(0.0, 60, frameAt(0.0, 60, 17.0)).firstDrawn, frameAt(0.0, 60, 17.0) - 2);
}

TEST(PreRoll, TheEchoIsDrawnFromItsStartOrLongEnoughToGrowWhite)
{
    namespace Echo = ShowTimes::ScopeEcho;
    // Near the window's start: from the frame before it opens.
    const int opened = frameAt(0.0, 60, Echo::kStart);
    PreRoll roll = planPreRoll(0.0, 60, frameAt(0.0, 60, 60.0));
    EXPECT_EQ(roll.firstDrawn, opened);
    EXPECT_FALSE(roll.echoMustBeWhite);
    // Deep in it, from black: enough frames to grow white, then checked.
    roll = planPreRoll(0.0, 60, frameAt(0.0, 60, 90.0));
    EXPECT_EQ(roll.firstDrawn, frameAt(0.0, 60, 90.0) - kEchoWhiteningFrames);
    EXPECT_TRUE(roll.echoMustBeWhite);
    // Unless told to draw it all, as after a failed check.
    roll = planPreRoll(0.0, 60, frameAt(0.0, 60, 90.0), true);
    EXPECT_EQ(roll.firstDrawn, opened);
    EXPECT_FALSE(roll.echoMustBeWhite);
    // A range that starts inside the window has its echo start there.
    roll = planPreRoll(72.0, 60, 120);
    EXPECT_EQ(roll.firstDrawn, 0);
    EXPECT_FALSE(roll.echoMustBeWhite);
    // After the echo's end, only the shader check.
    roll = planPreRoll(110.0, 60, frameAt(110.0, 60, 117.0));
    EXPECT_EQ(roll.firstDrawn, frameAt(110.0, 60, 117.0) - 2);
}

TEST(PreRoll, TheSourceScrollerIsDrawnFromItsWindowsOpening)
{
    namespace Scroller = ShowTimes::SourceScroller;
    const int opened = frameAt(0.0, 60, Scroller::kStart);
    // Where the echo's whitening alone would draw less than the scroller's
    // steps since its window opened.
    PreRoll roll = planPreRoll(0.0, 60, frameAt(0.0, 60, 80.0));
    EXPECT_EQ(roll.firstDrawn, opened);
    EXPECT_TRUE(roll.echoMustBeWhite) << "the echo was still drawn from black part way";
    roll = planPreRoll(0.0, 30, frameAt(0.0, 30, 86.9));
    EXPECT_EQ(roll.firstDrawn, frameAt(0.0, 30, Scroller::kStart));
    // A range that starts inside the window draws it from there.
    EXPECT_EQ(planPreRoll(75.0, 60, frameAt(75.0, 60, 84.0)).firstDrawn, 0);
    // Past the window the echo decides.
    roll = planPreRoll(0.0, 60, frameAt(0.0, 60, 88.0));
    EXPECT_EQ(roll.firstDrawn, frameAt(0.0, 60, 88.0) - kEchoWhiteningFrames);
}

PartFile part(const std::string& path, int first, int count, int held = -1)
{
    PartFile file;
    file.path = path;
    file.tag = {72.0, 76.0, 60, 1920, 1080, first, count, 240};
    file.framesHeld = held < 0 ? count : held;
    return file;
}

TEST(JoinChecks, TagsReadBackExactlyAndPartsMustFollowEachOther)
{
    PartTag tag{72.3, 75.9, 60, 1920, 1080, 120, 96, 216};
    PartTag read;
    ASSERT_TRUE(parsePartTag(formatPartTag(tag), read)) << formatPartTag(tag);
    EXPECT_EQ(read.from, 72.3);
    EXPECT_EQ(read.to, 75.9);
    EXPECT_EQ(read.first, 120);
    EXPECT_EQ(read.count, 96);
    for (const char* notATag : {"", "a comment", "velmo part from=1 to=2", "velmo part from=0x1p+0 to=0x1p+1 fps=0 "
                                                                           "size=800x600 frames=0+1 of 1"})
        EXPECT_FALSE(parsePartTag(notATag, read)) << notATag;

    std::string error;
    std::vector<PartFile> shuffled = {part("c", 160, 80), part("a", 0, 80), part("b", 80, 80)};
    ASSERT_TRUE(orderParts(shuffled, error)) << error;
    EXPECT_EQ(shuffled[0].path + shuffled[1].path + shuffled[2].path, "abc");
    EXPECT_EQ(joinedTag(shuffled).count, 240);

    std::vector<PartFile> gap = {part("a", 0, 80), part("c", 160, 80)};
    EXPECT_FALSE(orderParts(gap, error));
    EXPECT_NE(error.find("do not follow each other"), std::string::npos) << error;
    std::vector<PartFile> twice = {part("a", 0, 80), part("a2", 0, 80)};
    EXPECT_FALSE(orderParts(twice, error));
    std::vector<PartFile> cut = {part("a", 0, 80), part("b", 80, 80, 33)};
    EXPECT_FALSE(orderParts(cut, error));
    EXPECT_NE(error.find("holds 33 of its 80 frames"), std::string::npos) << error;
    std::vector<PartFile> other = {part("a", 0, 80), part("b", 80, 80)};
    other[1].tag.fps = 30;
    EXPECT_FALSE(orderParts(other, error));
    EXPECT_EQ(error.find('\n'), std::string::npos);

    EXPECT_EQ(concatList({"/p/a.mp4", "/p/it's.mp4"}),
              "ffconcat version 1.0\nfile '/p/a.mp4'\nfile '/p/it'\\''s.mp4'\n");
}

TEST(ChunkProgress, PreRollIsShownAsSuchAndTheBarCountsEncodedFramesOnly)
{
    std::FILE* out = std::tmpfile();
    Progress::Plan plan;
    plan.stepFrames = 100;
    plan.preRollFrames = 20;
    plan.encodeFrames = 50;
    plan.label = "chunk 2/4";
    Progress progress(plan, out);
    progress.stepped(40);
    EXPECT_NE(progress.line().find("chunk 2/4  stepping to the pre-roll 40/100"), std::string::npos)
        << progress.line();
    progress.stepped(100);
    progress.preRolled(5);
    EXPECT_NE(progress.line().find("pre-roll 5/20 (not encoded)"), std::string::npos) << progress.line();
    EXPECT_NE(progress.line().find("] 0/50 frames"), std::string::npos) << progress.line();
    progress.encoded(25);
    EXPECT_EQ(progress.line().find("pre-roll"), std::string::npos) << progress.line();
    EXPECT_NE(progress.line().find("[###############...............] 25/50 frames"), std::string::npos)
        << progress.line();
    std::fclose(out);
}

TEST(ChunkProgress, ALogSaysEachPhaseWasDoneToItsEnd)
{
    std::FILE* out = std::tmpfile();
    Progress::Plan plan;
    plan.stepFrames = 10;
    plan.preRollFrames = 20;
    plan.encodeFrames = 30;
    Progress progress(plan, out);
    for (int n = 1; n <= 10; ++n)
        progress.stepped(n);
    for (int n = 1; n <= 20; ++n)
        progress.preRolled(n);
    for (int n = 1; n <= 30; ++n)
        progress.encoded(n);
    progress.finish();
    std::rewind(out);
    std::string log;
    for (int c; (c = std::fgetc(out)) != EOF;)
        log += static_cast<char>(c);
    std::fclose(out);
    EXPECT_NE(log.find("stepping to the pre-roll 10/10"), std::string::npos) << log;
    EXPECT_NE(log.find("pre-roll 20/20 (not encoded)"), std::string::npos) << log;
    EXPECT_NE(log.find("] 30/30 frames"), std::string::npos) << log;
}

} // namespace
