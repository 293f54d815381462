// Renders the show off screen, frame by frame on a fixed clock, and encodes it
// with its soundtrack into a video:
//   capture OUTPUT.mp4 [--fps N] [--from SECONDS] [--to SECONDS] [--png DIR]
// Run from the show's run folder, like the show. Needs no X server and no
// sound device.
#include "app/DemoClock.h"
#include "app/GFX.h"
#include "app/Globals.h"
#include "app/Show.h"
#include "app/Timeline.h"
#include "app/capture/CaptureOptions.h"
#include "app/capture/Encoder.h"
#include "app/capture/FramePlan.h"
#include "app/capture/Progress.h"
#include "audio/MusicStream.h"
#include "effects/FileException.h"
#include "platform/sound/fsound.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <vector>

namespace {

// Any fixed value: the box rain's sizes and spins come out the same on every
// capture, so two captures of a range match frame for frame.
constexpr unsigned kRepeatableSeed = 20050611;
constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kExitInterrupted = 130;

volatile sig_atomic_t s_stopRequested = 0;

void requestStop(int)
{
    s_stopRequested = 1;
}

void handleStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A failing ffmpeg shows up as a failed write, not as a killed capture.
    signal(SIGPIPE, SIG_IGN);
}

[[noreturn]] void failWith(const std::string& message)
{
    std::cerr << "capture: " << message << std::endl;
    exitProcess(1);
}

void checkOutputWritable(const std::string& path)
{
    const bool existed = access(path.c_str(), F_OK) == 0;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        failWith("cannot write " + path + ": " + std::strerror(errno));
    close(fd);
    if (!existed)
        unlink(path.c_str());
}

void preparePngFolder(const std::string& folder)
{
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
        failWith("cannot make the still folder " + folder + ": " + std::strerror(errno));
    struct stat info = {};
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || access(folder.c_str(), W_OK) != 0)
        failWith("cannot write stills into " + folder);
}

void checkBeforeBuilding(const CaptureOptions& options)
{
    if (!programOnPath("ffmpeg"))
        failWith("ffmpeg not found on PATH; install Debian's ffmpeg package");
    if (access(GFX::kSoundtrack, R_OK) != 0)
        failWith(std::string("no ") + GFX::kSoundtrack + " here: run the capture from the show's run folder");
    checkOutputWritable(options.output);
    if (!options.pngFolder.empty())
        preparePngFolder(options.pngFolder);
}

double soundtrackSeconds()
{
    FSOUND_STREAM* stream = g_music ? g_music->getStream() : nullptr;
    const int milliseconds = stream ? FSOUND_Stream_GetLengthMs(stream) : -1;
    if (milliseconds <= 0)
        failWith(std::string("cannot read the soundtrack ") + GFX::kSoundtrack);
    return milliseconds / 1000.0;
}

// Mixes the music up to the frame's moment, so the scopes draw what is heard
// in the video at that frame.
void mixMusicUpTo(double secondsIntoCapture, int64_t& blocksMixed)
{
    const int blockFrames = FSOUND_DSP_GetBufferLength();
    const int ringBlocks = FSOUND_DSP_GetBufferLengthTotal() / blockFrames;
    const int64_t wanted = mixBlocksBefore(secondsIntoCapture, 44100, blockFrames, ringBlocks);
    for (; blocksMixed < wanted; ++blocksMixed)
        FSOUND_Update();
}

void flipRows(const std::vector<unsigned char>& bottomUp, std::vector<unsigned char>& topDown)
{
    const size_t row = static_cast<size_t>(kWidth) * 3;
    topDown.resize(bottomUp.size());
    for (int y = 0; y < kHeight; ++y)
        std::copy_n(bottomUp.data() + row * static_cast<size_t>(kHeight - 1 - y), row,
                    topDown.data() + row * static_cast<size_t>(y));
}

struct Outcome
{
    int frames = 0;
    bool encoderFailed = false;
};

// One pass per frame: the clock steps by exactly one frame, the demo time is
// read from it, the music is mixed up to it, and the show draws the frame as
// the show's own loop would.
Outcome captureFrames(GFX& gfx, const CaptureOptions& options, int total, Encoder& encoder)
{
    Outcome outcome;
    Progress progress(total, stderr);
    std::vector<unsigned char> pixels;
    std::vector<unsigned char> upright;
    int64_t blocksMixed = 0;
    for (; outcome.frames < total && !s_stopRequested; ++outcome.frames) {
        gfx.readDemoTime();
        mixMusicUpTo(g_time - options.from, blocksMixed);
        g_timeline->update(g_time);
        gfx.frame();
        gfx.readPixels(pixels);
        flipRows(pixels, upright);
        if (!encoder.writeFrame(upright)) {
            outcome.encoderFailed = true;
            break;
        }
        progress.update(outcome.frames + 1);
        DemoClock::instance().step();
    }
    progress.finish();
    const double seconds = static_cast<double>(outcome.frames) / options.fps;
    const double took = progress.elapsedSeconds();
    std::cerr << "Captured " << outcome.frames << " frames (" << seconds << " s of show) in " << took
              << " s: " << (took > 0.0 ? seconds / took : 0.0) << " x real time" << std::endl;
    return outcome;
}

// Ends the process itself, as the show does, while the application object
// and everything it made are still alive.
[[noreturn]] void capture(CaptureOptions& options)
{
    // Everything that moves reads this one clock; from here on it moves only
    // when a frame is done, by exactly one frame.
    DemoClock::instance().useManualSteps(options.fps);
    FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND_NONREALTIME);

    ContentPreloader preloader(showContentInLoadOrder());
    g_contentReader = &preloader;
    GFX gfx;
    gfx.initOffscreen();
    // The splash frame lasts one frame too, so even the first frame of the
    // capture sees a whole frame's step (the physics steps by it).
    DemoClock::instance().step();
    gfx.showSplash(kSplashImage);
    const OpeningParts opening = buildShow(kRepeatableSeed);
    g_contentReader = nullptr;
    preloader.stop();
    gfx.readStartTime();

    std::string error;
    if (!settleCaptureRange(options, soundtrackSeconds(), error))
        failWith(error);
    const int total = captureFrameCount(options.from, options.to, options.fps);

    EncoderSettings settings;
    settings.output = options.output;
    settings.soundtrack = GFX::kSoundtrack;
    settings.fps = options.fps;
    settings.from = options.from;
    settings.seconds = static_cast<double>(total) / options.fps;
    settings.pngFolder = options.pngFolder;
    settings.firstPngNumber = showFrameNumber(options.from, options.fps);
    Encoder encoder;
    if (!encoder.start(settings))
        failWith(encoder.error());

    // Frame 0 shows `from` exactly: the clock has stepped to it already.
    DemoClock::instance().step();
    gfx.setTime(options.from);
    gfx.readDemoTime();
    gfx.updateBackground();
    gfx.playMusic();
    const Outcome outcome = captureFrames(gfx, options, total, encoder);
    const bool finished = encoder.finish();
    if (outcome.encoderFailed || !finished) {
        std::cerr << "capture: " << (encoder.error().empty() ? "ffmpeg stopped taking frames" : encoder.error())
                  << "; " << options.output << " is not complete" << std::endl;
        exitProcess(1);
    }
    if (outcome.frames < total) {
        std::cerr << "Stopped: " << options.output << " holds the first " << outcome.frames << " of "
                  << total << " frames" << std::endl;
        exitProcess(kExitInterrupted);
    }
    std::cout << "Wrote " << options.output << ": " << total << " frames at " << options.fps << " fps"
              << std::endl;
    exitProcess(0);
}

} // namespace

int main(int argc, char** argv)
{
    CaptureOptions options;
    std::string error;
    if (!parseCaptureOptions(argc, argv, options, error)) {
        std::cerr << "capture: " << error << "\n" << kCaptureUsage << std::endl;
        return 2;
    }
    checkBeforeBuilding(options);
    handleStopSignals();
    try {
        capture(options);
    } catch (const Demo::CFileException& e) {
        std::cout << e.message << std::endl;
        std::cerr << "capture: cannot build the show: " << e.message << std::endl;
        return 1;
    }
}
