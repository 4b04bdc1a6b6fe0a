#include "receive/LevelMath.h"

#include <algorithm>
#include <cmath>

namespace morvane::receive {

namespace {

// Clamps before converting so −inf (log of zero) and NaN never reach the
// integer conversion.
int TruncateDb(double db) {
    if (!(db > kFloorDb))
        return kFloorDb;
    if (db > 0.0)
        return 0;
    return static_cast<int>(db);
}

}  // namespace

int WindowLevelDb(double toneMagnitude) {
    return TruncateDb(20.0 * std::log10(toneMagnitude / 256.0 / 32768.0));
}

int DisplayLevelDb(double spectrumMagnitude) {
    return TruncateDb(20.0 * std::log10(spectrumMagnitude / 512.0 / 32768.0) * 1.2);
}

int OrderStatisticLevel(const std::array<int, 9>& history, int threshold, LevelMode mode) {
    std::array<int, 9> s = history;
    std::sort(s.begin(), s.end());
    if (mode == LevelMode::Signal)
        return threshold < s[4] ? s[7] : s[1];
    return s[4] > threshold ? s[4] : s[1];
}

int AutoThreshold(int levelMin, int levelMax) {
    const int t = static_cast<int>((1.2 * levelMin + levelMax) * 0.5);
    return std::clamp(t, -75, -45);
}

}  // namespace morvane::receive
