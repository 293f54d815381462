#pragma once

#include "tools/contentgen/soundtrack/Timing.h"

#include <algorithm>
#include <cmath>

namespace soundtrack {

// Times in seconds. Decay and release are time constants of exponential
// curves, which sound natural and never end on a step.
struct AdsrShape {
    double attack, decay, sustain, release;
};

class Adsr
{
public:
    explicit Adsr(const AdsrShape& shape)
        : attackStep_(1.0 / std::max(1.0, shape.attack * kSampleRate)),
          decayCoef_(coefficient(shape.decay)),
          releaseCoef_(coefficient(shape.release)),
          sustain_(shape.sustain)
    {
    }

    float next()
    {
        switch (stage_) {
        case Stage::Attack:
            level_ += attackStep_;
            if (level_ >= 1.0) {
                level_ = 1.0;
                stage_ = Stage::Decay;
            }
            break;
        case Stage::Decay:
            level_ = sustain_ + (level_ - sustain_) * decayCoef_;
            break;
        case Stage::Release:
            level_ *= releaseCoef_;
            break;
        }
        return static_cast<float>(level_);
    }

    void release() { stage_ = Stage::Release; }
    // -60 dB under the note's peak: masked by the rest of the mix, and
    // stopping there keeps long pad tails from costing seconds of render.
    bool finished() const { return stage_ == Stage::Release && level_ < 1e-3; }

private:
    enum class Stage { Attack, Decay, Release };

    static double coefficient(double seconds)
    {
        return std::exp(-1.0 / std::max(1.0, seconds * kSampleRate));
    }

    double attackStep_, decayCoef_, releaseCoef_, sustain_;
    double level_ = 0.0;
    Stage stage_ = Stage::Attack;
};

// A plain exponential fall, for percussive hits that have no gate.
class Decay
{
public:
    explicit Decay(double seconds) : coef_(std::exp(-1.0 / (seconds * kSampleRate))) {}
    float next()
    {
        const double out = level_;
        level_ *= coef_;
        return static_cast<float>(out);
    }

private:
    double coef_;
    double level_ = 1.0;
};

} // namespace soundtrack
