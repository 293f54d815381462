// The show's text font. Liberation Sans shares Arial's metrics, so text laid
// out for Arial keeps its size and spacing; the show looks it up as arial.ttf.
#include "tools/contentgen/Output.h"
#include "tools/contentgen/Registry.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

CONTENT_ASSET(font)
{
    const std::string source = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
    std::ifstream in(source, std::ios::binary);
    if (!in)
        throw std::runtime_error("missing " + source + " (package fonts-liberation)");
    const std::vector<unsigned char> bytes(std::istreambuf_iterator<char>(in), {});
    contentgen::writeFileIfChanged(showDir, "fonts/arial.ttf", bytes);
}
