// Input gain by position of the input level slider (1 to 11); entry 0 is
// never selected. Position 6, the slider's start, gives 2.0.
#pragma once

#include <array>

namespace morvane::receive {

inline constexpr std::array<double, 12> GainTable = {0.01, 0.05, 0.1,  0.3,  0.6,  1.0,
                                                     2.0,  5.0,  12.0, 30.0, 60.0, 120.0};
inline constexpr int kMinInputVolume = 1;
inline constexpr int kMaxInputVolume = 11;

}  // namespace morvane::receive
