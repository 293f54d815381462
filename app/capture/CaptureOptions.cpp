#include "app/capture/CaptureOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

const char* const kCaptureUsage =
    "usage: capture OUTPUT.mp4 [--fps N] [--from SECONDS] [--to SECONDS] [--png DIR]";

namespace {

constexpr int kMaxFps = 240;

bool readNumber(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && errno == 0 && std::isfinite(value);
}

std::string describe(double seconds)
{
    std::ostringstream text;
    text << seconds;
    return text.str();
}

} // namespace

bool parseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options,
                         std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool takesValue =
            argument == "--fps" || argument == "--from" || argument == "--to" || argument == "--png";
        if (!takesValue && !argument.empty() && argument[0] == '-' && argument != "-") {
            error = "unknown option " + argument;
            return false;
        }
        if (!takesValue) {
            if (!options.output.empty()) {
                error = "one output file only, got " + options.output + " and " + argument;
                return false;
            }
            options.output = argument;
            continue;
        }
        if (i + 1 >= argc) {
            error = argument + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        double number = 0.0;
        if (argument == "--png") {
            options.pngFolder = value;
        } else if (!readNumber(value, number)) {
            error = argument + " needs a number, got '" + value + "'";
            return false;
        } else if (argument == "--fps") {
            if (number != std::floor(number) || number < 1 || number > kMaxFps) {
                error = "--fps needs a whole number from 1 to " + std::to_string(kMaxFps) + ", got " + value;
                return false;
            }
            options.fps = static_cast<int>(number);
        } else if (number < 0.0) {
            error = argument + " needs a time of 0 s or more, got " + value;
            return false;
        } else if (argument == "--from") {
            options.from = number;
        } else {
            options.to = number;
        }
    }
    if (options.output.empty()) {
        error = "no output file given";
        return false;
    }
    return true;
}

bool settleCaptureRange(CaptureOptions& options, double soundtrackSeconds, std::string& error)
{
    if (options.to < 0.0)
        options.to = soundtrackSeconds;
    if (options.from < 0.0 || options.from >= soundtrackSeconds) {
        error = "--from must lie within the soundtrack, 0 to " + describe(soundtrackSeconds) + " s";
        return false;
    }
    if (options.to <= options.from || options.to > soundtrackSeconds) {
        error = "--to must lie after --from and within the soundtrack (at most " +
                describe(soundtrackSeconds) + " s)";
        return false;
    }
    return true;
}
