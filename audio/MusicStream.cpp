#include "audio/MusicStream.h"

#include "app/Globals.h"
#include "audio/Capture.h"
#include "audio/ErrorText.h"

#include <cstdlib>
#include <iostream>

namespace {

constexpr unsigned int kInitFlags = FSOUND_INIT_GLOBALFOCUS;
constexpr int kCapturePriority = 303;
// Room for the scope to read a little past the last block of the ring.
constexpr int kCaptureSpare = 16;

void printError()
{
    std::cout << errorText(FSOUND_GetError()) << std::endl;
}

} // namespace

bool soundVersionAccepted(float version)
{
    return version >= kMinimumSoundVersion;
}

int streamMilliseconds(double seconds)
{
    return static_cast<int>(seconds * 1000.0);
}

MusicStream::MusicStream()
{
    std::cout << "Creating Fmod" << std::endl;
    mixRate = 44100;
    maxChannels = 128;
    if (!soundVersionAccepted(FSOUND_GetVersion())) {
        std::cout << "Error : Wrong DLL version! Use: " << kMinimumSoundVersion << std::endl;
        return;
    }
    if (!FSOUND_Init(mixRate, maxChannels, kInitFlags)) {
        printError();
        exitProcess(1);
    }
    FSOUND_SetSFXMasterVolume(255);
    allocateCaptureRing(FSOUND_DSP_GetBufferLengthTotal() + kCaptureSpare);
    captureUnit = FSOUND_DSP_Create(captureCallback, kCapturePriority, nullptr);
    FSOUND_DSP_SetActive(captureUnit, true);
}

void MusicStream::open(const char* path)
{
    std::cout << "Opening mp3 file: " << path << std::endl;
    stream = FSOUND_Stream_Open(path, FSOUND_NORMAL, 0, 0);
    if (!stream)
        printError();
}

void MusicStream::play()
{
    std::cout << "Playing stream mp3..." << std::endl;
    FSOUND_Stream_SetMode(stream, FSOUND_LOOP_NORMAL);
    FSOUND_Stream_Play(0, stream);
}

void MusicStream::setTime(double seconds)
{
    FSOUND_Stream_SetTime(stream, streamMilliseconds(seconds));
}

void MusicStream::startFlatLine()
{
    reset();
    flatLine = true;
}

bool MusicStream::flatLineStillOn()
{
    if (!flatLine)
        return false;
    // Cleared here, but still drawn this frame.
    if (time() > 0.5)
        flatLine = false;
    return true;
}
