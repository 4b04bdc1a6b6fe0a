#include "receive/weak/ToneTracker.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace morvane::receive::weak {

ToneTracker::ToneTracker(const ToneTrackerConfig& config)
    : config_(config),
      in_(static_cast<std::size_t>(config.BlockSize)),
      out_(static_cast<std::size_t>(config.BlockSize / 2 + 1)),
      plan_(FftwPlan::RealToComplex(config.BlockSize, in_, out_)),
      window_(static_cast<std::size_t>(config.BlockSize)),
      average_(static_cast<std::size_t>(config.BlockSize / 2 + 1)),
      quick_(average_.size()) {
    const double n = config.BlockSize;
    for (std::size_t i = 0; i < window_.size(); ++i)
        window_[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / n));
    const double binHz = config.SampleRateHz / n;
    firstBin_ = static_cast<std::size_t>(std::floor(config.MinHz / binHz));
    lastBin_ = static_cast<std::size_t>(std::ceil(config.MaxHz / binHz));
    sorted_.resize(lastBin_ - firstBin_ + 1);
    alpha_ = 1.0 - std::exp(-n / config.SampleRateHz / config.PersistenceS);
    acquireAlpha_ = 1.0 - std::exp(-n / config.SampleRateHz / config.AcquirePersistenceS);
    holdDecay_ = std::exp(-n / config.SampleRateHz / config.HoldS);
    Reset();
}

void ToneTracker::Reset() {
    std::fill(average_.begin(), average_.end(), 0.0);
    std::fill(quick_.begin(), quick_.end(), 0.0);
    blocks_ = 0;
    lockedBin_ = 0;
    held_ = 0.0;
    rivalBin_ = 0;
    rivalBlocks_ = 0;
    prominence_ = 0.0;
}

void ToneTracker::SetFixedHz(std::optional<double> hz) {
    fixedBin_ = 0;
    if (!hz)
        return;
    const double binHz = static_cast<double>(config_.SampleRateHz) / config_.BlockSize;
    fixedBin_ = std::clamp(static_cast<std::size_t>(std::lround(*hz / binHz)), firstBin_, lastBin_);
    toneHz_ = *hz;
}

void ToneTracker::Process(std::span<const float> block) {
    for (std::size_t i = 0; i < window_.size(); ++i)
        in_[i] = i < block.size() ? block[i] * window_[i] : 0.0;
    plan_.Execute();
    // Until a signal stands out the spectrum forgets fast, so a new signal
    // is found within a few blocks; once found, it is held with the long
    // persistence.
    ++blocks_;
    const double a = std::max(SignalPresent() ? alpha_ : acquireAlpha_, 1.0 / blocks_);
    const double quick = std::max(acquireAlpha_, 1.0 / blocks_);
    for (std::size_t k = firstBin_ - 1; k <= lastBin_ + 1; ++k) {
        average_[k] += a * (std::norm(out_[k]) - average_[k]);
        quick_[k] += quick * (std::norm(out_[k]) - quick_[k]);
    }

    if (fixedBin_ != 0) {
        lockedBin_ = fixedBin_;
        prominence_ = average_[lockedBin_] / Median();
        return;
    }
    // Rivals are judged on the fast spectrum, so a station that starts
    // beside the one locked is taken within the demodulator's delay and
    // none of it is lost.
    std::size_t peak = firstBin_;
    for (std::size_t k = firstBin_; k <= lastBin_; ++k)
        if (quick_[k] > quick_[peak])
            peak = k;
    // A station found is held through its fades as long as it stands out of
    // the noise at all; with nothing held the strongest peak wins.
    // The held strength includes the ups of the averaged noise, so a rival
    // need beat it by less than the present one.
    const bool holding = held_ > 0.0;
    const double switchRatio = holding ? config_.SwitchRatio : 1.0;
    const double heldRatio = holding ? config_.HeldSwitchRatio : 1.0;
    const bool rivalAhead = lockedBin_ != 0 && quick_[peak] > switchRatio * quick_[lockedBin_] &&
                            quick_[peak] > heldRatio * held_;
    // The fast spectrum of two stations near in strength swings with their
    // keying: a rival one block ahead is such a swing, one ahead in blocks
    // running is a stronger station.
    if (!rivalAhead)
        rivalBlocks_ = 0;
    else
        rivalBlocks_ = peak == rivalBin_ ? rivalBlocks_ + 1 : 1;
    rivalBin_ = peak;
    if (lockedBin_ == 0 || rivalBlocks_ >= (holding ? kRivalBlocks : 1)) {
        // The long spectrum starts again from the new scene.
        if (lockedBin_ != 0 && peak != lockedBin_)
            average_ = quick_;
        lockedBin_ = peak;
        held_ = 0.0;
    }
    // Follow the locked tone to its own local maximum as it drifts.
    while (lockedBin_ > firstBin_ && average_[lockedBin_ - 1] > average_[lockedBin_])
        --lockedBin_;
    while (lockedBin_ < lastBin_ && average_[lockedBin_ + 1] > average_[lockedBin_])
        ++lockedBin_;

    prominence_ = average_[lockedBin_] / Median();
    if (SignalPresent())
        held_ = std::max(holdDecay_ * held_, average_[lockedBin_]);
    else if (prominence_ < config_.HoldRatio)
        held_ = 0.0;
    else
        held_ *= holdDecay_;
    toneHz_ = PeakHz(lockedBin_);
}

double ToneTracker::Median() {
    std::copy(average_.begin() + static_cast<std::ptrdiff_t>(firstBin_),
              average_.begin() + static_cast<std::ptrdiff_t>(lastBin_ + 1), sorted_.begin());
    auto middle = sorted_.begin() + static_cast<std::ptrdiff_t>(sorted_.size() / 2);
    std::nth_element(sorted_.begin(), middle, sorted_.end());
    // Digital silence: nothing stands out.
    return *middle > 1e-9 ? *middle : 1e300;
}

// Parabolic interpolation on the log power of the peak and its neighbours.
double ToneTracker::PeakHz(std::size_t bin) const {
    const double binHz = static_cast<double>(config_.SampleRateHz) / config_.BlockSize;
    const double l = std::log(average_[bin - 1] + 1e-12);
    const double c = std::log(average_[bin] + 1e-12);
    const double r = std::log(average_[bin + 1] + 1e-12);
    const double denominator = l - 2.0 * c + r;
    double offset = denominator < 0.0 ? 0.5 * (l - r) / denominator : 0.0;
    offset = std::clamp(offset, -0.5, 0.5);
    return (static_cast<double>(bin) + offset) * binHz;
}

}  // namespace morvane::receive::weak
