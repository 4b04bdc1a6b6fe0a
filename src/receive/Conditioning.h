// Block conditioning before any spectrum: click removal and the QRM comb.
#pragma once

#include <array>
#include <span>
#include <vector>

namespace morvane::receive {

// out[i] = median of raw[i..i+4], each value truncated to an integer.
// raw holds out.size() + 4 values. Removes clicks of up to two samples.
void Median5Filter(std::span<const double> raw, std::span<double> out);

// Comb offsets o_1..o_7 (samples) of one tone period at `toneBin`
// (11025 / (bin × 11025 / 512)); 602.93 Hz outside bins 8 to 44.
std::array<int, 7> CombOffsets(int toneBin);

// block[n] = (block[n] + block[n + o_1] + … + block[n + o_7]) / 8 for
// n < size − o_7; the last o_7 samples stay as they were. Passes the tone and
// its harmonics.
void QrmCombFilter(std::span<double> block, int toneBin);

// Hamming window of `size` points scaled by 1 (the gain is applied by the
// caller): 0.54 − 0.46 cos(2π i / (size − 1)).
std::vector<double> HammingWindow(int size);

}  // namespace morvane::receive
