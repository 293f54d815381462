#include "app/TimeSyncer.h"

#include "app/DemoClock.h"

TimeSyncer::TimeSyncer() : m_secondsPerTick(DemoClock::instance().secondsPerTick()) {}

double TimeSyncer::now()
{
    return DemoClock::instance().ticks();
}

void TimeSyncer::reset()
{
    m_startTick = kUnset;
    m_lastTick = kUnset;
}

double TimeSyncer::time()
{
    if (m_startTick == kUnset) {
        m_startTick = now();
        return 0.0;
    }
    m_lastTick = now();
    return (m_lastTick - m_startTick) * m_secondsPerTick * m_speed;
}

double TimeSyncer::delta()
{
    const double tickNow = now();
    if (m_lastTick == kUnset) {
        m_lastTick = tickNow;
        return 0.0;
    }
    const double elapsed = (tickNow - m_lastTick) * m_secondsPerTick * m_speed;
    m_lastTick = tickNow;
    return elapsed;
}
