#pragma once

#include <string>

// Writing the author's files without ever losing one: the new text goes to
// a temporary file beside the old one and is renamed over it only once it
// is whole on disk, so a save that fails half way leaves the old file as it
// was; and what the author wrote is copied before anything takes its place.

struct WriteResult {
    bool written;
    std::string message; // why not, when not
};

// Whether the file exists and nobody may write it (its write bits are all
// off), which holds even for a user the system would let write anyway.
bool isMarkedReadOnly(const std::string& path);

// Writes `text` to `path` as above; a read-only file is left alone.
WriteResult writeFileSafely(const std::string& path, const std::string& text);

// Copies the file's bytes, before something writes over it, to the first
// unused name of `path` + ".bak", ".bak.2", ... . `backup` is that name, or
// empty when there was no file to keep.
struct CopyResult {
    bool kept;
    std::string backup;
    std::string message; // why not, when not
};
CopyResult keepCopy(const std::string& path);

// `path` itself when no file of that name exists, else `path` with ".2",
// ".3" and so on, the first that does not exist.
std::string unusedName(const std::string& path);
