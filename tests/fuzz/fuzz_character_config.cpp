// The character configuration reader: any bytes, read from memory into the
// entries the loader takes, without loading what they name (the Cal3D
// loaders are the library's). Every entry must be one a line can give.
#include "FuzzSupport.h"

#include "scenes/CharacterConfig.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::enterScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = fuzz::openInput(data, size);
    const std::vector<ConfigEntry> entries = readConfigEntries(file);
    std::fclose(file);
    if (entries.size() > size)
        std::abort();
    for (const ConfigEntry& entry : entries) {
        const bool comment = !entry.key.empty() && entry.key[0] == '#';
        // The "=" and the piece's end are not in either part.
        const bool longerThanAPiece = entry.key.size() + entry.value.size() >= 4095;
        if (comment || entry.key.find('=') != std::string::npos || longerThanAPiece)
            std::abort();
    }
    return 0;
}
