#pragma once

#include <osg/Timer>

#include <cstdint>

// The one clock of the process. Every TimeSyncer (the application clock, the
// music's and each effect's) and the viewer's frame stamp read their ticks
// here, so holding or stepping this clock holds or steps everything that
// moves on screen together.
//
// Normally it follows the real timer, less the time it spent paused. The
// capture switches it to manual stepping: it then stands still until the
// next step and reads exactly steps / rate seconds, whatever the rendering
// costs, so every frame sees the same time on every run.
//
// Main thread only.
class DemoClock
{
public:
    static DemoClock& instance();

    // Ticks in the real timer's unit in either mode, so clocks made before a
    // switch keep their scale.
    double ticks() const;
    double secondsPerTick() const { return m_secondsPerTick; }
    double seconds() const { return ticks() * m_secondsPerTick; }

    // Real mode: pausing freezes the reading, resuming goes on from there.
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }

    // From now on the clock reads 0 and moves only by step(), exactly
    // 1 / stepsPerSecond each. Small readings keep the sums exact, so switch
    // before any clock has been read.
    void useManualSteps(int stepsPerSecond);
    void step();
    bool isManual() const { return m_stepsPerSecond > 0; }

    // Back to the real timer, running on from the current reading; for tests.
    void useRealTime();

private:
    DemoClock();
    double realTicks() const;

    osg::Timer m_timer;
    double m_secondsPerTick;
    bool m_paused = false;
    double m_pausedAt = 0.0;   // real ticks when the pause began
    double m_pausedTotal = 0.0; // real ticks spent in finished pauses
    int m_stepsPerSecond = 0;   // 0: real time
    int64_t m_steps = 0;
};
