#pragma once

#include "app/panel/TimeAxis.h"

#include <cstddef>
#include <string>
#include <vector>

class Timeline;

// Where the author's panel puts things, in the 800 x 600 overlay layer
// (origin bottom left): the time axis at the top, the soundtrack's loudness
// under it, one lane per list of the timeline, and a line of status text
// at the bottom. Bars that overlap in time share their lane in rows.
struct PanelRect {
    float x0, y0, x1, y1;
    bool contains(float x, float y) const { return x0 <= x && x < x1 && y0 <= y && y < y1; }
};

enum PanelLane { SceneLane, EffectLane, FlashLane, BlackLane, CameraLane, PhysicsLane, kLaneCount };

struct PanelBar {
    int lane;
    std::size_t index; // in the timeline's list of that lane
    double start, end;
    std::string label;
    int row = 0;
};

class PanelLayout
{
public:
    static constexpr float kWidth = 800.0f;
    static constexpr float kTop = 236.0f;
    static constexpr float kAxisBottom = 216.0f;
    static constexpr float kLoudnessBottom = 184.0f;
    static constexpr float kLaneHeight = 27.0f;
    static constexpr float kStatusTop = 18.0f;

    static PanelRect panel() { return {0.0f, 0.0f, kWidth, kTop}; }
    static PanelRect axis() { return {0.0f, kAxisBottom, kWidth, kTop}; }
    static PanelRect loudness() { return {0.0f, kLoudnessBottom, kWidth, kAxisBottom - 2.0f}; }
    static PanelRect lane(int lane);
    static const char* laneName(int lane);

    // The bars of every window the timeline holds now.
    void build(const Timeline& timeline);
    const std::vector<PanelBar>& bars() const { return allBars; }
    int rows(int lane) const { return rowCount[lane]; }

    PanelRect barRect(const PanelBar& bar, const TimeAxis& axis) const;
    // The flash or black-fade bar under the point, if any: the only bars
    // a click takes hold of.
    const PanelBar* editableBarAt(float x, float y, const TimeAxis& axis) const;
    // Whether the timeline has the bar's window open now.
    static bool isOpen(const PanelBar& bar, const Timeline& timeline);

private:
    std::vector<PanelBar> allBars;
    int rowCount[kLaneCount] = {};
};

// Overlapping bars of one lane go to separate rows, each to the first row
// free at its start; returns how many rows that took.
int stackInRows(std::vector<PanelBar*>& bars);
