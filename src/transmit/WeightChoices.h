// The choices of the four weight combos and of the PTT lead time.
#pragma once

#include <array>

namespace morvane::transmit {

inline constexpr std::array<double, 6> kDotWeightChoices{0.9, 1.0, 1.1, 1.2, 1.3, 1.5};
inline constexpr std::array<double, 9> kDashWeightChoices{2.8, 3.0, 3.2, 3.4, 3.6,
                                                          3.8, 4.0, 4.2, 4.5};
inline constexpr std::array<double, 6> kCharSpaceWeightChoices{2.6, 2.8, 3.0, 3.5, 4.0, 5.0};
inline constexpr std::array<double, 6> kWordSpaceWeightChoices{4.0, 5.0, 6.0, 7.0, 8.0, 9.0};
inline constexpr std::array<int, 6> kPttLeadChoicesMs{0, 25, 50, 100, 200, 500};

}  // namespace morvane::transmit
