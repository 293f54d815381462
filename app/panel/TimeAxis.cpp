#include "app/panel/TimeAxis.h"

#include "app/BeatGrid.h"

#include <algorithm>
#include <cmath>

TimeAxis::TimeAxis(double soundtrackSeconds, double widthPixels)
    : length(soundtrackSeconds > 0.0 ? soundtrackSeconds : 1.0), width(widthPixels), span(length)
{
}

double TimeAxis::shortestSpan()
{
    return 2 * kBeatsPerBar * beatSeconds();
}

double TimeAxis::xOf(double seconds) const
{
    return (seconds - start) / span * width;
}

double TimeAxis::timeAt(double x) const
{
    return start + x / width * span;
}

void TimeAxis::zoom(double factor, double around)
{
    if (!(factor > 0.0))
        return;
    const double fraction = (around - start) / span;
    span = std::clamp(span / factor, std::min(shortestSpan(), length), length);
    start = around - fraction * span;
    clampStart();
}

bool TimeAxis::follow(double seconds)
{
    const double before = start;
    if (seconds < start || seconds > start + span)
        start = std::floor(seconds / span) * span;
    clampStart();
    return start != before;
}

void TimeAxis::clampStart()
{
    start = std::clamp(start, 0.0, length - span);
}

double nearestQuarterBeat(double seconds)
{
    const double quarter = beatSeconds() / 4.0;
    return std::round(seconds / quarter) * quarter;
}
