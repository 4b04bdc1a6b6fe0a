// Level arithmetic of the receive chain: magnitudes to dB, the 9-point order
// statistic that turns raw window levels into SignalLevel, and the automatic
// threshold.
#pragma once

#include <array>

#include "receive/ReceiveTypes.h"

namespace morvane::receive {

inline constexpr int kFloorDb = -90;

// trunc(20 log10(A / 32768)) clamped to −90…0, where A is the magnitude of
// the tone bin of the 256-point window spectrum divided by 256. Silence
// (A = 0) gives −90.
int WindowLevelDb(double toneMagnitude);

// The tone display's scale: trunc(1.2 × 20 log10(m / 512 / 32768)) clamped to
// −90…0, for a 512-point block spectrum magnitude m.
int DisplayLevelDb(double spectrumMagnitude);

// SignalLevel from the last 9 raw levels (any order), pushed away from the
// threshold so single-window spikes and drop-outs are ignored.
int OrderStatisticLevel(const std::array<int, 9>& history, int threshold, LevelMode mode);

// trunc((1.2 × levelMin + levelMax) / 2) limited to −75…−45 (dB).
int AutoThreshold(int levelMin, int levelMax);

}  // namespace morvane::receive
