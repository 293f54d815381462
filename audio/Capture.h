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

// The ring's samples are written and read as single relaxed atomic words: no
// ordering is needed, a half-rewritten block only disturbs one frame of the
// picture, and this makes those unsynchronised accesses well defined.
inline void storeCaptured(int16_t* sample, int16_t value)
{
    __atomic_store_n(sample, value, __ATOMIC_RELAXED);
}
inline int16_t loadCaptured(const int16_t* sample)
{
    return __atomic_load_n(sample, __ATOMIC_RELAXED);
}

// Replaces the ring with a zero-filled one of `samples` entries and starts
// again at block 0. Only while no mixing thread runs.
void allocateCaptureRing(int samples);

// The DSP callback: stores the block's mono mix at the current block of the
// ring, moves on one block and passes the sound through untouched.
void* captureCallback(void* originalBuffer, void* newBuffer, int length, void* userData);

// Mono of one stereo frame, as each mixer kind rounds it: the integer mixer
// halves with an arithmetic shift (toward minus infinity), the float mixer
// truncates toward zero.
int16_t downmixInt16(int16_t left, int16_t right);
int16_t downmixFloat(float left, float right);
