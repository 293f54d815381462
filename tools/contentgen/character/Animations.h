#pragma once

#include <string>
#include <vector>

class CalCoreAnimation;

namespace contentgen::character {

// The soundtrack's beat: 132 beats a minute.
constexpr double kBeatSeconds = 60.0 / 132.0;

struct NamedAnimation {
    std::string name;
    CalCoreAnimation* animation;
};

// Five looping animations in configuration order: idle, wave, walk, cheer
// and, fifth, the dance the show plays.
std::vector<NamedAnimation> buildAnimations();

// The dance's beat position at animation time t: whole numbers are the
// moments the dancer lands a step. The character's window opens at 87 s,
// 0.6 of a beat before the bar that starts on beat 192 (87.27 s), and the
// animation starts from 0 when the window opens.
double danceBeat(double t);

} // namespace contentgen::character
