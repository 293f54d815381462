// The camera, flash and black scripts, parsed as a reload parses them,
// without building the windows. The input is cut into the three texts at
// its first two 0xFF bytes.
#include "FuzzSupport.h"

#include "app/ScriptFormat.h"

#include <algorithm>
#include <cctype>

namespace {

std::string part(const std::uint8_t* from, const std::uint8_t* to)
{
    return std::string(reinterpret_cast<const char*>(from), static_cast<std::size_t>(to - from));
}

// Spans in order, inside the text, each a run of non-blank characters at
// both ends.
void checkSpans(const std::string& text, const std::vector<TextSpan>& spans, std::size_t records)
{
    if (spans.size() != records)
        std::abort();
    std::size_t last = 0;
    for (const TextSpan& span : spans) {
        if (span.begin < last || span.end <= span.begin || span.end > text.size())
            std::abort();
        if (std::isspace(static_cast<unsigned char>(text[span.begin])) ||
            std::isspace(static_cast<unsigned char>(text[span.end - 1])))
            std::abort();
        last = span.end;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::enterScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::uint8_t* end = data + size;
    const std::uint8_t* cut1 = std::find(data, end, std::uint8_t(0xFF));
    const std::uint8_t* cut2 = cut1 == end ? end : std::find(cut1 + 1, end, std::uint8_t(0xFF));
    const std::uint8_t* flash = cut1 == end ? end : cut1 + 1;
    const std::uint8_t* black = cut2 == end ? end : cut2 + 1;

    for (const CameraRecord& camera : readCameraRecords(part(data, cut1)))
        // A word that starts with a zero byte names nothing: the loader says
        // so when it finds no such file.
        if (camera.file.size() > 1023 || camera.file.find('\0') != std::string::npos)
            std::abort();
    for (const std::string& text : {part(flash, cut2), part(black, end)}) {
        std::vector<TextSpan> spans;
        checkSpans(text, spans, readFlashRecords(text, &spans).size());
    }
    return 0;
}
