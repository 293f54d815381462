#include "app/capture/PartTag.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr const char* kFormat = "velmo part from=%la to=%la fps=%d size=%dx%d frames=%d+%d of %d";
} // namespace

std::string formatPartTag(const PartTag& tag)
{
    char text[256];
    std::snprintf(text, sizeof text, kFormat, tag.from, tag.to, tag.fps, tag.width, tag.height, tag.first, tag.count,
                  tag.total);
    return text;
}

bool parsePartTag(const std::string& text, PartTag& tag)
{
    PartTag read;
    int end = 0;
    const std::string format = std::string(kFormat) + "%n";
    if (std::sscanf(text.c_str(), format.c_str(), &read.from, &read.to, &read.fps, &read.width, &read.height,
                    &read.first, &read.count, &read.total, &end) != 8 ||
        static_cast<size_t>(end) != text.size())
        return false;
    if (read.fps < 1 || read.count < 1 || read.first < 0 || read.first + read.count > read.total)
        return false;
    tag = read;
    return true;
}

namespace {

bool sameCapture(const PartTag& a, const PartTag& b)
{
    return a.from == b.from && a.to == b.to && a.fps == b.fps && a.width == b.width && a.height == b.height &&
           a.total == b.total;
}

std::string frames(const PartTag& tag)
{
    return std::to_string(tag.first) + " to " + std::to_string(tag.first + tag.count - 1);
}

} // namespace

bool orderParts(std::vector<PartFile>& parts, std::string& error)
{
    for (const PartFile& part : parts) {
        if (part.framesHeld != part.tag.count) {
            error = part.path + " holds " + std::to_string(part.framesHeld) + " of its " +
                    std::to_string(part.tag.count) + " frames: its capture did not finish";
            return false;
        }
        if (!sameCapture(part.tag, parts.front().tag)) {
            error = part.path + " is from another capture than " + parts.front().path +
                    " (range, frame rate or size differ)";
            return false;
        }
    }
    std::stable_sort(parts.begin(), parts.end(),
                     [](const PartFile& a, const PartFile& b) { return a.tag.first < b.tag.first; });
    for (size_t i = 1; i < parts.size(); ++i) {
        const PartTag& before = parts[i - 1].tag;
        const PartTag& next = parts[i].tag;
        if (next.first != before.first + before.count) {
            error = "the parts do not follow each other: " + parts[i - 1].path + " holds frames " + frames(before) +
                    ", " + parts[i].path + " frames " + frames(next);
            return false;
        }
    }
    return true;
}

PartTag joinedTag(const std::vector<PartFile>& ordered)
{
    PartTag tag = ordered.front().tag;
    tag.count = ordered.back().tag.first + ordered.back().tag.count - tag.first;
    return tag;
}
