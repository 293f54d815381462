#pragma once

#include "platform/sound/fsound.h"

#include <atomic>
#include <cstdint>

// The mixed music as mono samples, for the scopes. The sound layer's mixing
// thread writes one block per mix block into a ring that mirrors its output
// buffer; the scopes read it on the main thread without a lock.

// (total DSP buffer length + 16) samples; null until the music object set it
// up. The 16 spare samples at the end are never written: they let a scope read
// a little past the last block.
extern int16_t* captureRing;
// The block of the ring written next, which is also the oldest one.
extern std::atomic<int32_t> captureBlock;
// The DSP unit that runs captureCallback.
extern FSOUND_DSPUNIT* captureUnit;

// Replaces the ring with a zero-filled one of `samples` entries and starts
// again at block 0.
void allocateCaptureRing(int samples);

// The DSP callback: stores the block's mono mix at the current block of the
// ring, moves on one block and passes the sound through untouched.
void* captureCallback(void* originalBuffer, void* newBuffer, int length, void* userData);

// Mono of one stereo frame, as each mixer kind rounds it: the integer mixer
// halves with an arithmetic shift (toward minus infinity), the float mixer
// truncates toward zero.
int16_t downmixInt16(int16_t left, int16_t right);
int16_t downmixFloat(float left, float right);
