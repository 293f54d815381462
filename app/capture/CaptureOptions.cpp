#include "app/capture/CaptureOptions.h"

#include "app/capture/FrameLayout.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

const char* const kCaptureUsage =
    "usage: capture OUTPUT.mp4 [--fps N] [--from SECONDS] [--to SECONDS] [--png DIR] [--size WxH]\n"
    "               [--supersample N] [--chunk K/N]\n"
    "       capture --join OUTPUT.mp4 PART.mp4...";

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

// A whole number of decimal digits only, that fits an int.
bool readWhole(const std::string& text, int& value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::atoi(text.c_str());
    return true;
}

// "A<separator>B" as two whole numbers.
bool readPair(const std::string& text, char separator, int& a, int& b)
{
    const size_t at = text.find(separator);
    return at != std::string::npos && readWhole(text.substr(0, at), a) && readWhole(text.substr(at + 1), b);
}

std::string describe(double seconds)
{
    std::ostringstream text;
    text << seconds;
    return text.str();
}

bool fitsSide(int side)
{
    return side >= kSmallestSide && side <= kLargestSide && side % 2 == 0;
}

bool readSize(const std::string& value, CaptureOptions& options, std::string& error)
{
    int width = 0, height = 0;
    if (!readPair(value, 'x', width, height) || !fitsSide(width) || !fitsSide(height)) {
        error = "--size needs WIDTHxHEIGHT, even numbers from " + std::to_string(kSmallestSide) + " to " +
                std::to_string(kLargestSide) + ", got '" + value + "'";
        return false;
    }
    options.width = width;
    options.height = height;
    return true;
}

bool readChunk(const std::string& value, CaptureOptions& options, std::string& error)
{
    int chunk = 0, chunks = 0;
    if (!readPair(value, '/', chunk, chunks) || chunks < 1 || chunk < 1 || chunk > chunks) {
        error = "--chunk needs K/N, whole numbers with 1 <= K <= N, got '" + value + "'";
        return false;
    }
    options.chunk = chunk;
    options.chunks = chunks;
    return true;
}

bool readSupersample(const std::string& value, CaptureOptions& options, std::string& error)
{
    int factor = 0;
    if (!readWhole(value, factor) || factor < 1 || factor > kLargestSupersample) {
        error = "--supersample needs a whole number from 1 to " + std::to_string(kLargestSupersample) + ", got '" +
                value + "'";
        return false;
    }
    options.supersample = factor;
    return true;
}

bool readTimeOrFps(const std::string& argument, const std::string& value, CaptureOptions& options,
                   std::string& error)
{
    double number = 0.0;
    if (!readNumber(value, number)) {
        error = argument + " needs a number, got '" + value + "'";
        return false;
    }
    if (argument == "--fps") {
        if (number != std::floor(number) || number < 1 || number > kMaxFps) {
            error = "--fps needs a whole number from 1 to " + std::to_string(kMaxFps) + ", got " + value;
            return false;
        }
        options.fps = static_cast<int>(number);
        return true;
    }
    if (number < 0.0) {
        error = argument + " needs a time of 0 s or more, got " + value;
        return false;
    }
    (argument == "--from" ? options.from : options.to) = number;
    return true;
}

bool readValue(const std::string& argument, const std::string& value, CaptureOptions& options,
               std::string& error)
{
    if (argument == "--png") {
        options.pngFolder = value;
        return true;
    }
    if (argument == "--size")
        return readSize(value, options, error);
    if (argument == "--chunk")
        return readChunk(value, options, error);
    if (argument == "--supersample")
        return readSupersample(value, options, error);
    return readTimeOrFps(argument, value, options, error);
}

bool takesValue(const std::string& argument)
{
    for (const char* name : {"--fps", "--from", "--to", "--png", "--size", "--chunk", "--supersample"})
        if (argument == name)
            return true;
    return false;
}

bool parseJoin(int argc, const char* const* argv, CaptureOptions& options, std::string& error)
{
    if (argc < 4) {
        error = "--join needs the output file and at least one part";
        return false;
    }
    for (int i = 2; i < argc; ++i) {
        if (argv[i][0] == '\0') {
            error = "--join needs file names, got an empty one";
            return false;
        }
    }
    options.output = argv[2];
    for (int i = 3; i < argc; ++i) {
        const std::string part = argv[i];
        if (part[0] == '-') {
            error = "--join takes file names only, got " + part;
            return false;
        }
        options.joinParts.push_back(part);
    }
    return true;
}

bool checkRenderSize(const CaptureOptions& options, std::string& error)
{
    const FrameLayout layout = frameLayoutFor(options.width, options.height, options.supersample);
    if (std::max(layout.renderWidth(), layout.renderHeight()) <= kLargestRender)
        return true;
    error = "--supersample " + std::to_string(options.supersample) + " at " + std::to_string(options.width) +
            "x" + std::to_string(options.height) + " would render " + std::to_string(layout.renderWidth()) +
            " x " + std::to_string(layout.renderHeight()) + ", more than " + std::to_string(kLargestRender) +
            " pixels a side";
    return false;
}

} // namespace

bool parseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options,
                         std::string& error)
{
    if (argc >= 2 && std::string(argv[1]) == "--join")
        return parseJoin(argc, argv, options, error);
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--join") {
            error = "--join comes first, before the output file";
            return false;
        }
        if (!takesValue(argument) && !argument.empty() && argument[0] == '-' && argument != "-") {
            error = "unknown option " + argument;
            return false;
        }
        if (!takesValue(argument)) {
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
        if (!readValue(argument, argv[++i], options, error))
            return false;
    }
    if (options.output.empty()) {
        error = "no output file given";
        return false;
    }
    return checkRenderSize(options, error);
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
