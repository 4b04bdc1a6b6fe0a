#include "receive/weak/SenderRhythm.h"

#include <algorithm>
#include <cmath>

namespace morvane::receive::weak {

namespace {

// About the last dozen runs of a kind set its mean; the first few of a kind
// move it faster, as word spaces are rare.
constexpr double kRate = 0.08;
constexpr double kFirstRate = 0.5;
constexpr double kLongestSpaceDots = 12.0;
// Spreads start wide enough for a hand sender and stay between even keying
// seen through noise and a careless fist. They follow more slowly than the
// means, after a few runs of the kind.
constexpr std::array<double, 2> kStartMarkSpreads{0.3, 0.2};
constexpr std::array<double, 3> kStartSpaceSpreads{0.35, 0.25, 0.25};
constexpr double kSpreadRate = 0.05;
constexpr int kSpreadAfter = 4;
constexpr double kMinSpread = 0.1;
constexpr double kMaxSpread = 0.5;

struct Range {
    double Low, High;  // dots
};

// Where each mean may wander: hand senders' dashes of 2.5 to 4 dots,
// weighted keying, spaces from cramped to generous.
constexpr std::array<Range, 2> kMarkRanges{{{0.6, 1.6}, {2.2, 4.5}}};
constexpr std::array<Range, 3> kSpaceRanges{{{0.5, 1.5}, {2.2, 4.8}, {4.6, 10.0}}};
// Borders stay where a confused estimate cannot take them far from the
// usual ones.
constexpr Range kDashBorder{1.6, 2.8};
constexpr Range kCharacterBorder{1.6, 2.8};
constexpr Range kWordBorder{4.0, 6.5};

template <std::size_t N>
void Learn(std::array<double, N>& means, std::array<double, N>& spreads, std::array<int, N>& counts,
           const std::array<Range, N>& ranges, double dots) {
    const double x = std::log(dots);
    std::size_t nearest = 0;
    while (nearest + 1 < N && x > 0.5 * (means[nearest] + means[nearest + 1]))
        ++nearest;
    double& mean = means[nearest];
    // Normal: standard deviation = 1.2533 * mean absolute deviation.
    if (counts[nearest] >= kSpreadAfter) {
        double& spread = spreads[nearest];
        spread += kSpreadRate * (1.2533 * std::abs(x - mean) - spread);
        spread = std::clamp(spread, kMinSpread, kMaxSpread);
    }
    mean += std::max(kRate, kFirstRate / ++counts[nearest]) * (x - mean);
    mean = std::clamp(mean, std::log(ranges[nearest].Low), std::log(ranges[nearest].High));
}

double Border(double low, double high, const Range& range) {
    return std::clamp(std::exp(0.5 * (low + high)), range.Low, range.High);
}

}  // namespace

void SenderRhythm::Reset() {
    marks_ = {0.0, std::log(3.0)};
    spaces_ = {0.0, std::log(3.0), std::log(7.0)};
    markSpreads_ = kStartMarkSpreads;
    spaceSpreads_ = kStartSpaceSpreads;
    markCounts_ = {};
    spaceCounts_ = {};
    Borders();
}

void SenderRhythm::AddMark(double dots) {
    if (dots <= 0.0)
        return;
    Learn(marks_, markSpreads_, markCounts_, kMarkRanges, dots);
    Borders();
}

void SenderRhythm::AddSpace(double dots) {
    if (dots <= 0.0 || dots > kLongestSpaceDots)
        return;
    Learn(spaces_, spaceSpreads_, spaceCounts_, kSpaceRanges, dots);
    Borders();
}

void SenderRhythm::Borders() {
    dashBorder_ = Border(marks_[0], marks_[1], kDashBorder);
    characterBorder_ = Border(spaces_[0], spaces_[1], kCharacterBorder);
    wordBorder_ = Border(spaces_[1], spaces_[2], kWordBorder);
}

}  // namespace morvane::receive::weak
