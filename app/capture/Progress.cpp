#include "app/capture/Progress.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kBarWidth = 30;
constexpr auto kRedrawEvery = std::chrono::milliseconds(200);

double seconds(std::chrono::steady_clock::duration span)
{
    return std::chrono::duration<double>(span).count();
}
} // namespace

std::string clockText(double seconds)
{
    const long total = std::lround(std::max(0.0, seconds));
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

Progress::Progress(const Plan& plan, std::FILE* out)
    : m_plan(plan), m_out(out), m_terminal(isatty(fileno(out)) != 0), m_start(Clock::now()),
      m_lastDrawn(m_start), m_phaseStart(m_start)
{
    if (m_plan.stepFrames == 0)
        m_phase = m_plan.preRollFrames == 0 ? Encoding : PreRolling;
}

double Progress::elapsedSeconds() const
{
    return seconds(Clock::now() - m_start);
}

double Progress::encodingSeconds() const
{
    return m_phase == Encoding ? seconds(Clock::now() - m_phaseStart) : 0.0;
}

void Progress::enter(Phase phase)
{
    if (phase == m_phase)
        return;
    const double spent = seconds(Clock::now() - m_phaseStart);
    if (m_phase == Stepping)
        m_stepSeconds = spent;
    else if (m_phase == PreRolling)
        m_preRollSeconds = spent;
    m_phase = phase;
    m_phaseStart = Clock::now();
    draw(true);
}

void Progress::stepped(int done)
{
    m_stepped = done;
    draw(done == m_plan.stepFrames);
}

void Progress::preRolled(int done)
{
    enter(PreRolling);
    m_preRolled = done;
    // A log shows the pre-roll's end as it shows the stepping's: with no
    // bar redrawn in place, it is the only line that says it was all drawn.
    draw(done == m_plan.preRollFrames);
}

void Progress::encoded(int done)
{
    enter(Encoding);
    m_encoded = done;
    draw(false);
}

double Progress::secondsLeft() const
{
    // A drawn frame, encoded or not, costs about the same: what the frames
    // drawn so far cost stands for those still to draw.
    const double phase = seconds(Clock::now() - m_phaseStart);
    const int drawn = m_preRolled + m_encoded;
    const double drawnSeconds = m_preRollSeconds + (m_phase == Stepping ? 0.0 : phase);
    const int drawLeft = m_plan.preRollFrames - m_preRolled + m_plan.encodeFrames - m_encoded;
    if (m_phase == Stepping) {
        const double perStep = m_stepped > 0 ? phase / m_stepped : 0.0;
        return m_stepped > 0 ? perStep * (m_plan.stepFrames - m_stepped) : -1.0;
    }
    return drawn > 0 ? drawnSeconds / drawn * drawLeft : -1.0;
}

std::string Progress::line() const
{
    const int total = std::max(1, m_plan.encodeFrames);
    const int filled = m_encoded * kBarWidth / total;
    const double encoding = m_phase == Encoding ? seconds(Clock::now() - m_phaseStart) : 0.0;
    const double fps = encoding > 0.0 ? m_encoded / encoding : 0.0;
    const double left = secondsLeft();
    std::string front = m_plan.label.empty() ? "" : m_plan.label + "  ";
    if (m_phase == Stepping)
        front += "stepping to the pre-roll " + std::to_string(m_stepped) + "/" + std::to_string(m_plan.stepFrames) + "  ";
    else if (m_phase == PreRolling)
        front += "pre-roll " + std::to_string(m_preRolled) + "/" + std::to_string(m_plan.preRollFrames) +
                 " (not encoded)  ";
    char text[256];
    std::snprintf(text, sizeof text, "%s[%s%s] %d/%d frames  %.1f fps  %s left", front.c_str(),
                  std::string(static_cast<size_t>(filled), '#').c_str(),
                  std::string(static_cast<size_t>(kBarWidth - filled), '.').c_str(), m_encoded,
                  m_plan.encodeFrames, fps, left >= 0.0 ? clockText(left).c_str() : "-");
    return text;
}

void Progress::draw(bool phaseEnded)
{
    const auto now = Clock::now();
    const bool last = m_phase == Encoding && m_encoded >= m_plan.encodeFrames;
    if (m_terminal) {
        if (!last && !phaseEnded && m_drawn && now - m_lastDrawn < kRedrawEvery)
            return;
        std::fprintf(m_out, "\r%s\033[K", line().c_str());
    } else {
        const int tenth = m_phase == Encoding ? m_encoded * 10 / std::max(1, m_plan.encodeFrames) : -1;
        if (!phaseEnded && (m_phase != Encoding || tenth == m_lastTenth))
            return;
        m_lastTenth = tenth;
        std::fprintf(m_out, "%s\n", line().c_str());
    }
    std::fflush(m_out);
    m_lastDrawn = now;
    m_drawn = true;
}

void Progress::finish()
{
    if (m_terminal && m_drawn)
        std::fputc('\n', m_out);
    std::fflush(m_out);
}
