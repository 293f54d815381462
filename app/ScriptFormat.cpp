#include "app/ScriptFormat.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sys/stat.h>

namespace {

// Reads fields one at a time as the formatted reader would: white space
// skipped, then the longest prefix of the next word that the conversion
// takes. A conversion can never run past white space, so each is done on a
// copy of the word alone, and the cost stays linear in the text.
class FieldReader
{
public:
    explicit FieldReader(const std::string& text) : text(text) {}

    std::size_t position() const { return at; }

    // Skips white space; false at the end of the text.
    bool skipSpace()
    {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
            ++at;
        return at < text.size();
    }

    bool readFloat(float& value)
    {
        if (!skipSpace())
            return false;
        // A zero byte ends the stream for the string reader and fails the
        // conversion for the file reader: either way no field.
        const std::string word = text.substr(at, wordLength(true));
        int used = 0;
        if (std::sscanf(word.c_str(), "%f%n", &value, &used) != 1)
            return false;
        at += static_cast<std::size_t>(used);
        return true;
    }

    bool readWord(std::string& word, std::size_t maxLength)
    {
        if (!skipSpace())
            return false;
        // A zero byte is part of the word for the file reader, and ends the
        // name the word is then used as.
        const std::size_t length = std::min(wordLength(false), maxLength);
        word = text.substr(at, length);
        at += length;
        word.resize(std::char_traits<char>::length(word.c_str()));
        return true;
    }

private:
    std::size_t wordLength(bool stopAtZero) const
    {
        std::size_t end = at;
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])) &&
               !(stopAtZero && text[end] == '\0'))
            ++end;
        return end - at;
    }

    const std::string& text;
    std::size_t at = 0;
};

} // namespace

std::vector<FlashRecord> readFlashRecords(const std::string& text, std::vector<TextSpan>* spans)
{
    std::vector<FlashRecord> records;
    FieldReader reader(text);
    for (;;) {
        FlashRecord r{};
        reader.skipSpace();
        const std::size_t begin = reader.position();
        if (!reader.readFloat(r.start) || !reader.readFloat(r.end) || !reader.readFloat(r.up) ||
            !reader.readFloat(r.down) || !reader.readFloat(r.peek) || !reader.readFloat(r.strength))
            return records;
        records.push_back(r);
        if (spans)
            spans->push_back({begin, reader.position()});
    }
}

std::vector<CameraRecord> readCameraRecords(const std::string& text)
{
    std::vector<CameraRecord> records;
    FieldReader reader(text);
    for (;;) {
        CameraRecord r{};
        if (!reader.readFloat(r.start) || !reader.readFloat(r.end) || !reader.readWord(r.file, 1023))
            return records;
        records.push_back(std::move(r));
    }
}

bool readWholeFile(const std::string& path, std::string& text)
{
    // A folder of that name opens, but reads as nothing: it is no file.
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    text.clear();
    char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, got);
    const bool whole = !std::ferror(file);
    std::fclose(file);
    return whole;
}
