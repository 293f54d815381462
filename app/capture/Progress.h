#pragma once

#include <chrono>
#include <cstdio>
#include <string>

// The capture's progress on the console: a bar, frames encoded of those the
// capture will encode, frames per second and the time left. A chunk first
// steps through the frames before its pre-roll without drawing them, then
// draws its pre-roll without encoding it; both are shown as such in front
// of the bar, which counts encoded frames only, and the time left counts
// them in at what they have cost so far. On a terminal it redraws one line
// a few times a second; into a file or pipe it writes a line per tenth of
// the frames encoded, and one as each earlier phase ends.
class Progress
{
public:
    struct Plan {
        int stepFrames = 0;    // stepped through, not drawn
        int preRollFrames = 0; // drawn, not encoded
        int encodeFrames = 0;
        std::string label;     // "chunk 2/4", or empty
    };
    Progress(const Plan& plan, std::FILE* out);

    void stepped(int done);
    void preRolled(int done);
    void encoded(int done);
    // Ends the bar's line.
    void finish();

    double elapsedSeconds() const;
    // Seconds since the first encoded frame began.
    double encodingSeconds() const;

    std::string line() const;

private:
    using Clock = std::chrono::steady_clock;
    enum Phase { Stepping, PreRolling, Encoding };
    void enter(Phase phase);
    void draw(bool phaseEnded);
    double secondsLeft() const;

    const Plan m_plan;
    std::FILE* m_out;
    const bool m_terminal;
    const Clock::time_point m_start;
    Clock::time_point m_lastDrawn;
    Clock::time_point m_phaseStart;
    Phase m_phase = Stepping;
    double m_stepSeconds = 0.0;
    double m_preRollSeconds = 0.0;
    int m_stepped = 0;
    int m_preRolled = 0;
    int m_encoded = 0;
    int m_lastTenth = -1;
    bool m_drawn = false;
};

// "1:05" or "1:02:03".
std::string clockText(double seconds);
