// Renders the show off screen, frame by frame on a fixed clock, and encodes it
// with its soundtrack into a video, or joins chunks of such a video:
//   capture OUTPUT.mp4 [--fps N] [--from SECONDS] [--to SECONDS] [--png DIR]
//                      [--size WxH] [--supersample N] [--chunk K/N]
//   capture --join OUTPUT.mp4 PART.mp4...
// Run from the show's run folder, like the show. Needs no X server and no
// sound device.
#include "app/DemoClock.h"
#include "app/GFX.h"
#include "app/Globals.h"
#include "app/Show.h"
#include "app/Timeline.h"
#include "app/capture/CaptureOptions.h"
#include "app/capture/Encoder.h"
#include "app/capture/FrameLayout.h"
#include "app/capture/FramePlan.h"
#include "app/capture/Join.h"
#include "app/capture/PartTag.h"
#include "app/capture/PreRoll.h"
#include "app/capture/Progress.h"
#include "app/capture/StageTimes.h"
#include "audio/FeedbackTexture.h"
#include "audio/MusicStream.h"
#include "effects/FileException.h"
#include "platform/sound/fsound.h"

#include <GL/gl.h>
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
constexpr int kExitInterrupted = 130;
// Set when a chunk found its echo not yet white and starts again, drawing
// the echo from its window's start.
constexpr const char* kEchoFromStartVariable = "VELMO_CAPTURE_ECHO_FROM_START";
// The frames go to ffmpeg as the renderer reads them back fastest.
constexpr int kChannels = 3;
constexpr const char* kPixelFormat = "rgb24";

volatile sig_atomic_t s_stopRequested = 0;
char** s_arguments = nullptr;

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
    for (const char* program : {"ffmpeg", "ffprobe"})
        if ((options.join() || std::strcmp(program, "ffmpeg") == 0) && !programOnPath(program))
            failWith(std::string(program) + " not found on PATH; install Debian's ffmpeg package");
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

// What a chunk does with each frame of the range.
struct FramePlanOfChunk
{
    FrameSpan span;  // the frames encoded
    PreRoll preRoll; // drawn from here on
    int total = 0;   // frames in the whole range
};

// Steps through the range's frames. Each pass: the clock has stepped by
// exactly one frame, the demo time is read from it, the music is mixed up to
// it, the timeline moves, and the show's frame runs - drawn from the
// pre-roll on, and from the chunk's first frame read back and encoded.
class FrameRunner
{
public:
    FrameRunner(GFX& gfx, const CaptureOptions& options, const FramePlanOfChunk& plan, Progress& progress)
        : gfx(gfx), options(options), plan(plan), progress(progress),
          layout(frameLayoutFor(options.width, options.height, options.supersample)), composer(layout, kChannels)
    {
    }

    void runUpToTheChunk()
    {
        for (; frame < plan.span.first && !s_stopRequested; ++frame) {
            beginFrame();
            if (frame < plan.preRoll.firstDrawn) {
                gfx.passFrame();
                progress.stepped(frame + 1);
            } else {
                gfx.frame();
                progress.preRolled(frame + 1 - plan.preRoll.firstDrawn);
            }
            DemoClock::instance().step();
        }
    }

    // The number of frames encoded; false in `encoderFailed` when ffmpeg
    // stopped taking them.
    int encodeTheChunk(Encoder& encoder, bool& encoderFailed)
    {
        encoderFailed = false;
        for (; frame < plan.span.end && !s_stopRequested; ++frame) {
            beginFrame();
            stages.start(StageTimes::Render);
            gfx.frame();
            glFinish();
            stages.start(StageTimes::ReadBack);
            gfx.readPixels(pixels);
            stages.start(StageTimes::Compose);
            const std::vector<unsigned char>& video = composer.compose(pixels);
            stages.start(StageTimes::Encoder);
            if (!encoder.writeFrame(video)) {
                encoderFailed = true;
                break;
            }
            stages.endFrame();
            progress.encoded(frame + 1 - plan.span.first);
            DemoClock::instance().step();
        }
        return frame - plan.span.first;
    }

    const StageTimes& stageTimes() const { return stages; }

private:
    void beginFrame()
    {
        gfx.readDemoTime();
        mixMusicUpTo(g_time - options.from, blocksMixed);
        g_timeline->update(g_time);
    }

    GFX& gfx;
    const CaptureOptions& options;
    const FramePlanOfChunk& plan;
    Progress& progress;
    FrameLayout layout;
    FrameComposer composer;
    StageTimes stages;
    std::vector<unsigned char> pixels;
    int64_t blocksMixed = 0;
    int frame = 0;
};

FramePlanOfChunk planChunk(const CaptureOptions& options)
{
    FramePlanOfChunk plan;
    plan.total = captureFrameCount(options.from, options.to, options.fps);
    plan.span = chunkFrames(plan.total, options.chunk, options.chunks);
    if (plan.span.count() <= 0)
        failWith("chunk " + std::to_string(options.chunk) + "/" + std::to_string(options.chunks) + " of " +
                 std::to_string(plan.total) + " frames holds no frame: ask for fewer chunks");
    const char* echoFromStart = std::getenv(kEchoFromStartVariable);
    plan.preRoll = planPreRoll(options.from, options.fps, plan.span.first, echoFromStart && *echoFromStart);
    return plan;
}

EncoderSettings encoderSettings(const CaptureOptions& options, const FramePlanOfChunk& plan)
{
    EncoderSettings settings;
    settings.output = options.output;
    settings.soundtrack = GFX::kSoundtrack;
    settings.width = options.width;
    settings.height = options.height;
    settings.pixelFormat = kPixelFormat;
    settings.fps = options.fps;
    settings.from = frameTime(options.from, options.fps, plan.span.first);
    settings.seconds = static_cast<double>(plan.span.count()) / options.fps;
    settings.pngFolder = options.pngFolder;
    settings.firstPngNumber = showFrameNumber(options.from, options.fps) + plan.span.first;
    PartTag tag;
    tag.from = options.from;
    tag.to = options.to;
    tag.fps = options.fps;
    tag.width = options.width;
    tag.height = options.height;
    tag.first = plan.span.first;
    tag.count = plan.span.count();
    tag.total = plan.total;
    settings.comment = formatPartTag(tag);
    return settings;
}

// The echo a chunk drew from black part way through its window has not
// grown white by the chunk's start: its frames would not be those of the
// whole capture. Starts the capture again, drawing the echo from its start.
[[noreturn]] void captureAgainWithTheWholeEcho()
{
    std::cerr << "capture: the scope's echo has not grown white by the chunk's start; "
                 "capturing again with the echo drawn from its start"
              << std::endl;
    setenv(kEchoFromStartVariable, "1", 1);
    execv("/proc/self/exe", s_arguments);
    failWith(std::string("cannot start the capture again: ") + std::strerror(errno));
}

std::string chunkLabel(const CaptureOptions& options)
{
    if (options.chunks == 1)
        return "";
    return "chunk " + std::to_string(options.chunk) + "/" + std::to_string(options.chunks);
}

void report(const Progress& progress, const FrameRunner& runner, const CaptureOptions& options, int frames)
{
    const double seconds = static_cast<double>(frames) / options.fps;
    const double took = progress.elapsedSeconds();
    std::cerr << "Captured " << frames << " frames (" << seconds << " s of show) in " << took
              << " s: " << (took > 0.0 ? seconds / took : 0.0) << " x real time" << std::endl;
    std::cerr << "Time per encoded frame: " << runner.stageTimes().summary() << std::endl;
}

// Ends the process itself, as the show does, while the application object
// and everything it made are still alive.
[[noreturn]] void capture(CaptureOptions& options)
{
    const FrameLayout layout = frameLayoutFor(options.width, options.height, options.supersample);
    // Everything that moves reads this one clock; from here on it moves only
    // when a frame is done, by exactly one frame.
    DemoClock::instance().useManualSteps(options.fps);
    FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND_NONREALTIME);

    ContentPreloader preloader(startContentInLoadOrder());
    g_contentReader = &preloader;
    GFX gfx;
    gfx.initOffscreen(layout.renderWidth(), layout.renderHeight());
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
    const FramePlanOfChunk plan = planChunk(options);

    // Frame 0 shows `from` exactly: the clock has stepped to it already.
    DemoClock::instance().step();
    gfx.setTime(options.from);
    gfx.readDemoTime();
    gfx.updateBackground();
    gfx.playMusic();

    Progress::Plan shown;
    shown.stepFrames = plan.preRoll.firstDrawn;
    shown.preRollFrames = plan.span.first - plan.preRoll.firstDrawn;
    shown.encodeFrames = plan.span.count();
    shown.label = chunkLabel(options);
    Progress progress(shown, stderr);
    FrameRunner runner(gfx, options, plan, progress);
    runner.runUpToTheChunk();
    if (s_stopRequested)
        exitProcess(kExitInterrupted);
    if (plan.preRoll.echoMustBeWhite && g_feedbackTexture && !g_feedbackTexture->readsWhite())
        captureAgainWithTheWholeEcho();

    Encoder encoder;
    if (!encoder.start(encoderSettings(options, plan)))
        failWith(encoder.error());
    bool encoderFailed = false;
    const int frames = runner.encodeTheChunk(encoder, encoderFailed);
    progress.finish();
    report(progress, runner, options, frames);
    const bool finished = encoder.finish();
    if (encoderFailed || !finished) {
        std::cerr << "capture: " << (encoder.error().empty() ? "ffmpeg stopped taking frames" : encoder.error())
                  << "; " << options.output << " is not complete" << std::endl;
        exitProcess(1);
    }
    if (frames < plan.span.count()) {
        std::cerr << "Stopped: " << options.output << " holds the first " << frames << " of "
                  << plan.span.count() << " frames" << std::endl;
        exitProcess(kExitInterrupted);
    }
    std::cout << "Wrote " << options.output << ": " << frames << " frames at " << options.fps << " fps"
              << std::endl;
    exitProcess(0);
}

[[noreturn]] void join(const CaptureOptions& options)
{
    std::string error;
    if (!joinParts(options.output, options.joinParts, GFX::kSoundtrack, error))
        failWith(error);
    std::cout << "Wrote " << options.output << ": " << options.joinParts.size() << " parts joined" << std::endl;
    exitProcess(0);
}

} // namespace

int main(int argc, char** argv)
{
    s_arguments = argv;
    CaptureOptions options;
    std::string error;
    if (!parseCaptureOptions(argc, argv, options, error)) {
        std::cerr << "capture: " << error << "\n" << kCaptureUsage << std::endl;
        return 2;
    }
    checkBeforeBuilding(options);
    if (options.join())
        join(options);
    handleStopSignals();
    try {
        capture(options);
    } catch (const Demo::CFileException& e) {
        std::cout << e.message << std::endl;
        std::cerr << "capture: cannot build the show: " << e.message << std::endl;
        return 1;
    }
}
