#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The timing scripts' records as the loaders read them: a stream of fields
// separated by white space, read with the patterns "%f %f %f %f %f %f"
// (flashes and black fades) and "%f %f %1023s" (cameras), record after
// record until the first that does not match in full. Line ends mean
// nothing to the reader. The loaders, the author's editor and the fuzz
// harnesses all read through here, so they agree on every byte.

struct FlashRecord {
    float start, end, up, down, peek, strength;
};

struct CameraRecord {
    float start, end;
    std::string file; // at most 1023 characters
};

// Where a record lies in the text: [begin, end), from its first field's
// first character to its last field's last.
struct TextSpan {
    std::size_t begin, end;
};

std::vector<FlashRecord> readFlashRecords(const std::string& text, std::vector<TextSpan>* spans = nullptr);
std::vector<CameraRecord> readCameraRecords(const std::string& text);

// The whole file as text; false when it cannot be opened.
bool readWholeFile(const std::string& path, std::string& text);
