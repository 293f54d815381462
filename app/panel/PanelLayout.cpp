#include "app/panel/PanelLayout.h"

#include "app/Timeline.h"
#include "camera/PathCamera.h"
#include "effects/CFX.h"

#include <algorithm>

namespace {

// At most this many rows to a lane; the rest share the last.
constexpr int kMaxRows = 6;

std::string nameOf(const osg::Node* node, const char* otherwise)
{
    return node && !node->getName().empty() ? node->getName() : otherwise;
}

} // namespace

PanelRect PanelLayout::lane(int lane)
{
    const float top = kLoudnessBottom - 2.0f - lane * kLaneHeight;
    return {0.0f, top - kLaneHeight + 1.0f, kWidth, top};
}

const char* PanelLayout::laneName(int lane)
{
    static const char* const names[kLaneCount] = {"scenes", "effects", "flashes", "blacks", "cameras", "physics"};
    return names[lane];
}

int stackInRows(std::vector<PanelBar*>& bars)
{
    std::stable_sort(bars.begin(), bars.end(), [](const PanelBar* a, const PanelBar* b) { return a->start < b->start; });
    std::vector<double> rowEnds;
    for (PanelBar* bar : bars) {
        auto free = std::find_if(rowEnds.begin(), rowEnds.end(), [&](double end) { return end <= bar->start; });
        if (free == rowEnds.end() && static_cast<int>(rowEnds.size()) < kMaxRows) {
            rowEnds.push_back(bar->end);
            bar->row = static_cast<int>(rowEnds.size()) - 1;
        } else {
            if (free == rowEnds.end())
                free = rowEnds.end() - 1;
            *free = std::max(*free, bar->end);
            bar->row = static_cast<int>(free - rowEnds.begin());
        }
    }
    return std::max<int>(1, static_cast<int>(rowEnds.size()));
}

void PanelLayout::build(const Timeline& timeline)
{
    allBars.clear();
    for (std::size_t i = 0; i < timeline.nodeWindows().size(); ++i) {
        const auto& w = timeline.nodeWindows()[i];
        allBars.push_back({SceneLane, i, w.start, w.end, nameOf(w.node, "scene part")});
    }
    for (std::size_t i = 0; i < timeline.effectWindows().size(); ++i) {
        const auto& w = timeline.effectWindows()[i];
        allBars.push_back({EffectLane, i, w.start, w.end, nameOf(w.node, "effect")});
    }
    for (std::size_t i = 0; i < timeline.flashWindows().size(); ++i)
        allBars.push_back({FlashLane, i, timeline.flashWindows()[i].start, timeline.flashWindows()[i].end, "flash"});
    for (std::size_t i = 0; i < timeline.blackWindows().size(); ++i)
        allBars.push_back({BlackLane, i, timeline.blackWindows()[i].start, timeline.blackWindows()[i].end, "black"});
    for (std::size_t i = 0; i < timeline.cameraWindows().size(); ++i) {
        const auto& w = timeline.cameraWindows()[i];
        const std::string file = w.camera ? w.camera->getPoseFileName() : "";
        allBars.push_back({CameraLane, i, w.start, w.end, file.empty() ? "camera" : file});
    }
    for (std::size_t i = 0; i < timeline.physicsWindows().size(); ++i) {
        const auto& w = timeline.physicsWindows()[i];
        const char* kind = w.kind == Timeline::StepPhysics      ? "box rain"
                           : w.kind == Timeline::RestartBoxRain ? "restart"
                                                                : "physics";
        allBars.push_back({PhysicsLane, i, w.start, w.end, kind});
    }
    for (int lane = 0; lane < kLaneCount; ++lane) {
        std::vector<PanelBar*> inLane;
        for (PanelBar& bar : allBars)
            if (bar.lane == lane)
                inLane.push_back(&bar);
        rowCount[lane] = stackInRows(inLane);
    }
}

PanelRect PanelLayout::barRect(const PanelBar& bar, const TimeAxis& axis) const
{
    const PanelRect l = lane(bar.lane);
    const float rowHeight = (l.y1 - l.y0) / rowCount[bar.lane];
    const float top = l.y1 - bar.row * rowHeight;
    const double x0 = std::max(axis.xOf(bar.start), -1.0);
    // A window too short to see is still a sliver the mouse can take.
    const double x1 = std::min(std::max(axis.xOf(bar.end), x0 + 3.0), kWidth + 1.0);
    return {static_cast<float>(x0), top - rowHeight + 1.0f, static_cast<float>(x1), top};
}

const PanelBar* PanelLayout::editableBarAt(float x, float y, const TimeAxis& axis) const
{
    for (const PanelBar& bar : allBars)
        if ((bar.lane == FlashLane || bar.lane == BlackLane) && barRect(bar, axis).contains(x, y))
            return &bar;
    return nullptr;
}

bool PanelLayout::isOpen(const PanelBar& bar, const Timeline& timeline)
{
    const auto flag = [&](const auto& list, auto member) {
        return bar.index < list.size() && list[bar.index].*member;
    };
    switch (bar.lane) {
    case SceneLane: return flag(timeline.nodeWindows(), &Timeline::NodeWindow::attached);
    case EffectLane: return flag(timeline.effectWindows(), &Timeline::EffectWindow::shown);
    case FlashLane: return flag(timeline.flashWindows(), &Timeline::EffectWindow::shown);
    case BlackLane: return flag(timeline.blackWindows(), &Timeline::EffectWindow::shown);
    case CameraLane: return flag(timeline.cameraWindows(), &Timeline::CameraWindow::active);
    case PhysicsLane: return flag(timeline.physicsWindows(), &Timeline::PhysicsWindow::active);
    default: return false;
    }
}
