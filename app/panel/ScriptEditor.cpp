#include "app/panel/ScriptEditor.h"

#include "app/SafeWrite.h"
#include "app/Timeline.h"

#include <iostream>

namespace {

ScriptDocument readDocument(const char* path)
{
    std::string text;
    readWholeFile(path, text); // a missing script is an empty one, created on saving
    return ScriptDocument(text);
}

const char* kindName(int kind)
{
    return kind == Timeline::WhiteFlash ? "flash" : "black";
}

} // namespace

ScriptEditor::ScriptEditor(Timeline& timeline) : timeline(timeline)
{
    static_assert(kWhite == Timeline::WhiteFlash, "the editor's white is the timeline's");
    flashes = readDocument(path(Timeline::WhiteFlash));
    blacks = readDocument(path(Timeline::BlackFade));
}

const char* ScriptEditor::path(int kind)
{
    return kind == Timeline::WhiteFlash ? "scripts/flash.txt" : "scripts/black.txt";
}

void ScriptEditor::reloaded()
{
    writeRecovery();
    flashes = readDocument(path(Timeline::WhiteFlash));
    blacks = readDocument(path(Timeline::BlackFade));
    if (selected && selected->index >= documentOf(selected->kind).records().size())
        selected.reset();
}

void ScriptEditor::select(int kind, std::size_t index)
{
    const ScriptDocument& doc = documentOf(kind);
    if (index >= doc.records().size())
        return;
    selected = Selection{kind, index};
    const FlashRecord& r = doc.records()[index];
    if (kind == Timeline::WhiteFlash)
        shape = r;
    std::cout << "Selected " << kindName(kind) << ", Start: " << r.start << " End: " << r.end << std::endl;
}

void ScriptEditor::deselect()
{
    selected.reset();
}

const FlashRecord* ScriptEditor::selectedRecord() const
{
    return selected ? &document(selected->kind).records()[selected->index] : nullptr;
}

void ScriptEditor::apply(int kind, std::size_t index, const FlashRecord& record)
{
    documentOf(kind).replace(index, record);
    // As the loader would hold it: single precision, widened.
    timeline.moveFlash(kind, index, record.start, record.end);
}

void ScriptEditor::moveSelectionTo(double start)
{
    if (!selected)
        return;
    FlashRecord r = *selectedRecord();
    const double length = static_cast<double>(r.end) - r.start;
    const float newStart = static_cast<float>(start);
    if (newStart == r.start)
        return;
    r.start = newStart;
    r.end = static_cast<float>(start + length);
    apply(selected->kind, selected->index, r);
}

void ScriptEditor::moveSelectionBy(double seconds)
{
    if (const FlashRecord* r = selectedRecord())
        moveSelectionTo(static_cast<double>(r->start) + seconds);
}

void ScriptEditor::removeSelection()
{
    if (!selected)
        return;
    documentOf(selected->kind).remove(selected->index);
    timeline.removeFlash(selected->kind, selected->index);
    std::cout << "Removed " << kindName(selected->kind) << std::endl;
    selected.reset();
}

void ScriptEditor::addFlash(double start)
{
    FlashRecord r = shape;
    const double length = static_cast<double>(shape.end) - shape.start;
    r.start = static_cast<float>(start);
    r.end = static_cast<float>(start + length);
    flashes.add(r);
    timeline.addFlash(r.start, r.end, r.up, r.down, r.peek, r.strength, Timeline::WhiteFlash);
    std::cout << "Added flash, Start: " << r.start << " End: " << r.end << std::endl;
    select(Timeline::WhiteFlash, flashes.records().size() - 1);
}

bool ScriptEditor::isEdited() const
{
    return flashes.isEdited() || blacks.isEdited();
}

std::string ScriptEditor::editedFiles() const
{
    std::string names;
    for (int kind : {Timeline::WhiteFlash, Timeline::BlackFade})
        if (document(kind).isEdited())
            names += (names.empty() ? "" : ", ") + std::string(path(kind));
    return names;
}

void ScriptEditor::save()
{
    for (int kind : {Timeline::WhiteFlash, Timeline::BlackFade}) {
        ScriptDocument& doc = documentOf(kind);
        if (!doc.isEdited())
            continue;
        const std::string file = path(kind);
        if (isMarkedReadOnly(file)) {
            std::cout << "Cannot save " << file << ": it is read-only; the edits stay on the panel" << std::endl;
            continue;
        }
        // What is on disk now and was not written by the editor is the
        // author's own: it is copied first. The editor's own saves of this
        // run are simply replaced, so saving often piles up no copies.
        std::string onDisk;
        const bool exists = readWholeFile(file, onDisk);
        std::string& own = lastSaved[kind == kWhite ? 0 : 1];
        if (exists && onDisk != own) {
            const CopyResult copy = keepCopy(file);
            if (!copy.kept) {
                std::cout << "Cannot save " << file << ": no copy of it can be kept (" << copy.message
                          << "); the edits stay on the panel" << std::endl;
                continue;
            }
            std::cout << "Kept the old " << file << " as " << copy.backup << std::endl;
        }
        const WriteResult result = writeFileSafely(file, doc.text());
        if (!result.written) {
            std::cout << "Cannot save " << file << ": " << result.message << "; the edits stay on the panel"
                      << std::endl;
            continue;
        }
        std::cout << "Saved " << file << ": " << doc.records().size()
                  << (kind == Timeline::WhiteFlash ? " flashes" : " black fades") << std::endl;
        own = doc.text();
        doc = ScriptDocument(own);
    }
}

void ScriptEditor::writeRecovery()
{
    for (int kind : {Timeline::WhiteFlash, Timeline::BlackFade}) {
        ScriptDocument& doc = documentOf(kind);
        if (!doc.isEdited())
            continue;
        const std::string recovery = unusedName(std::string(path(kind)) + ".recovered");
        const WriteResult result = writeFileSafely(recovery, doc.text());
        if (result.written)
            std::cout << "Unsaved edits of " << path(kind) << " written to " << recovery << std::endl;
        else
            std::cout << "Cannot write the unsaved edits of " << path(kind) << " to " << recovery << ": "
                      << result.message << std::endl;
        doc = ScriptDocument(doc.text()); // written once, not again at the next chance
    }
}
