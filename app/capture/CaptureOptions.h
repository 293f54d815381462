#pragma once

#include <string>

// What the author asked the capture for on its command line:
//   capture OUTPUT.mp4 [--fps N] [--from SECONDS] [--to SECONDS] [--png DIR]
struct CaptureOptions
{
    std::string output;
    int fps = 60;
    double from = 0.0;
    double to = -1.0; // below 0: the end of the soundtrack
    std::string pngFolder; // empty: no stills
};

extern const char* const kCaptureUsage;

// False with a one-line reason in `error` for anything it cannot use.
bool parseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options,
                         std::string& error);

// The range checks that need the soundtrack's length, which is known only
// once the sound layer has opened it: settles a missing --to at the end.
bool settleCaptureRange(CaptureOptions& options, double soundtrackSeconds, std::string& error);
