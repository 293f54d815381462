// The FSOUND_ functions: argument checks and error codes in front of the
// sound system.

#include "platform/sound/fsound.h"

#include "platform/sound/Stream.h"
#include "platform/sound/System.h"

#include <atomic>
#include <memory>

namespace {

// Newer than the oldest release the show accepts (3.71).
constexpr float kVersion = 3.75f;
constexpr int kMaxChannels = 1024;

std::unique_ptr<sound::System> s_system;
std::atomic<int> s_error{FSOUND_ERR_NONE};
int s_mixerType = FSOUND_MIXER_FLOAT;
int s_outputType = FSOUND_OUTPUT_DEFAULT;
int s_volume = 255;

bool fail(int error)
{
    s_error.store(error);
    return false;
}

bool succeed()
{
    s_error.store(FSOUND_ERR_NONE);
    return true;
}

// True when the system is up; sets the error otherwise.
bool initialised()
{
    return s_system ? true : fail(FSOUND_ERR_NOT_INITIALISED);
}

bool usable(const FSOUND_STREAM* stream)
{
    return initialised() && (stream ? true : fail(FSOUND_ERR_INVALID_PARAM));
}

} // namespace

float FSOUND_GetVersion()
{
    return kVersion;
}

bool FSOUND_Init(int mixRate, int maxChannels, unsigned int /*flags*/)
{
    if (s_system)
        return fail(FSOUND_ERR_ALREADY_INITIALISED);
    if (mixRate < 8000 || mixRate > 192000 || maxChannels < 1 || maxChannels > kMaxChannels)
        return fail(FSOUND_ERR_INVALID_PARAM);
    s_system = std::make_unique<sound::System>(mixRate, maxChannels, s_mixerType,
                                               s_outputType == FSOUND_OUTPUT_NOSOUND_NONREALTIME);
    s_system->mixer().setVolume(s_volume);
    return succeed();
}

void FSOUND_Close()
{
    s_system.reset();
}

int FSOUND_GetError()
{
    return s_error.load();
}

bool FSOUND_SetOutput(int outputType)
{
    if (s_system)
        return fail(FSOUND_ERR_ALREADY_INITIALISED);
    if (outputType != FSOUND_OUTPUT_DEFAULT && outputType != FSOUND_OUTPUT_NOSOUND_NONREALTIME)
        return fail(FSOUND_ERR_INVALID_PARAM);
    s_outputType = outputType;
    return succeed();
}

int FSOUND_GetOutput()
{
    return s_outputType;
}

bool FSOUND_Update()
{
    if (!initialised())
        return false;
    s_system->update();
    return succeed();
}

bool FSOUND_SetPaused(int channel, bool paused)
{
    if (!initialised())
        return false;
    return s_system->mixer().setPaused(channel, paused) ? succeed() : fail(FSOUND_ERR_INVALID_PARAM);
}

bool FSOUND_GetPaused(int channel)
{
    return initialised() && s_system->mixer().isPaused(channel);
}

bool FSOUND_SetMixer(int mixer)
{
    if (s_system)
        return fail(FSOUND_ERR_ALREADY_INITIALISED);
    if (mixer != FSOUND_MIXER_FLOAT && mixer != FSOUND_MIXER_INT16)
        return fail(FSOUND_ERR_INVALID_PARAM);
    s_mixerType = mixer;
    return succeed();
}

int FSOUND_GetMixer()
{
    return s_mixerType;
}

void FSOUND_SetSFXMasterVolume(int volume)
{
    s_volume = volume;
    if (s_system)
        s_system->mixer().setVolume(volume);
}

int FSOUND_DSP_GetBufferLength()
{
    return sound::System::kBlockFrames;
}

int FSOUND_DSP_GetBufferLengthTotal()
{
    return sound::System::kBlockFrames * sound::System::kBlocksTotal;
}

FSOUND_DSPUNIT* FSOUND_DSP_Create(FSOUND_DSPCALLBACK callback, int priority, void* userData)
{
    if (!initialised())
        return nullptr;
    if (!callback) {
        fail(FSOUND_ERR_INVALID_PARAM);
        return nullptr;
    }
    FSOUND_DSPUNIT* unit = s_system->mixer().dsp().create(callback, priority, userData);
    if (!unit)
        fail(FSOUND_ERR_MEMORY);
    return unit;
}

bool FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, bool active)
{
    if (!unit)
        return fail(FSOUND_ERR_INVALID_PARAM);
    unit->active.store(active);
    return succeed();
}

FSOUND_STREAM* FSOUND_Stream_Open(const char* path, unsigned int mode, int offset, int length)
{
    if (!initialised())
        return nullptr;
    if (!path || offset < 0 || length < 0) {
        fail(FSOUND_ERR_INVALID_PARAM);
        return nullptr;
    }
    FSOUND_STREAM* stream = nullptr;
    const int error = s_system->openStream(path, mode, offset, length, stream);
    s_error.store(error);
    return stream;
}

bool FSOUND_Stream_SetMode(FSOUND_STREAM* stream, unsigned int mode)
{
    if (!usable(stream))
        return false;
    stream->setMode(mode);
    return succeed();
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream)
{
    if (!usable(stream))
        return -1;
    int error = FSOUND_ERR_NONE;
    const int played = s_system->play(channel, stream, error);
    s_error.store(error);
    return played;
}

bool FSOUND_Stream_SetTime(FSOUND_STREAM* stream, int milliseconds)
{
    if (!usable(stream))
        return false;
    if (milliseconds < 0)
        return fail(FSOUND_ERR_INVALID_PARAM);
    // Rounded up, so that reading the position back gives the same time.
    const int64_t frame = (static_cast<int64_t>(milliseconds) * stream->rate() + 999) / 1000;
    s_system->setTime(stream, frame);
    return succeed();
}

int FSOUND_Stream_GetTime(FSOUND_STREAM* stream)
{
    if (!usable(stream))
        return -1;
    return static_cast<int>(stream->position() * 1000 / stream->rate());
}

int FSOUND_Stream_GetLengthMs(FSOUND_STREAM* stream)
{
    if (!usable(stream))
        return -1;
    return static_cast<int>(stream->length() * 1000 / stream->rate());
}

int FSOUND_Stream_GetAudibleTime(FSOUND_STREAM* stream)
{
    if (!usable(stream))
        return -1;
    return s_system->audibleMs(stream);
}

bool FSOUND_GetMixStats(FSOUND_MIXSTATS* stats)
{
    if (!stats)
        return fail(FSOUND_ERR_INVALID_PARAM);
    if (!initialised())
        return false;
    s_system->fillStats(*stats);
    return succeed();
}
