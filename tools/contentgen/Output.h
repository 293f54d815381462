#pragma once

#include <osg/Image>
#include <string>
#include <vector>

namespace contentgen {

// Writes bytes to showDir/relPath, creating folders, but leaves the file
// untouched (and its time stamp with it) when it already holds those bytes.
void writeFileIfChanged(const std::string& showDir, const std::string& relPath,
                        const std::vector<unsigned char>& bytes);
void writeTextIfChanged(const std::string& showDir, const std::string& relPath,
                        const std::string& text);

// Encodes an image with the reader/writer plug-in for the path's extension
// (.jpg or .png) and writes it as above.
void writeImageIfChanged(const std::string& showDir, const std::string& relPath,
                         const osg::Image& image);

} // namespace contentgen
