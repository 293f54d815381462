// Times a reload of the flash script, as saving it while the show runs
// does: 250 flashes (one on every beat of the show), 1,000 and 20,000. Runs
// in a scratch folder of its own with a white picture; prints milliseconds,
// the best of five reloads each.
#include "app/Globals.h"
#include "app/Timeline.h"
#include "camera/PathCamera.h"

#include <osg/Image>
#include <osgDB/WriteFile>

#include <unistd.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

void writeFlashes(int count)
{
    std::ofstream out("scripts/flash.txt");
    for (int i = 0; i < count; ++i) {
        const double start = 0.5 + i * 5.0 / 11.0 * 0.1;
        out << start << " " << start + 0.4 << " 0.05 0.3 0 1\n";
    }
}

double reloadMilliseconds(Timeline& timeline)
{
    std::streambuf* console = std::cout.rdbuf();
    std::ostringstream sink;
    std::cout.rdbuf(sink.rdbuf());
    const auto start = std::chrono::steady_clock::now();
    timeline.reload(Timeline::ReloadFlashes);
    const auto end = std::chrono::steady_clock::now();
    std::cout.rdbuf(console);
    return std::chrono::duration<double, std::milli>(end - start).count();
}

} // namespace

int main()
{
    char folder[] = "/tmp/reload-bench-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0)
        return 1;
    mkdir("scripts", 0755);
    mkdir("demodata", 0755);
    osg::ref_ptr<osg::Image> white = new osg::Image;
    white->allocateImage(64, 64, 1, GL_RGB, GL_UNSIGNED_BYTE);
    std::fill(white->data(), white->data() + white->getTotalSizeInBytes(), 255);
    osgDB::writeImageFile(*white, "demodata/white.jpg");
    g_camera = new PathCamera;
    g_sceneSwitch = new osg::Switch;
    Timeline timeline;
    for (int count : {250, 1000, 20000}) {
        writeFlashes(count);
        double best = 1e9;
        for (int run = 0; run < 5; ++run)
            best = std::min(best, reloadMilliseconds(timeline));
        std::printf("reload of %5d flashes: %8.1f ms\n", count, best);
    }
    std::string clean = std::string("rm -rf ") + folder;
    return std::system(clean.c_str()) == 0 ? 0 : 1;
}
