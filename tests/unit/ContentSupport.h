#pragma once

// The generator's output as the show reads it, made once per test program:
// every asset group but the soundtrack (slow to encode, with tests of its
// own), twice side by side, so that the runs can be compared byte for byte.

#include <gtest/gtest.h>
#include <osg/Image>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

namespace content {

namespace fs = std::filesystem;

constexpr const char* kGroups =
    "angularFrame blobroom character flats font logos model nybak slime snork splash title torus tunnel";

struct Runs {
    fs::path root = fs::temp_directory_path() / ("content_test_" + std::to_string(getpid()));
    bool made = false;

    Runs()
    {
        const auto run = [&](const char* name) {
            return std::string(CONTENTGEN_EXE) + " " + (root / name).string() + " " + kGroups + " > /dev/null";
        };
        // Both at once: the generator uses one core.
        const std::string both = run("a") + " & first=$!; " + run("b") + " && wait $first";
        made = std::system(both.c_str()) == 0;
    }
    ~Runs() { fs::remove_all(root); }
};

// The folder of the first run (or of the second), made on first use.
inline fs::path run(bool second = false)
{
    static const Runs runs;
    EXPECT_TRUE(runs.made) << "the generator failed";
    return runs.root / (second ? "b" : "a");
}

inline std::string file(const std::string& rel) { return (run() / rel).string(); }

inline std::string bytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline int levelAt(const osg::Image& image, int x, int y)
{
    const unsigned char* p = image.data(x, y);
    return p[0] + p[1] + p[2];
}

// Mean colour difference between neighbouring lines (rows, or columns) inside
// the image, and between the last line and the first, which GL_REPEAT puts
// side by side.
inline std::pair<double, double> lineSteps(const osg::Image& img, bool rows)
{
    const int lines = rows ? img.t() : img.s();
    const int length = rows ? img.s() : img.t();
    auto step = [&](int a, int b) {
        double sum = 0;
        for (int k = 0; k < length; ++k) {
            const unsigned char* p = rows ? img.data(k, a) : img.data(a, k);
            const unsigned char* q = rows ? img.data(k, b) : img.data(b, k);
            sum += std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]);
        }
        return sum / length;
    };
    double inner = 0;
    for (int i = 0; i + 1 < lines; ++i)
        inner += step(i, i + 1);
    return {inner / (lines - 1), step(lines - 1, 0)};
}

} // namespace content
