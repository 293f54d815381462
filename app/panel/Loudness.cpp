#include "app/panel/Loudness.h"

#include "platform/sound/Mp3Source.h"
#include "platform/sound/fsound.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {
constexpr int kRate = 44100;
constexpr int kFramesPerStep = static_cast<int>(kRate * Loudness::kStepSeconds);
constexpr double kFloorDb = -36.0;
} // namespace

float levelOfRms(double rms)
{
    if (!(rms > 0.0))
        return 0.0f;
    const double db = 20.0 * std::log10(std::min(rms, 32767.0) / 32767.0);
    return static_cast<float>(std::clamp(1.0 - db / kFloorDb, 0.0, 1.0));
}

Loudness::Loudness(std::string mp3Path) : path(std::move(mp3Path)), worker(&Loudness::decode, this) {}

Loudness::~Loudness()
{
    stop();
}

void Loudness::stop()
{
    stopping = true;
    if (worker.joinable())
        worker.join();
}

void Loudness::decode()
{
    sound::Mp3Source source;
    if (source.open(path.c_str(), 0, 0, kRate) != FSOUND_ERR_NONE) {
        ready.store(true, std::memory_order_release);
        return;
    }
    std::vector<int16_t> pcm(static_cast<std::size_t>(kFramesPerStep) * 2);
    bool finished = false;
    while (!finished && !stopping) {
        int got = 0;
        while (got < kFramesPerStep && !finished) {
            const int read = source.read(pcm.data() + 2 * got, kFramesPerStep - got, finished);
            if (read <= 0)
                break;
            got += read;
        }
        if (got == 0)
            break;
        double sum = 0.0;
        for (int i = 0; i < 2 * got; ++i)
            sum += static_cast<double>(pcm[i]) * pcm[i];
        steps.push_back(levelOfRms(std::sqrt(sum / (2 * got))));
    }
    ready.store(true, std::memory_order_release);
}

float Loudness::peakBetween(double from, double to) const
{
    if (!isReady() || steps.empty())
        return 0.0f;
    const auto index = [&](double t) {
        return static_cast<std::size_t>(std::clamp(t / kStepSeconds, 0.0, static_cast<double>(steps.size())));
    };
    const std::size_t a = index(from), b = std::max(index(to), a + 1);
    if (a >= steps.size())
        return 0.0f;
    return *std::max_element(steps.begin() + static_cast<std::ptrdiff_t>(a),
                             steps.begin() + static_cast<std::ptrdiff_t>(std::min(b, steps.size())));
}
