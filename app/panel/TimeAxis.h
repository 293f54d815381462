#pragma once

// The panel's time axis: which stretch of the show the window's width
// shows. At first the whole soundtrack, 0 s at the left edge and its end at
// the right; zoomed in around a time, it keeps that time where it stands on
// screen, down to two bars across.
class TimeAxis
{
public:
    TimeAxis(double soundtrackSeconds, double widthPixels);

    double xOf(double seconds) const;
    double timeAt(double x) const;
    double from() const { return start; }
    double to() const { return start + span; }
    double secondsPerPixel() const { return span / width; }

    // factor > 1 zooms in. The span stays between two bars and the whole
    // soundtrack, and the axis within the soundtrack.
    void zoom(double factor, double around);
    // Moves the axis by whole spans until `seconds` is on it, so a play head
    // running off the right edge turns the page.
    bool follow(double seconds);

    static double shortestSpan();

private:
    void clampStart();

    double length;
    double width;
    double start = 0.0;
    double span;
};

// The quarter beat of the show's grid nearest to `seconds`; for a length,
// the whole number of quarter beats nearest to it.
double nearestQuarterBeat(double seconds);
