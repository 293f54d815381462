// The author's editor rewriting a flash or black script: the input is the
// file's text, then (after its first 0xFF byte) a list of edits. Loading,
// editing, saving and loading again must give exactly the edited windows,
// and a save without edits must give back the very bytes read.
#include "FuzzSupport.h"

#include "app/panel/ScriptDocument.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

bool sameField(float a, float b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

bool sameRecords(const std::vector<FlashRecord>& a, const std::vector<FlashRecord>& b)
{
    const auto same = [](const FlashRecord& x, const FlashRecord& y) {
        return sameField(x.start, y.start) && sameField(x.end, y.end) && sameField(x.up, y.up) &&
               sameField(x.down, y.down) && sameField(x.peek, y.peek) && sameField(x.strength, y.strength);
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), same);
}

// Each edit: a kind byte, an index byte and six floats' bits.
constexpr std::size_t kEditSize = 2 + 6 * sizeof(float);

FlashRecord recordFrom(const std::uint8_t* bits)
{
    float f[6];
    std::memcpy(f, bits, sizeof f);
    return {f[0], f[1], f[2], f[3], f[4], f[5]};
}

void applyEdit(ScriptDocument& document, const std::uint8_t* edit)
{
    const std::size_t count = document.records().size();
    const FlashRecord record = recordFrom(edit + 2);
    switch (edit[0] % 3) {
    case 0:
        if (count)
            document.replace(edit[1] % count, record);
        break;
    case 1:
        if (count)
            document.remove(edit[1] % count);
        break;
    default:
        document.add(record);
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
    const std::uint8_t* cut = std::find(data, end, std::uint8_t(0xFF));
    const std::string text(reinterpret_cast<const char*>(data), static_cast<std::size_t>(cut - data));
    ScriptDocument document(text);
    if (!sameRecords(document.records(), readFlashRecords(text)) || document.text() != text)
        std::abort();
    for (const std::uint8_t* edit = cut == end ? end : cut + 1; end - edit >= std::ptrdiff_t(kEditSize);
         edit += kEditSize)
        applyEdit(document, edit);
    if (!sameRecords(readFlashRecords(document.text()), document.records()))
        std::abort();
    return 0;
}
