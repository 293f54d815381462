// Writes every data file the show reads into the show folder given as the
// only argument. Each file is rewritten only when its bytes would change.
#include "tools/contentgen/Registry.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <iostream>

namespace contentgen {
std::vector<AssetWriter>& assetWriters()
{
    static std::vector<AssetWriter> writers;
    return writers;
}
} // namespace contentgen

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: contentgen <show folder> [asset name ...]\n";
        return 2;
    }
    const std::string showDir = argv[1];
    auto& writers = contentgen::assetWriters();
    // Registration order depends on link order; sort so runs are repeatable.
    std::sort(writers.begin(), writers.end(),
              [](const auto& a, const auto& b) { return std::strcmp(a.name, b.name) < 0; });
    try {
        for (const auto& writer : writers) {
            bool wanted = argc == 2;
            for (int i = 2; i < argc; ++i)
                wanted = wanted || writer.name == std::string(argv[i]);
            if (!wanted)
                continue;
            std::cout << "contentgen: " << writer.name << std::endl;
            writer.write(showDir);
        }
    } catch (const std::exception& e) {
        std::cerr << "contentgen: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}
