#include "app/capture/Join.h"

#include "app/capture/Encoder.h"
#include "app/capture/PartTag.h"
#include "app/capture/Subprocess.h"

#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

std::string absolute(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// "key=value" lines of ffprobe's default writer.
std::string valueOf(const std::string& lines, const std::string& key)
{
    std::istringstream in(lines);
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, key.size() + 1, key + "=") == 0)
            return line.substr(key.size() + 1);
    return "";
}

bool probePart(const std::string& path, PartFile& part, std::string& error)
{
    if (access(path.c_str(), R_OK) != 0) {
        error = "cannot read " + path;
        return false;
    }
    std::string lines;
    const std::vector<std::string> args = {
        "ffprobe", "-v", "error", "-select_streams", "v:0", "-count_packets",
        "-show_entries", "stream=nb_read_packets:format_tags=comment", "-of", "default=noprint_wrappers=1", path,
    };
    if (!runProgram(args, &lines, error, true)) {
        error = path + " is not a video ffprobe can read";
        return false;
    }
    part.path = path;
    if (!parsePartTag(valueOf(lines, "TAG:comment"), part.tag)) {
        error = path + " is not a part made by capture";
        return false;
    }
    part.framesHeld = std::atoi(valueOf(lines, "nb_read_packets").c_str());
    return true;
}

std::string quoted(const std::string& path)
{
    std::string text = "'";
    for (char c : path)
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

bool writeList(const std::string& text, std::string& listPath, std::string& error)
{
    char name[] = "/tmp/capture-join-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        if (fd >= 0)
            close(fd);
        error = "cannot write the list of parts in /tmp";
        return false;
    }
    close(fd);
    listPath = name;
    return true;
}

std::string decimal(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

} // namespace

std::string concatList(const std::vector<std::string>& absolutePaths)
{
    std::string text = "ffconcat version 1.0\n";
    for (const std::string& path : absolutePaths)
        text += "file " + quoted(path) + "\n";
    return text;
}

bool joinParts(const std::string& output, const std::vector<std::string>& paths, const std::string& soundtrack,
               std::string& error)
{
    std::vector<PartFile> parts(paths.size());
    for (size_t i = 0; i < paths.size(); ++i)
        if (!probePart(paths[i], parts[i], error))
            return false;
    if (!orderParts(parts, error))
        return false;
    std::vector<std::string> ordered;
    for (const PartFile& part : parts)
        ordered.push_back(absolute(part.path));
    std::string list;
    if (!writeList(concatList(ordered), list, error))
        return false;
    const PartTag tag = joinedTag(parts);
    const std::vector<std::string> args = {
        "ffmpeg", "-hide_banner", "-nostdin", "-nostats", "-loglevel", "error", "-y",
        "-f", "concat", "-safe", "0", "-i", list,
        // Cut as a capture of the joined range cuts it: the same sound.
        "-ss", decimal(tag.from + static_cast<double>(tag.first) / tag.fps),
        "-t", decimal(static_cast<double>(tag.count) / tag.fps), "-i", soundtrack,
        "-map", "0:v", "-map", "1:a", "-c:v", "copy", "-c:a", kAudioCodec, "-b:a", kAudioBitrate, "-shortest",
        "-movflags", "+faststart", "-metadata", "comment=" + formatPartTag(tag), output,
    };
    const bool joined = runProgram(args, nullptr, error);
    unlink(list.c_str());
    if (!joined)
        error = "ffmpeg could not join the parts into " + output;
    return joined;
}
