#pragma once

#include <cstdint>

// The arithmetic of a capture: frame n shows demo time from + n / fps, and
// the music is mixed ahead of each frame just far enough for the scopes.

// Frames whose demo time lies before `to`: the video lasts count / fps.
int captureFrameCount(double from, double to, int fps);

// The frame's number on the whole show's timeline at this rate (0 at 0 s),
// which names its still picture.
int64_t showFrameNumber(double from, int fps);

// Frames [first, end) of a capture's range, counted from its first frame.
struct FrameSpan
{
    int first = 0;
    int end = 0;
    int count() const { return end - first; }
};

// The chunk-th (1 to chunks) of `chunks` parts of `total` frames, as equal
// as whole frames allow: together they hold every frame once, in order.
FrameSpan chunkFrames(int total, int chunk, int chunks);

// The time frame n of a capture from `from` shows, as planned (the clock
// gives it to within a rounding).
double frameTime(double from, int fps, int frame);

// Mix blocks the sound layer must have mixed before a frame that lies
// `seconds` after the capture's start. The scopes draw the oldest block of
// the capture ring (`ringBlocks` blocks of `blockFrames`), so enough are
// mixed for that block to be the one that holds the frame's moment, the one
// heard in the video at that frame.
int64_t mixBlocksBefore(double seconds, int rate, int blockFrames, int ringBlocks);
