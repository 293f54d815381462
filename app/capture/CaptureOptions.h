#pragma once

#include <string>
#include <vector>

// What the author asked the capture for on its command line:
//   capture OUTPUT.mp4 [--fps N] [--from SECONDS] [--to SECONDS] [--png DIR]
//                      [--size WxH] [--supersample N] [--chunk K/N]
//   capture --join OUTPUT.mp4 PART.mp4...
struct CaptureOptions
{
    std::string output;
    int fps = 60;
    double from = 0.0;
    double to = -1.0; // below 0: the end of the soundtrack
    std::string pngFolder; // empty: no stills
    int width = 800;
    int height = 600;
    int supersample = 1;
    // The chunk-th of `chunks` equal parts of the range.
    int chunk = 1;
    int chunks = 1;
    // With --join: the parts to join into `output`, nothing is rendered.
    std::vector<std::string> joinParts;
    bool join() const { return !joinParts.empty(); }
};

extern const char* const kCaptureUsage;

// Output sizes the capture takes, on each side (even, for the video's
// half-size colour planes), and the largest picture it renders, on its
// longer side, supersampling included.
constexpr int kSmallestSide = 320;
constexpr int kLargestSide = 7680;
constexpr int kLargestRender = 8192;
constexpr int kLargestSupersample = 4;

// False with a one-line reason in `error` for anything it cannot use.
bool parseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options,
                         std::string& error);

// The range checks that need the soundtrack's length, which is known only
// once the sound layer has opened it: settles a missing --to at the end.
bool settleCaptureRange(CaptureOptions& options, double soundtrackSeconds, std::string& error);
