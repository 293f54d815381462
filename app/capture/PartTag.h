#pragma once

#include <string>
#include <vector>

// What a chunk's video holds, written into its comment tag, so a join can
// check that its parts follow each other wherever they were made:
// "velmo part from=72 to=76 fps=60 size=1920x1080 frames=120+120 of 240".
// Frames are counted from the range's first frame; the times are written to
// the last bit, since the join cuts the sound from them.
struct PartTag
{
    double from = 0.0;
    double to = 0.0;
    int fps = 0;
    int width = 0;
    int height = 0;
    int first = 0;
    int count = 0;
    int total = 0;
};

std::string formatPartTag(const PartTag& tag);
// False when the text is no part's tag.
bool parsePartTag(const std::string& text, PartTag& tag);

struct PartFile
{
    std::string path;
    PartTag tag;
    int framesHeld = 0; // counted in the file
};

// Puts the parts in the order of their frames. False, with a one-line
// reason, unless they are of one capture and each begins where the one
// before it ends, and each holds all its frames.
bool orderParts(std::vector<PartFile>& parts, std::string& error);

// The tag of the parts joined, which may be joined on again.
PartTag joinedTag(const std::vector<PartFile>& ordered);
