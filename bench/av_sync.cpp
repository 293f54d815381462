// Measures how far the demo time and the audible position of the music drift
// apart. It starts the soundtrack the way the show does (place the stream and
// the clock at 0 together, then play) and reads both at the start, before and
// after a pause taken the way the pause key takes it, after 60 s and after
// 120 s, and reports the audio thread's work per mix block.
#include "app/Pause.h"
#include "app/TimeSyncer.h"
#include "audio/MusicStream.h"
#include "platform/sound/fsound.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

// Demo time minus audible time, in milliseconds, across the loop point.
double offsetMs(double demoSeconds, int audibleMs, int lengthMs)
{
    double demoMs = demoSeconds * 1000.0;
    if (lengthMs > 0)
        demoMs = std::fmod(demoMs, lengthMs);
    double offset = demoMs - audibleMs;
    if (lengthMs > 0 && offset > lengthMs / 2.0)
        offset -= lengthMs;
    if (lengthMs > 0 && offset < -lengthMs / 2.0)
        offset += lengthMs;
    return offset;
}

void waitUntil(TimeSyncer& clock, double offset, double demoSeconds)
{
    while (clock.time() + offset < demoSeconds)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

struct Checkpoint
{
    double at;           // demo seconds
    double pauseSeconds; // taken right after the reading; 0 for none
};

} // namespace

int main(int argc, char** argv)
{
    const char* path = argc > 1 ? argv[1] : "ddata/velmo-tesk.mp3";
    // A 3 s pause at 10 s, then readings soon after it and much later.
    std::vector<Checkpoint> checkpoints = {{0.5, 0.0}, {10.0, 3.0}, {12.0, 0.0}, {60.0, 0.0}, {120.5, 0.0}};
    if (argc > 2)
        checkpoints = {{0.5, 0.0}, {std::atof(argv[2]), 0.0}};

    MusicStream music;
    music.open(path);
    FSOUND_STREAM* stream = music.getStream();
    if (!stream)
        return 1;
    TimeSyncer clock;
    clock.time();
    music.setTime(0.0);
    const double offset = 0.0 - clock.time();
    music.play();

    const int lengthMs = FSOUND_Stream_GetLengthMs(stream);
    double paused = 0.0;
    for (const Checkpoint& checkpoint : checkpoints) {
        waitUntil(clock, offset, checkpoint.at);
        const double demo = clock.time() + offset;
        const int audible = FSOUND_Stream_GetAudibleTime(stream);
        std::printf("demo %7.3f s  audible %7.3f s  offset %+7.1f ms%s\n", demo, audible / 1000.0,
                    offsetMs(demo, audible, lengthMs),
                    paused > 0.0 ? "  (after the pause)" : "");
        std::fflush(stdout);
        if (checkpoint.pauseSeconds > 0.0) {
            setShowPaused(true);
            std::this_thread::sleep_for(std::chrono::duration<double>(checkpoint.pauseSeconds));
            setShowPaused(false);
            paused = checkpoint.pauseSeconds;
            std::printf("paused %.1f s at demo %.3f s\n", paused, clock.time() + offset);
        }
    }
    FSOUND_MIXSTATS stats{};
    if (FSOUND_GetMixStats(&stats)) {
        std::printf("audio thread per block: mean %.3f ms, max %.3f ms, block %.2f ms (%d frames); "
                    "starved blocks %lld; decode %.3f ms per block, slowest chunk %.3f ms%s\n",
                    stats.mixMeanMs, stats.mixMaxMs, stats.blockMs, stats.blockFrames,
                    stats.starvedBlocks, stats.decodeMsPerBlock, stats.decodeMaxChunkMs,
                    stats.silentOutput ? " (no device: silent output)" : "");
    }
    std::fflush(stdout);
    std::_Exit(0);
}
