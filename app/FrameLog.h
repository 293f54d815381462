#pragma once

#include <cstdio>
#include <memory>
#include <string>

// Every frame's wall time against the demo time it showed, one line per
// frame, for the benchmark: a viewer sees single slow frames, which the
// console's ten-frame status lines average away. Written only when the
// environment names a file in VELMO_FRAME_LOG, so the show as played writes
// nothing.
constexpr const char* kFrameLogVariable = "VELMO_FRAME_LOG";

class FrameLog
{
public:
    // Null when the variable is unset or empty; says so on the console and
    // gives null when the file cannot be written (the show goes on).
    static std::unique_ptr<FrameLog> fromEnvironment();
    explicit FrameLog(std::FILE* file);
    ~FrameLog();
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    // "demo-seconds frame-milliseconds", the demo time being the one the
    // frame drew.
    void record(double demoSeconds, double frameSeconds);

private:
    std::FILE* file;
};
