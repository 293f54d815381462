#pragma once

#include "app/TimeSyncer.h"
#include "platform/sound/fsound.h"

#include <cstdint>

// The soundtrack: plays the mp3 through the sound layer and captures the
// mixed output (audio/Capture.h) for the scopes it draws. Its own clock only
// times the flat-line marker. The stream position is set, never read back:
// the demo clock runs on its own timer.
class MusicStream : public TimeSyncer
{
public:
    // Sets up the sound layer and the capture. Without a recent enough sound
    // layer the object stays silent; if the layer cannot start, the process
    // ends with status 1.
    MusicStream();

    void open(const char* path);
    void play();
    // Whole milliseconds, truncated toward zero.
    void setTime(double seconds);
    // A flat line replaces the waveform for half a second of this object's
    // clock.
    void startFlatLine();

    // GL drawing of the scopes; in audio/ScopeDraw.cpp. A frame of the echo's
    // scope moves the flat line's clock on; drawScopeAs draws it, flat or
    // not, and leaves the clock alone.
    void drawScope();
    void drawScopeAs(bool flat);
    void drawStartScope();
    // What a frame of drawScope does to the flat line, for a frame that has
    // no need to draw it.
    void passScopeFrame() { flatLineStillOn(); }

    FSOUND_STREAM* getStream() const { return stream; }
    bool isFlatLine() const { return flatLine; }

private:
    bool flatLineStillOn();
    void drawStartWave(double t, int start);
    void drawFrozenLines();

    int32_t mixRate = 0;
    int32_t maxChannels = 0;
    FSOUND_STREAM* stream = nullptr;
    bool flatLine = false;
    // Line end points of the opening scope's last live frame: array n holds
    // coordinate n of each of the 86 line groups.
    float frozenLines[16][512] = {};
    float lineSplit = 0.0f;
    float sideTravel = 0.0f;
};

// The oldest sound layer whose behaviour the show relies on.
constexpr float kMinimumSoundVersion = 3.71f;
bool soundVersionAccepted(float version);

// Stream position for a time in seconds: milliseconds, truncated toward zero.
int streamMilliseconds(double seconds);
