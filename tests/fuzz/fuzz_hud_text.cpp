// The text display's loader and its scrolling window: any bytes, any scroll
// step and line count.
#include "FuzzSupport.h"

#include "effects/HUD.h"

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
    return 0;
}
