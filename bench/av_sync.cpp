// Measures how far the demo time and the audible position of the music drift
// apart. It starts the soundtrack the way the show does (place the stream and
// the clock at 0 together, then play) and reads both at the start, after 60 s
// and after 120 s, and reports the audio thread's work per mix block.
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

} // namespace

int main(int argc, char** argv)
{
    const char* path = argc > 1 ? argv[1] : "ddata/velmo-tesk.mp3";
    std::vector<double> checkpoints = {0.5, 60.0, 120.5};
    if (argc > 2)
        checkpoints = {0.5, std::atof(argv[2])};

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
    for (double at : checkpoints) {
        waitUntil(clock, offset, at);
        const double demo = clock.time() + offset;
        const int audible = FSOUND_Stream_GetAudibleTime(stream);
        std::printf("demo %7.3f s  audible %7.3f s  offset %+7.1f ms\n", demo, audible / 1000.0,
                    offsetMs(demo, audible, lengthMs));
        std::fflush(stdout);
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
