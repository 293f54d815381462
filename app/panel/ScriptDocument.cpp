#include "app/panel/ScriptDocument.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string formatScriptNumber(float value)
{
    char text[64];
    if (std::isfinite(value)) {
        for (int digits = 0; digits <= 9; ++digits) {
            std::snprintf(text, sizeof text, "%.*f", digits, static_cast<double>(value));
            if (std::strtof(text, nullptr) == value)
                return text;
        }
    }
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

std::string formatFlashRecord(const FlashRecord& r)
{
    std::string line;
    for (float field : {r.start, r.end, r.up, r.down, r.peek, r.strength}) {
        if (!line.empty())
            line += ' ';
        line += formatScriptNumber(field);
    }
    return line;
}

ScriptDocument::ScriptDocument(std::string text) : original(std::move(text))
{
    std::vector<TextSpan> spans;
    const std::vector<FlashRecord> read = readFlashRecords(original, &spans);
    for (std::size_t i = 0; i < read.size(); ++i)
        entries.push_back({read[i], spans[i], true, false});
    refresh();
}

void ScriptDocument::refresh()
{
    current.clear();
    for (const Entry& entry : entries)
        current.push_back(entry.record);
}

void ScriptDocument::replace(std::size_t index, const FlashRecord& record)
{
    if (index >= entries.size())
        return;
    entries[index].record = record;
    entries[index].changed = true;
    edited = true;
    refresh();
}

void ScriptDocument::remove(std::size_t index)
{
    if (index >= entries.size())
        return;
    if (entries[index].fromText)
        removedSpans.push_back(entries[index].span);
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
    edited = true;
    refresh();
}

void ScriptDocument::add(const FlashRecord& record)
{
    entries.push_back({record, {0, 0}, false, true});
    edited = true;
    refresh();
}

namespace {

struct Piece {
    TextSpan span;
    std::string replacement; // what stands there now; empty for a removal
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// A record taken out leaves no empty line behind: when nothing but blanks
// share its line, the line goes with it.
TextSpan widenToLine(const std::string& text, TextSpan span)
{
    std::size_t begin = span.begin, end = span.end;
    while (begin > 0 && isBlank(text[begin - 1]))
        --begin;
    while (end < text.size() && isBlank(text[end]))
        ++end;
    const bool lineStart = begin == 0 || text[begin - 1] == '\n';
    const bool lineEnd = end == text.size() || text[end] == '\n';
    if (!lineStart || !lineEnd)
        return span;
    return {begin, end < text.size() ? end + 1 : end};
}

} // namespace

std::string ScriptDocument::text() const
{
    if (!edited)
        return original;
    std::vector<Piece> pieces;
    bool anyKept = false;
    std::size_t lastKeptEnd = 0;
    for (const Entry& entry : entries) {
        if (!entry.fromText)
            continue;
        anyKept = true;
        lastKeptEnd = std::max(lastKeptEnd, entry.span.end);
        if (entry.changed)
            pieces.push_back({entry.span, formatFlashRecord(entry.record)});
    }
    for (const TextSpan& span : removedSpans)
        pieces.push_back({widenToLine(original, span), ""});
    // New records follow the last record kept, each on a line of its own,
    // or open the file when none is kept: either way before whatever the
    // loader never reached.
    std::string added;
    for (const Entry& entry : entries)
        if (!entry.fromText)
            added += formatFlashRecord(entry.record) + "\n";
    if (!added.empty()) {
        if (anyKept)
            pieces.push_back({{lastKeptEnd, lastKeptEnd}, "\n" + added.substr(0, added.size() - 1)});
        else
            pieces.push_back({{0, 0}, added});
    }
    std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) {
        return a.span.begin != b.span.begin ? a.span.begin < b.span.begin : a.span.end < b.span.end;
    });
    std::string out;
    // Records may follow each other with no blank between ("0.0.95" is two
    // fields): where a piece now meets text it did not meet before, a line
    // end keeps the two from reading as one number.
    const auto keepApart = [&out](char next) {
        if (!out.empty() && !std::isspace(static_cast<unsigned char>(out.back())) &&
            !std::isspace(static_cast<unsigned char>(next)))
            out += '\n';
    };
    std::size_t at = 0;
    for (const Piece& piece : pieces) {
        if (piece.span.begin < at)
            continue; // cannot happen: the pieces never overlap
        out.append(original, at, piece.span.begin - at);
        if (!piece.replacement.empty()) {
            keepApart(piece.replacement.front());
            out += piece.replacement;
        }
        at = piece.span.end;
        if (at < original.size())
            keepApart(original[at]);
    }
    out.append(original, at, std::string::npos);
    return out;
}
