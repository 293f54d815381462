// Where a frame's time goes: renders the show off screen at the given demo
// times and, for each part of the scene graph on screen then, how much
// cheaper the frame gets with that part hidden.
//   frame_cost_bench SECONDS... [--depth N]
// Run from the show's run folder. Each figure is the median of a run of
// frames drawn from the same start time and finished with glFinish, so it is
// the renderer's whole cost, not only the CPU's share.
#include "app/DemoClock.h"
#include "app/GFX.h"
#include "app/Globals.h"
#include "app/Show.h"
#include "app/Timeline.h"
#include "platform/sound/fsound.h"

#include <GL/gl.h>
#include <sys/resource.h>
#include <osg/Switch>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kWarmUpFrames = 4;
constexpr int kMeasuredFrames = 25;

struct Shown {
    osg::Node* node;
    int depth;
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double g_lastCpuMsPerFrame = 0.0;

double medianFrameMs(GFX& gfx, double at)
{
    gfx.setTime(at);
    gfx.readDemoTime();
    std::vector<double> times;
    double cpuStart = 0.0;
    for (int i = 0; i < kWarmUpFrames + kMeasuredFrames; ++i) {
        if (i == kWarmUpFrames)
            cpuStart = cpuSeconds();
        g_timeline->update(g_time);
        const auto start = std::chrono::steady_clock::now();
        gfx.frame();
        glFinish();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        if (i >= kWarmUpFrames)
            times.push_back(took.count());
        DemoClock::instance().step();
        gfx.readDemoTime();
    }
    g_lastCpuMsPerFrame = (cpuSeconds() - cpuStart) * 1000.0 / kMeasuredFrames;
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

bool childShown(const osg::Group& group, unsigned i)
{
    const auto* sw = dynamic_cast<const osg::Switch*>(&group);
    return group.getChild(i)->getNodeMask() != 0 && (!sw || sw->getValue(i));
}

void collectShown(osg::Node* node, int depth, int maxDepth, std::vector<Shown>& out)
{
    out.push_back({node, depth});
    osg::Group* group = node->asGroup();
    if (!group || depth >= maxDepth)
        return;
    for (unsigned i = 0; i < group->getNumChildren(); ++i)
        if (childShown(*group, i))
            collectShown(group->getChild(i), depth + 1, maxDepth, out);
}

std::string describe(const osg::Node& node)
{
    std::string text = node.className();
    if (!node.getName().empty())
        text += " \"" + node.getName() + "\"";
    if (const osg::Group* group = node.asGroup())
        text += " (" + std::to_string(group->getNumChildren()) + " children)";
    return text;
}

void reportAt(GFX& gfx, double at, int maxDepth)
{
    // The timeline attaches what is on screen at that time first.
    const double whole = medianFrameMs(gfx, at);
    std::vector<Shown> shown;
    collectShown(g_rootGroup.get(), 0, maxDepth, shown);
    std::printf("\n%.2f s: whole frame %.2f ms (processor time %.2f ms)\n", at, whole, g_lastCpuMsPerFrame);
    for (const Shown& part : shown) {
        if (part.depth == 0)
            continue;
        // The machine's pace drifts: each part is judged against a whole
        // frame measured right beside it.
        const double beside = medianFrameMs(gfx, at);
        const unsigned mask = part.node->getNodeMask();
        part.node->setNodeMask(0);
        const double without = medianFrameMs(gfx, at);
        part.node->setNodeMask(mask);
        std::printf("  %6.2f ms  %*s%s\n", beside - without, 2 * (part.depth - 1), "", describe(*part.node).c_str());
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<double> times;
    int maxDepth = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--depth") == 0 && i + 1 < argc)
            maxDepth = std::atoi(argv[++i]);
        else
            times.push_back(std::atof(argv[i]));
    }
    if (times.empty()) {
        std::fprintf(stderr, "usage: frame_cost_bench SECONDS... [--depth N]\n");
        return 2;
    }
    DemoClock::instance().useManualSteps(60);
    FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND_NONREALTIME);
    GFX gfx;
    gfx.initOffscreen();
    DemoClock::instance().step();
    const OpeningParts opening = buildShow(20050611);
    gfx.playMusic();
    for (double at : times)
        reportAt(gfx, at, maxDepth);
    std::exit(0);
}
