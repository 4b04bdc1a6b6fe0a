// Tone frequency labels for the 512-point bins 8 to 44 (bin × 11025 / 512 Hz,
// as the operator reads them).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "receive/ReceiveOptions.h"

namespace morvane::receive {

inline constexpr std::array<std::string_view, kMaxToneBin - kMinToneBin + 1> kToneLabels = {
    "172", "194", "215", "237", "258", "280", "302", "323", "345", "366", "388", "409", "431",
    "452", "474", "495", "517", "538", "560", "581", "603", "625", "646", "668", "689", "711",
    "732", "753", "775", "797", "818", "840", "861", "883", "904", "926", "948"};

// "603Hz" for bin 28; empty outside 8 to 44.
inline std::string ToneLabelHz(int toneBin) {
    if (toneBin < kMinToneBin || toneBin > kMaxToneBin)
        return {};
    return std::string(kToneLabels[static_cast<std::size_t>(toneBin - kMinToneBin)]) + "Hz";
}

}  // namespace morvane::receive
