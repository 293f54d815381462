#pragma once

#include "app/ScriptFormat.h"

#include <string>
#include <vector>

// A flash or black-fade script as the author's editor holds it: its text,
// and the records the loader reads from it, in the loader's order (the
// timeline's windows, one for one). Edits change records; text() writes the
// file back with every unchanged record and every other byte kept as it
// was, each changed or added record on a line of its own with the same
// fields in the same order.
class ScriptDocument
{
public:
    ScriptDocument() = default;
    explicit ScriptDocument(std::string text);

    const std::vector<FlashRecord>& records() const { return current; }

    void replace(std::size_t index, const FlashRecord& record);
    void remove(std::size_t index);
    // Appended: the loader reads it last, as the timeline adds it last.
    void add(const FlashRecord& record);

    bool isEdited() const { return edited; }
    std::string text() const;

private:
    struct Entry {
        FlashRecord record;
        TextSpan span;      // where it stood in the text read
        bool fromText;      // false for an added record
        bool changed;
    };

    std::string original;
    std::vector<Entry> entries;        // the records in order, removed ones gone
    std::vector<TextSpan> removedSpans;
    std::vector<FlashRecord> current;
    bool edited = false;

    void refresh();
};

// A number as the loader reads it back to the same single-precision value,
// in as few digits as that takes, without an exponent where one is not
// needed.
std::string formatScriptNumber(float value);
std::string formatFlashRecord(const FlashRecord& record);
