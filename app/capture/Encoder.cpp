#include "app/capture/Encoder.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

extern char** environ;

namespace {

std::string decimal(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

bool writeAll(int fd, const unsigned char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

std::string describeExit(int status)
{
    std::ostringstream text;
    if (WIFEXITED(status))
        text << "exit status " << WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        text << "signal " << WTERMSIG(status);
    else
        text << "status " << status;
    return text.str();
}

} // namespace

std::vector<std::string> ffmpegArguments(const EncoderSettings& s)
{
    const std::string size = std::to_string(s.width) + "x" + std::to_string(s.height);
    std::vector<std::string> args = {
        "ffmpeg", "-hide_banner", "-nostdin", "-nostats", "-loglevel", "error", "-y",
        "-f", "rawvideo", "-pix_fmt", s.pixelFormat, "-video_size", size,
        "-framerate", std::to_string(s.fps), "-i", "pipe:0",
        // The same start and length as the frames, so the sound lines up by
        // construction; -shortest also cuts it when the capture is stopped early.
        "-ss", decimal(s.from), "-t", decimal(s.seconds), "-i", s.soundtrack,
        "-map", "0:v", "-map", "1:a",
        "-c:v", "libx264", "-preset", kVideoPreset, "-tune", kVideoTune, "-crf", kVideoQuality, "-pix_fmt", "yuv420p",
        "-c:a", kAudioCodec, "-b:a", kAudioBitrate, "-shortest", "-movflags", "+faststart",
    };
    if (!s.comment.empty()) {
        args.push_back("-metadata");
        args.push_back("comment=" + s.comment);
    }
    args.push_back(s.output);
    if (!s.pngFolder.empty()) {
        const std::vector<std::string> stills = {
            "-map", "0:v", "-start_number", std::to_string(s.firstPngNumber),
            s.pngFolder + "/frame_%06d.png",
        };
        args.insert(args.end(), stills.begin(), stills.end());
    }
    return args;
}

bool programOnPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

Encoder::~Encoder()
{
    finish();
}

bool Encoder::start(const EncoderSettings& settings)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        m_error = std::string("cannot make a pipe to ffmpeg: ") + std::strerror(errno);
        return false;
    }
    // Room for a whole frame, so ffmpeg and the renderer overlap.
    fcntl(fds[1], F_SETPIPE_SZ, settings.width * settings.height * 3);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

    const std::vector<std::string> args = ffmpegArguments(settings);
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const int result = posix_spawnp(&m_pid, "ffmpeg", &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(fds[0]);
    if (result != 0) {
        close(fds[1]);
        m_pid = -1;
        m_error = std::string("cannot start ffmpeg: ") + std::strerror(result);
        return false;
    }
    m_pipe = fds[1];
    return true;
}

bool Encoder::writeFrame(const std::vector<unsigned char>& rgb)
{
    return m_pipe >= 0 && writeAll(m_pipe, rgb.data(), rgb.size());
}

bool Encoder::finish()
{
    if (m_pipe >= 0)
        close(m_pipe);
    m_pipe = -1;
    if (m_pid < 0)
        return m_error.empty();
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    m_error = "ffmpeg failed (" + describeExit(status) + ")";
    return false;
}
