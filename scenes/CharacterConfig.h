#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace osgCal { class CoreModel; }

// Reads a character configuration file (lines of key=file, "#" comments)
// into the core model: the skeleton, the animations in file order, the
// meshes and the materials, each material with its own material thread and
// its texture map names prefixed with the directory. Every value names a
// file relative to `directory`. Prints one "    subloading " line per entry
// and one "LoadCFG error: " line per entry that fails to load. False only
// when the file cannot be opened.
bool LoadCFG(const std::string& directory, const std::string& path, osgCal::CoreModel* coreModel);

struct ConfigEntry {
    std::string key;
    std::string value;
};
// The file's entries in order, as LoadCFG takes them: read in pieces of
// at most 4095 bytes (a longer line gives several), comments and lines
// without "=" left out.
std::vector<ConfigEntry> readConfigEntries(std::FILE* file);

// One configuration line split at its first "=", with the line end taken
// off the value. False for comments and lines without "=".
bool splitConfigLine(const std::string& line, std::string& key, std::string& value);
