#pragma once

#include <chrono>
#include <cstdio>
#include <string>

// The capture's progress on the console: a bar, frames done of the total,
// frames per second and the time left. On a terminal it redraws one line a
// few times a second; into a file or pipe it writes a line per tenth.
class Progress
{
public:
    Progress(int totalFrames, std::FILE* out);

    void update(int framesDone);
    // Ends the bar's line.
    void finish();

    double elapsedSeconds() const;

private:
    std::string line(int framesDone) const;

    using Clock = std::chrono::steady_clock;
    const int m_total;
    std::FILE* m_out;
    const bool m_terminal;
    const Clock::time_point m_start;
    Clock::time_point m_lastDrawn;
    int m_lastTenth = -1;
    bool m_drawn = false;
};

// "1:05" or "1:02:03".
std::string clockText(double seconds);
