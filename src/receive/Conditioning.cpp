#include "receive/Conditioning.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "receive/ReceiveOptions.h"

namespace morvane::receive {

void Median5Filter(std::span<const double> raw, std::span<double> out) {
    for (std::size_t i = 0; i < out.size(); ++i) {
        std::array<int, 5> v{};
        for (std::size_t k = 0; k < 5; ++k)
            v[k] = static_cast<int>(raw[i + k]);
        std::nth_element(v.begin(), v.begin() + 2, v.end());
        out[i] = v[2];
    }
}

std::array<int, 7> CombOffsets(int toneBin) {
    const double toneHz = (toneBin >= kMinToneBin && toneBin <= kMaxToneBin)
                              ? toneBin * 11025.0 / 512.0
                              : 602.9296875;
    const double period = 11025.0 / toneHz;
    std::array<int, 7> offsets{};
    for (int k = 1; k <= 7; ++k)
        offsets[static_cast<std::size_t>(k - 1)] = static_cast<int>(k * period);
    return offsets;
}

void QrmCombFilter(std::span<double> block, int toneBin) {
    const std::array<int, 7> o = CombOffsets(toneBin);
    const int count = static_cast<int>(block.size()) - o[6];
    // Each output reads only later samples, so filtering in place in
    // increasing order sees unfiltered inputs.
    for (int n = 0; n < count; ++n) {
        double sum = block[static_cast<std::size_t>(n)];
        for (int off : o)
            sum += block[static_cast<std::size_t>(n + off)];
        block[static_cast<std::size_t>(n)] = sum * 0.125;
    }
}

std::vector<double> HammingWindow(int size) {
    std::vector<double> w(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i)
        w[static_cast<std::size_t>(i)] =
            0.54 - 0.46 * std::cos(2.0 * std::numbers::pi * i / (size - 1));
    return w;
}

}  // namespace morvane::receive
