#include "app/capture/StageTimes.h"

#include <cstdio>

void StageTimes::stop()
{
    const Clock::time_point now = Clock::now();
    if (m_running >= 0)
        m_seconds[m_running] += std::chrono::duration<double>(now - m_since).count();
    m_running = -1;
    m_since = now;
}

void StageTimes::start(Stage stage)
{
    stop();
    m_running = stage;
}

void StageTimes::endFrame()
{
    stop();
    ++m_frames;
}

std::string StageTimes::summary() const
{
    static const char* const names[kStages] = {"render", "read-back", "frame making", "waiting for the encoder"};
    std::string text;
    for (int stage = 0; stage < kStages; ++stage) {
        char part[64];
        std::snprintf(part, sizeof part, "%s%s %.2f ms", stage ? ", " : "", names[stage],
                      m_frames ? 1000.0 * m_seconds[stage] / m_frames : 0.0);
        text += part;
    }
    return text;
}
