#include "app/capture/PreRoll.h"

#include "app/ShowTimes.h"
#include "app/capture/FramePlan.h"

#include <algorithm>

namespace {

// Frame times are planned to within a rounding of the clock's; a window's
// edge that close counts on both sides, which only draws a frame more.
constexpr double kEdge = 1e-6;
// The cartoon effects' first drawn frame checks their shaders; one more for
// good measure.
constexpr int kShaderCheckFrames = 2;

// The last frame before `before` whose time lies inside (start, end), or -1.
int lastFrameInside(double from, int fps, int before, double start, double end)
{
    for (int n = before - 1; n >= 0; --n) {
        const double t = frameTime(from, fps, n);
        if (t < start - kEdge)
            return -1;
        if (t < end + kEdge)
            return n;
    }
    return -1;
}

// The first frame whose time lies past `start`.
int firstFrameAfter(double from, int fps, double start)
{
    int n = 0;
    while (frameTime(from, fps, n) <= start + kEdge)
        ++n;
    return n;
}

// What the opening scope keeps from frame to frame, each set in every frame
// drawn inside its window and kept after it.
struct KeptValue
{
    double setFrom, setUntil;
};
constexpr KeptValue kOpeningScopeKeeps[] = {
    {ShowTimes::OpeningScope::kMotionStart, ShowTimes::OpeningScope::kSplitEnd},
    {ShowTimes::OpeningScope::kMotionStart, ShowTimes::OpeningScope::kTravelEnd},
    {-1.0, ShowTimes::OpeningScope::kFreeze},
};

int openingScopeStart(double from, int fps, int firstEncoded)
{
    if (frameTime(from, fps, firstEncoded) >= ShowTimes::kOpeningScopeEnd + kEdge)
        return firstEncoded; // never drawn again
    int start = firstEncoded;
    for (const KeptValue& kept : kOpeningScopeKeeps) {
        const int last = lastFrameInside(from, fps, firstEncoded, kept.setFrom, kept.setUntil);
        if (last >= 0)
            start = std::min(start, last);
    }
    return start;
}

struct EchoStart
{
    int frame;
    int opened; // the whole capture's first frame of echo, less one
};

EchoStart echoStart(double from, int fps, int firstEncoded, bool fromWindowStart)
{
    namespace Echo = ShowTimes::ScopeEcho;
    const double t = frameTime(from, fps, firstEncoded);
    if (t <= Echo::kStart - kEdge || t >= Echo::kEnd + kEdge)
        return {firstEncoded, firstEncoded};
    // The whole capture's echo starts black at its first frame in the window.
    const int opened = std::max(0, firstFrameAfter(from, fps, Echo::kStart) - 1);
    const int whitening = firstEncoded - kEchoWhiteningFrames;
    if (fromWindowStart || whitening <= opened)
        return {std::min(opened, firstEncoded), opened};
    return {whitening, opened};
}

// The scroller's bake holds the pixels of every scroll step since it last
// baked the whole text, which it does when its window opens, when the text
// starts again and until the screen is full: drawn from the window's
// opening, whatever the file's length.
int scrollerStart(double from, int fps, int firstEncoded)
{
    namespace Scroller = ShowTimes::SourceScroller;
    const double t = frameTime(from, fps, firstEncoded);
    if (t <= Scroller::kStart - kEdge || t >= Scroller::kEnd + kEdge)
        return firstEncoded;
    return std::max(0, firstFrameAfter(from, fps, Scroller::kStart) - 1);
}

} // namespace

PreRoll planPreRoll(double from, int fps, int firstEncoded, bool echoFromStart)
{
    if (firstEncoded <= 0)
        return {0, false};
    const EchoStart echo = echoStart(from, fps, firstEncoded, echoFromStart);
    int start = std::min({firstEncoded - kShaderCheckFrames, openingScopeStart(from, fps, firstEncoded), echo.frame,
                          scrollerStart(from, fps, firstEncoded)});
    start = std::max(0, start);
    // Drawn from after the whole capture's first frame of echo, the echo
    // starts from black late and must have caught up.
    return {start, start > echo.opened && echo.opened < firstEncoded};
}
