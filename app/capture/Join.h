#pragma once

#include <string>
#include <vector>

// Joins chunks of one capture into one video: their H.264 frames copied as
// they are, one after another (ffmpeg's concat demuxer), so no frame is
// encoded again; the sound cut once from the soundtrack for the joined
// range, as one capture of that range cuts it, so nothing of it changes at
// the seams. Runs where the soundtrack is, like the capture. False, with a
// one-line reason, for parts that are not chunks of one capture or do not
// follow each other.
bool joinParts(const std::string& output, const std::vector<std::string>& parts, const std::string& soundtrack,
               std::string& error);

// The concat demuxer's list of these files.
std::string concatList(const std::vector<std::string>& absolutePaths);
