// Receive speed: the 32 speed steps of the receive slider, the thresholds a
// step implies, and the estimate of the sending speed from the last 12 marks
// and gaps. Lengths are in ticks (32 samples at 11025 Hz, about 2.90 ms);
// speeds in characters per minute.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace morvane::decode {

inline constexpr int kSpeedSteps = 32;
inline constexpr int kDefaultRxSpeedIndex = 15;  // 100 characters per minute

// Step k is 25 + 5k characters per minute.
inline constexpr std::array<int, kSpeedSteps> RxSpeedTable = [] {
    std::array<int, kSpeedSteps> table{};
    for (int k = 0; k < kSpeedSteps; ++k)
        table[k] = 25 + 5 * k;
    return table;
}();

inline constexpr int kRingSize = 12;
using LengthRing = std::array<int, kRingSize>;

// Dash and character-gap threshold in ticks for a receive slider position
// (0..31): trunc(600000 / (speed x 50 x 2.87)); 41 for the default step.
int ThresholdForSpeedIndex(int rxSpeedIndex);

// The speed label: "100/Min".
std::string SpeedLabelText(int charsPerMinute);

struct SpeedEstimate {
    int DashThreshold = 0;     // ticks
    int CharGapThreshold = 0;  // ticks
    int CharsPerMinute = 0;    // 21..180
    int RxSpeedIndex = 0;      // slider position 0..31
};

// Estimate from 12 mark lengths and the 12 gaps that preceded them; nothing
// when the lengths do not look like Morse at 21 to 180 characters per minute.
std::optional<SpeedEstimate> EstimateSpeed(LengthRing marks, LengthRing gaps);

}  // namespace morvane::decode
