#pragma once

#include <cstdio>
#include <functional>

// The start time counted in bars (x), beats (y) and quarter beats (z) from 1,
// at the soundtrack's beat of 5/11 s held in single precision.
double startTimeFromBeats(int bars, int beats, int quarters);

// Reads "%d %d %d" triples from the file until one is incomplete or not
// numeric, printing each and handing its start time to apply. Returns false
// (after printing the message) when the file cannot be opened.
bool readStartTimeFile(const char* path, const std::function<void(double)>& apply);
// The same from an open file.
void readStartTimes(std::FILE* file, const std::function<void(double)>& apply);
