#include "decode/SpeedEstimate.h"

#include <algorithm>
#include <numeric>
#include <span>
#include <vector>

namespace morvane::decode {

namespace {

// Middle of the values below / at-or-above `split`, in ascending order (for an
// even count the upper of the two middle values); nothing with fewer than two.
struct ShortAndLong {
    std::optional<int> Short;
    std::optional<int> Long;
};

ShortAndLong SplitMiddles(std::span<const int> sorted, int split) {
    std::vector<int> below;
    std::vector<int> above;
    for (int value : sorted)
        (value < split ? below : above).push_back(value);
    ShortAndLong middles;
    if (below.size() >= 2)
        middles.Short = below[below.size() / 2];
    if (above.size() >= 2)
        middles.Long = above[above.size() / 2];
    return middles;
}

}  // namespace

int ThresholdForSpeedIndex(int rxSpeedIndex) {
    int index = std::clamp(rxSpeedIndex, 0, kSpeedSteps - 1);
    return static_cast<int>(600000.0 / (RxSpeedTable[index] * 50 * 2.87));
}

std::string SpeedLabelText(int charsPerMinute) {
    return std::to_string(charsPerMinute) + "/Min";
}

std::optional<SpeedEstimate> EstimateSpeed(LengthRing marks, LengthRing gaps) {
    std::sort(marks.begin(), marks.end());
    int meanMark = (1 + std::accumulate(marks.begin(), marks.end(), 0)) / kRingSize;
    ShortAndLong elements = SplitMiddles(marks, meanMark);
    if (!elements.Short || !elements.Long)
        return std::nullopt;
    int dot = *elements.Short;
    int dash = *elements.Long;
    if (2 * dot > dash || 6 * dot < dash)
        return std::nullopt;

    // The largest gap is usually a word space or a pause; leave it out.
    std::sort(gaps.begin(), gaps.end());
    std::span<const int> kept(gaps.data(), kRingSize - 1);
    int meanGap = std::accumulate(kept.begin(), kept.end(), 0) / (kRingSize - 1);
    ShortAndLong spaces = SplitMiddles(kept, meanGap);
    if (!spaces.Short || !spaces.Long)
        return std::nullopt;
    int elementGap = *spaces.Short;
    int charGap = *spaces.Long;
    if (charGap > 5 * elementGap || charGap <= 2 * elementGap)
        return std::nullopt;

    // PARIS plus its word space: 10 dots, 4 dashes, 10 element gaps and 6
    // character-gap equivalents; 2.897 ms per tick, 5 characters per word.
    double ticksPerWord = 6.0 * charGap + 10.0 * elementGap + 10.0 * dot + 4.0 * dash;
    double x = 300000.0 / (ticksPerWord * 2.897) + 0.5;
    if (x <= 20.0 || x >= 181.0)
        return std::nullopt;

    SpeedEstimate estimate;
    estimate.DashThreshold = std::min(2 * dot, (dash + dot) / 2);
    estimate.CharGapThreshold = std::min(2 * elementGap, (charGap + elementGap) / 2);
    estimate.CharsPerMinute = static_cast<int>(x);
    estimate.RxSpeedIndex = kSpeedSteps - 1;
    for (int i = 0; i < kSpeedSteps; ++i) {
        if (estimate.CharsPerMinute - 2 <= RxSpeedTable[i]) {
            estimate.RxSpeedIndex = i;
            break;
        }
    }
    return estimate;
}

}  // namespace morvane::decode
