#pragma once

#include <osg/Timer>

// A restartable clock with a speed factor. The application object, the music
// object and every screen effect each own one; the demo time is the
// application clock plus g_timeOffset. All of them read their ticks from the
// process-wide DemoClock, so pausing or stepping it holds or steps them all.
class TimeSyncer : public osg::Timer
{
public:
    TimeSyncer();

    // Forget the start: the next time() reading starts the clock again at 0.
    void reset();

    // Seconds since the first reading after construction or reset, scaled by
    // the speed. The first reading itself returns 0 and starts the clock.
    double time();

    // Seconds since the most recent reading of either kind, scaled by the
    // speed. The first reading after a reset returns 0 without starting the
    // clock.
    double delta();

    // Scales the whole span since the start, so time already elapsed is
    // rescaled too.
    void setSpeed(double speed) { m_speed = speed; }

private:
    static constexpr double kUnset = -1.0;

    static double now();

    double m_startTick = kUnset;
    double m_lastTick = kUnset;
    double m_speed = 1.0;
    double m_secondsPerTick;
};
