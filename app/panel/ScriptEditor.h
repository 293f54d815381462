#pragma once

#include "app/panel/ScriptDocument.h"

#include <cstddef>
#include <optional>
#include <string>

class Timeline;

// The author's edits of the flash and black-fade scripts. Each edit goes
// into the script's document and at once into the timeline's windows, so
// the show plays it before it is saved; saving writes the documents back.
class ScriptEditor
{
public:
    struct Selection {
        int kind; // Timeline::WhiteFlash or Timeline::BlackFade
        std::size_t index;
    };

    explicit ScriptEditor(Timeline& timeline);

    // The timeline read the scripts again: so do the documents. Edits not
    // saved by then are written to a recovery file first.
    void reloaded();

    void select(int kind, std::size_t index);
    void deselect();
    const std::optional<Selection>& selection() const { return selected; }
    const FlashRecord* selectedRecord() const;

    // Moves the selected window to start at `start` (its length kept).
    void moveSelectionTo(double start);
    void moveSelectionBy(double seconds);
    void removeSelection();
    // A white flash starting at `start`, shaped as the last one selected.
    void addFlash(double start);

    bool isEdited() const;
    // "scripts/flash.txt" and the like, of the documents with edits.
    std::string editedFiles() const;

    // Saves every edited script: whole or not at all, the old one kept as a
    // backup. Says on the console what was saved, or why not.
    void save();
    // Writes edits not saved beside each script, never over it.
    void writeRecovery();

    const ScriptDocument& document(int kind) const { return kind == kWhite ? flashes : blacks; }
    static const char* path(int kind);

private:
    static constexpr int kWhite = 6;
    ScriptDocument& documentOf(int kind) { return kind == kWhite ? flashes : blacks; }
    void apply(int kind, std::size_t index, const FlashRecord& record);

    Timeline& timeline;
    ScriptDocument flashes, blacks;
    std::optional<Selection> selected;
    // What this run's saves wrote, flashes then blacks.
    std::string lastSaved[2];
    // The shape a new flash takes: the last one selected's.
    FlashRecord shape{0.0f, 0.65f, 0.05f, 0.5f, 0.0f, 1.0f};
};
