#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Debian's ffmpeg, fed raw RGB frames through a pipe: H.264 (yuv420p, which
// every player takes) in an MP4, with the soundtrack cut from the mp3 at the
// same start, and optionally every frame as a numbered PNG too.
//
// ffmpeg runs in a process group of its own, so a Ctrl-C in the terminal
// reaches only the capture, which then ends the pipe and lets ffmpeg finish a
// playable file.
// H.264 for the best picture per bit the capture can afford in real time at
// 800 x 600 on two cores: measured on the light scene and the logos against
// the lossless frames, "medium" tuned for animation (flat colours, sharp
// lines) gives 1.3-1.4 dB more PSNR than "fast" at 2-8 % fewer bits, at 800
// x 600 and at 1920 x 1080, for 1.8 ms more a frame at 800 x 600; "slow"
// gains only 0.2 dB more for twice that. Quality 18 keeps the lines and flat
// colours intact through a video site's own encoding.
constexpr const char* kVideoPreset = "medium";
constexpr const char* kVideoTune = "animation";
constexpr const char* kVideoQuality = "18";

// The sound of every capture and join: AAC at 192 kb/s.
constexpr const char* kAudioCodec = "aac";
constexpr const char* kAudioBitrate = "192k";

struct EncoderSettings
{
    std::string output;
    std::string soundtrack;
    int width = 800;
    int height = 600;
    std::string pixelFormat = "rgb24"; // of the frames written, in ffmpeg's names
    int fps = 60;
    double from = 0.0;     // soundtrack seconds of the first frame
    double seconds = 0.0;  // the capture's length
    std::string pngFolder; // empty: no stills
    long long firstPngNumber = 0;
    std::string comment; // the file's comment tag; a part's says what it holds
};

// The ffmpeg command line for these settings.
std::vector<std::string> ffmpegArguments(const EncoderSettings& settings);

// Whether a program of this name is found on PATH.
bool programOnPath(const std::string& name);

class Encoder
{
public:
    Encoder() = default;
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
    ~Encoder();

    // False, with the reason in error(), when ffmpeg cannot be started.
    bool start(const EncoderSettings& settings);

    // One frame of rows in the settings' pixel format, top row first. False once ffmpeg no longer takes
    // frames (it failed; its own message is on the console).
    bool writeFrame(const std::vector<unsigned char>& rgb);

    // Ends the input and waits for ffmpeg. True when it finished the file.
    bool finish();

    const std::string& error() const { return m_error; }

private:
    pid_t m_pid = -1;
    int m_pipe = -1;
    std::string m_error;
};
