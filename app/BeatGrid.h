#pragma once

// The soundtrack's beat grid, as the start-time file counts it: a beat of
// 5/11 s (held in single precision, as there), four beats to a bar, bar 1
// beat 1 at 0 s.
//
// Stepping works on the grid cell the time lies in, so repeated presses walk
// it one step each, predictably, even while the show runs on between them: a
// time a little after a beat belongs to that beat's cell, so a step back goes
// to the beat before it rather than to the beat just passed.

double beatSeconds();
constexpr int kBeatsPerBar = 4;

// The grid point `steps` cells of `beatsPerStep` beats from the cell that
// holds `seconds`: +1 is the next point, -1 the start of the cell before.
// Never earlier than 0.
double stepOnGrid(double seconds, int beatsPerStep, int steps);

// Where a time lies, counted from 1 as the start-time file counts.
struct BarAndBeat
{
    int bar;
    int beat;
};
BarAndBeat barAndBeatAt(double seconds);
