#include "app/DemoClock.h"

DemoClock& DemoClock::instance()
{
    static DemoClock clock;
    return clock;
}

DemoClock::DemoClock() : m_secondsPerTick(m_timer.getSecondsPerTick()) {}

double DemoClock::realTicks() const
{
    return static_cast<double>(m_timer.tick());
}

double DemoClock::ticks() const
{
    if (isManual()) {
        // Whole steps over the rate: step n reads n / rate to the last bit,
        // not a sum of rounded fractions that drifts over a long capture.
        const double stepped = static_cast<double>(m_steps) / m_stepsPerSecond;
        return stepped / m_secondsPerTick;
    }
    const double now = m_paused ? m_pausedAt : realTicks();
    return now - m_pausedTotal;
}

void DemoClock::setPaused(bool paused)
{
    if (paused == m_paused || isManual())
        return;
    if (paused)
        m_pausedAt = realTicks();
    else
        m_pausedTotal += realTicks() - m_pausedAt;
    m_paused = paused;
}

void DemoClock::useManualSteps(int stepsPerSecond)
{
    m_paused = false;
    m_steps = 0;
    m_stepsPerSecond = stepsPerSecond;
}

void DemoClock::step()
{
    ++m_steps;
}

void DemoClock::useRealTime()
{
    const double reading = ticks();
    m_stepsPerSecond = 0;
    m_paused = false;
    m_pausedTotal = realTicks() - reading;
}
