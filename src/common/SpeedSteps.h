// Speed steps and element weights, shared by both directions: step k
// (0..31) is 25 + 5k characters per minute, a dot of 6000 / (25 + 5k) ms.
#pragma once

#include <algorithm>

namespace morvane::common {

inline constexpr int kSpeedStepCount = 32;
inline constexpr int kDefaultSpeedStep = 15;  // 100 per minute

// Characters per minute of speed step k, clamped to 0..31.
constexpr int CharactersPerMinute(int speedStep) {
    return 25 + 5 * std::clamp(speedStep, 0, kSpeedStepCount - 1);
}

// Dot length in ms of speed step k, clamped to 0..31.
constexpr double DotLengthMs(int speedStep) {
    return 6000.0 / CharactersPerMinute(speedStep);
}

// Durations of the element codes in dots (dot, dash, character space, word space).
struct KeyingWeights {
    double Dot = 1.0;
    double Dash = 3.0;
    double CharSpace = 3.0;
    double WordSpace = 7.0;
};

}  // namespace morvane::common
