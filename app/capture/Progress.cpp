#include "app/capture/Progress.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kBarWidth = 30;
constexpr auto kRedrawEvery = std::chrono::milliseconds(200);
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

Progress::Progress(int totalFrames, std::FILE* out)
    : m_total(std::max(1, totalFrames)), m_out(out), m_terminal(isatty(fileno(out)) != 0),
      m_start(Clock::now()), m_lastDrawn(m_start)
{
}

double Progress::elapsedSeconds() const
{
    return std::chrono::duration<double>(Clock::now() - m_start).count();
}

std::string Progress::line(int framesDone) const
{
    const int filled = framesDone * kBarWidth / m_total;
    const double seconds = elapsedSeconds();
    const double fps = seconds > 0.0 ? framesDone / seconds : 0.0;
    const std::string left = fps > 0.0 ? clockText((m_total - framesDone) / fps) : "-";
    char text[160];
    std::snprintf(text, sizeof text, "[%s%s] %d/%d frames  %.1f fps  %s left",
                  std::string(static_cast<size_t>(filled), '#').c_str(),
                  std::string(static_cast<size_t>(kBarWidth - filled), '.').c_str(), framesDone,
                  m_total, fps, left.c_str());
    return text;
}

void Progress::update(int framesDone)
{
    const auto now = Clock::now();
    if (m_terminal) {
        if (framesDone < m_total && m_drawn && now - m_lastDrawn < kRedrawEvery)
            return;
        std::fprintf(m_out, "\r%s\033[K", line(framesDone).c_str());
    } else {
        const int tenth = framesDone * 10 / m_total;
        if (tenth == m_lastTenth)
            return;
        m_lastTenth = tenth;
        std::fprintf(m_out, "%s\n", line(framesDone).c_str());
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
