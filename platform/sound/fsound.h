#pragma once

// Our own small sound layer behind the FSOUND_ calls the music stream makes.
// The names and meanings follow the FMOD 3 calls that code was written
// against; underneath, libmpg123 decodes and SDL 1.2 plays. Only what the
// show needs is here, plus two read-outs for our benchmark (audible stream
// time and the audio thread's timing figures).
//
// Threads: every function is for the main thread. DSP callbacks run on the
// mixing thread (SDL's audio thread, or our own pacing thread when no sound
// device could be opened) once per mix block; in the non-real-time output
// mode there is no mixing thread and they run inside FSOUND_Update.

namespace sound {
class Stream;
class DspUnit;
}

typedef sound::Stream FSOUND_STREAM;
typedef sound::DspUnit FSOUND_DSPUNIT;

// Called once per mix block. `newBuffer` holds the block as the units of
// lower priority left it, `originalBuffer` the block before any unit ran; both
// are interleaved stereo in the format of FSOUND_GetMixer(). The returned
// buffer is what the next unit, and finally the output, receives.
typedef void* (*FSOUND_DSPCALLBACK)(void* originalBuffer, void* newBuffer,
                                    int length, void* userData);

// Error codes, as FSOUND_GetError reports them.
enum
{
    FSOUND_ERR_NONE = 0,
    FSOUND_ERR_ALREADY_INITIALISED = 1,
    FSOUND_ERR_NOT_INITIALISED = 2,
    FSOUND_ERR_OUTPUT_INIT = 3,
    FSOUND_ERR_PLAY = 5,
    FSOUND_ERR_FILE_NOT_FOUND = 9,
    FSOUND_ERR_FILE_FORMAT = 10,
    FSOUND_ERR_FILE_BAD = 11,
    FSOUND_ERR_MEMORY = 12,
    FSOUND_ERR_INVALID_PARAM = 14,
    FSOUND_ERR_CHANNEL_ALLOC = 16,
};

// Mixer types for FSOUND_SetMixer / FSOUND_GetMixer. The float mixer hands
// DSP units interleaved 32-bit floats in the 16-bit sample range; the integer
// mixer hands them interleaved signed 16-bit samples.
enum
{
    FSOUND_MIXER_INT16 = 1,
    FSOUND_MIXER_FLOAT = 5,
};

// Stream mode bits. The sample-format bits describe raw PCM data, which this
// layer does not load; an mp3 brings its own format, so they are accepted and
// have no effect. FSOUND_NORMAL is the usual mode for opening a stream.
enum : unsigned int
{
    FSOUND_LOOP_OFF = 0x1,
    FSOUND_LOOP_NORMAL = 0x2,
    FSOUND_16BITS = 0x10,
    FSOUND_MONO = 0x20,
    FSOUND_SIGNED = 0x100,
    FSOUND_NORMAL = FSOUND_16BITS | FSOUND_SIGNED | FSOUND_MONO,
};

// FSOUND_Init flag: keep playing while the window is out of focus. Sound on
// Linux never depends on focus, so it is accepted and has no effect.
enum : unsigned int
{
    FSOUND_INIT_GLOBALFOCUS = 0x2,
};

// FSOUND_Stream_Play channel: take the first free one. FSOUND_SetPaused
// channel: every channel.
enum
{
    FSOUND_FREE = -1,
    FSOUND_ALL = -3,
};

// Output types for FSOUND_SetOutput. The default plays on SDL's sound device,
// or, when none opens, mixes into silence at the same real-time pace. The
// non-real-time mode opens no device and mixes nothing by itself: each
// FSOUND_Update mixes one block on the caller's thread, and a stream whose
// decoder is behind is waited for instead of leaving a gap, so the same
// calls always give the same blocks. For rendering the sound in step with
// something slower or faster than real time.
enum
{
    FSOUND_OUTPUT_DEFAULT = -1,
    FSOUND_OUTPUT_NOSOUND_NONREALTIME = 13,
};

float FSOUND_GetVersion();

// Prepares mixing at `mixRate` Hz with `maxChannels` stream channels. The
// sound device itself is opened when the first stream starts, so that output
// begins with that stream rather than with the silence before it.
bool FSOUND_Init(int mixRate, int maxChannels, unsigned int flags);

// Stops the output, the decoders and frees every stream and DSP unit. The
// show never calls it; tests do, to start afresh.
void FSOUND_Close();

int FSOUND_GetError();

// Before FSOUND_Init only.
bool FSOUND_SetOutput(int outputType);
int FSOUND_GetOutput();

// Non-real-time output: mixes one block (FSOUND_DSP_GetBufferLength frames)
// and runs the DSP units over it. In the other modes the mixing thread does
// that by itself and this does nothing.
bool FSOUND_Update();

// A paused channel stays where it is and adds nothing to the mix until it is
// resumed; it is paused and resumed on mix block boundaries.
bool FSOUND_SetPaused(int channel, bool paused);
bool FSOUND_GetPaused(int channel);

// Before FSOUND_Init only; FSOUND_MIXER_FLOAT unless chosen otherwise.
bool FSOUND_SetMixer(int mixer);
int FSOUND_GetMixer();

void FSOUND_SetSFXMasterVolume(int volume); // 0..255

// Mix block, in sample frames, and the whole output buffer (a whole number of
// blocks), in sample frames.
int FSOUND_DSP_GetBufferLength();
int FSOUND_DSP_GetBufferLengthTotal();

// Units are created inactive and live until FSOUND_Close. Active units run
// in ascending priority, units of equal priority in creation order.
FSOUND_DSPUNIT* FSOUND_DSP_Create(FSOUND_DSPCALLBACK callback, int priority,
                                  void* userData);
bool FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, bool active);

// `offset` and `length` (bytes) pick a slice of the file; length 0 means up
// to the end. Null on failure, with the error set: FSOUND_ERR_FILE_NOT_FOUND
// when the file cannot be opened, FSOUND_ERR_FILE_FORMAT when it holds no
// decodable MPEG audio.
FSOUND_STREAM* FSOUND_Stream_Open(const char* path, unsigned int mode,
                                  int offset, int length);
bool FSOUND_Stream_SetMode(FSOUND_STREAM* stream, unsigned int mode);

// Returns the channel, or -1. Waits (briefly) until the decoder has audio
// ready, so the first mixed block already holds the stream.
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);

// Positions the stream. Past the end a looping stream wraps, any other stream
// ends. Negative times are rejected.
bool FSOUND_Stream_SetTime(FSOUND_STREAM* stream, int milliseconds);

// The stream position the mixer takes next, in milliseconds; right after
// FSOUND_Stream_SetTime, the time that was set.
int FSOUND_Stream_GetTime(FSOUND_STREAM* stream);

// Length of the decoded stream, in milliseconds.
int FSOUND_Stream_GetLengthMs(FSOUND_STREAM* stream);

// Benchmark read-out: the stream position, in milliseconds, of the sound
// leaving the output now: the sample frames the output has consumed, less
// what it still buffers. With a device we assume it double-buffers (when SDL
// asks for a buffer, the one before has just started to play) and interpolate
// inside the playing buffer by the wall clock; without a device the silent
// output consumes each block the moment it is mixed. -1 while the stream is
// not playing or its position is no longer known.
int FSOUND_Stream_GetAudibleTime(FSOUND_STREAM* stream);

// Benchmark read-out: how hard the mixing and the decoding work.
struct FSOUND_MIXSTATS
{
    int blockFrames;           // frames per mix block
    double blockMs;            // real time one block lasts
    long long blocks;          // blocks mixed since the output started
    double mixMeanMs;          // mixing thread time per block (mix, DSP, conversion)
    double mixMaxMs;
    long long starvedBlocks;   // blocks where a playing stream had no decoded audio
    long long decodedFrames;   // frames the decoders produced
    double decodeMsPerBlock;   // decoder time per block's worth of frames
    double decodeMaxChunkMs;   // slowest single decode of one chunk
    bool silentOutput;         // no sound device: mixing into silence
};
bool FSOUND_GetMixStats(FSOUND_MIXSTATS* stats);
