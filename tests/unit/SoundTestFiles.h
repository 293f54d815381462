#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Small mono 44.1 kHz mp3 files made on the fly for the sound tests
// (test_sound_mp3.cpp).
namespace soundtest {
constexpr int kRate = 44100;
std::string tempPath(const std::string& name);
std::string writeMp3(const std::string& name, const std::vector<int16_t>& samples);
std::vector<int16_t> sine(double seconds, double hertz, double amplitude);
} // namespace soundtest
