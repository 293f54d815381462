#pragma once

// Where a chunk of a capture starts to draw, so that its frames come out as
// those of one capture of the whole range.
//
// A chunk steps through every frame of the range from its start, as the
// whole capture does, but draws only from its pre-roll on and encodes only
// its own frames. The frames it does not draw still move everything that
// moves outside the drawing: the timeline's windows and the effects' clocks,
// the physics' steps (the box rain), the cameras, the scene's update
// callbacks (the character's dance, the turning models, the light), the
// music's mixing (what the scopes read). What lives only in the drawing has
// to be drawn, and that is what the pre-roll covers:
// - the opening scope keeps, from one drawn frame to the next, where its
//   lines split to (set in each frame from beat 16 to 24), where its side
//   lines travelled to (beat 16 to 32), and the lines it freezes at beat 36;
// - the scope's echo is last frame's picture echoed, so it holds every frame
//   drawn since its window opened at 58 s, or since the range's start;
// - the source scroller's bake: a one-line scroll moves the last bake up
//   and draws only the lines at the edges, which is a rounding away from
//   baking all the lines afresh, so its pixels hold every step since its
//   window opened;
// - the cartoon effects check their shaders on the first frame they are
//   drawn and show without the effect on that one frame.
//
// Each drawn frame of the echo brightens it: two 72 % echoes of itself and
// the scope's line, added and clamped, which is monotone (a brighter echo
// stays at least as bright, rounding included), and white echoes to white.
// So once an echo started from black has grown white everywhere, the echo
// of the whole capture, started earlier from black too, is white as well
// and the two stay equal. A chunk deep in the echo's window therefore draws
// only a few seconds of it, and then checks that it is white before its
// first frame; if it is not, it must draw the echo's window from its start.
struct PreRoll
{
    int firstDrawn = 0;          // frame of the range the chunk draws from
    bool echoMustBeWhite = false; // check the echo before the first frame
};

// Frames of echo drawn from black that grow it white everywhere, with room
// to spare: drawn from black anywhere in its window, at 24 or 60 frames a
// second and at 640 x 480 to 1920 x 1080, it turned white within 102 to 178
// frames.
constexpr int kEchoWhiteningFrames = 360;

// For a capture of frames from `from` at `fps`, a chunk whose first frame is
// `firstEncoded`. With `echoFromStart` the echo is drawn from its window's
// start (or the range's), never from black part way.
PreRoll planPreRoll(double from, int fps, int firstEncoded, bool echoFromStart = false);
