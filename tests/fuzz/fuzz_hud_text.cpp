// The text display's loader, its scrolling window and its cut of lines to
// the screen: any bytes, any scroll step and line count.
#include "FuzzSupport.h"

#include "effects/HUD.h"

#include <algorithm>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::enterScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first bytes choose the scroll step and the line count.
    long long step = 0;
    int maxLines = 0;
    if (size >= sizeof step + sizeof maxLines) {
        std::memcpy(&step, data, sizeof step);
        std::memcpy(&maxLines, data + sizeof step, sizeof maxLines);
        data += sizeof step + sizeof maxLines;
        size -= sizeof step + sizeof maxLines;
    }
    const std::string content(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = Demo::Text::splitHudLines(content);
    const std::string shown = Demo::Text::visibleLines(lines, step, maxLines);
    if (lines.empty() && !shown.empty())
        std::abort();
    const Demo::Text::LineWindow window =
        Demo::Text::visibleWindow(static_cast<long long>(lines.size()), step, maxLines);
    if (window.first < 0 || window.first > window.end || window.end > static_cast<long long>(lines.size()))
        std::abort();
    // Advances of a made-up font, some bytes advancing nothing.
    Demo::Text::GlyphAdvances advances{};
    for (int byte = 1; byte < 256; ++byte)
        advances[byte] = static_cast<float>(byte % 7);
    for (const std::string& line : lines) {
        const std::string cut = Demo::Text::cutToWidth(line, advances, 100.0f);
        std::string dropped = line;
        dropped.erase(std::remove(dropped.begin(), dropped.end(), '\0'), dropped.end());
        if (dropped.compare(0, cut.size(), cut) != 0)
            std::abort();
    }
    return 0;
}
