#include "receive/weak/LevelModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace morvane::receive::weak {

namespace {

// log I0(z), the Bessel function in the Rician density, without overflow.
double LogBesselI0(double z) {
    if (z < 3.75) {
        const double t = z * z / 4.0;
        return std::log1p(t + t * t / 4.0 + t * t * t / 36.0 + t * t * t * t / 576.0);
    }
    return z - 0.5 * std::log(2.0 * std::numbers::pi * z) + std::log1p(1.0 / (8.0 * z));
}

double Quantile(std::span<float> values, double q) {
    auto at = values.begin() + static_cast<std::ptrdiff_t>(q * (values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

constexpr double kMinMarkSigmas = 2.5;
constexpr double kMaxRelativeSpread = 0.4;
constexpr double kMinNoiseToMark = 0.005;
constexpr double kEdgeSpreads = 0.5;
// Marks fading below this many noise sigmas are not followed: that faint,
// the level a window gives is mostly the noise's peaks.
constexpr double kMinLocalSigmas = 4.0;
constexpr int kLocalRounds = 3;
// Weight of the starting level, in steps of the window.
constexpr double kLocalPriorSteps = 20.0;
// And of the fit's level, so a window without marks drifts back to it.
constexpr double kFitPriorSteps = 5.0;

}  // namespace

double StrongShare(const LevelFit& fit) {
    return std::clamp((fit.Contrast() - 4.0) / 4.0, 0.2, 1.0);
}

double LevelFit::Contrast() const {
    const double noiseMean = NoiseSigma * std::sqrt(std::numbers::pi / 2.0);
    return noiseMean > 0.0 ? MarkLevel / noiseMean : 0.0;
}

LevelFit FitLevels(std::span<const float> samples, int rounds, std::span<float> scratch,
                   const LevelFit* start) {
    LevelFit fit;
    if (samples.size() < 16 || scratch.size() < samples.size())
        return fit;
    if (start != nullptr && start->NoiseSigma > 0.0 && start->MarkLevel > 0.0) {
        fit = *start;
    } else {
        const auto copy = scratch.first(samples.size());
        std::copy(samples.begin(), samples.end(), copy.begin());
        // The lower fifth is mostly noise: its Rayleigh quantile gives sigma.
        const double low = Quantile(copy, 0.2);
        fit.NoiseSigma = std::max(1e-9, low / std::sqrt(-2.0 * std::log(0.8)));
        fit.MarkLevel = std::max(Quantile(copy, 0.9), 2.0 * fit.NoiseSigma);
        fit.MarkSpread = 0.3 * fit.MarkLevel;
        fit.MarkShare = 0.4;
    }
    for (int round = 0; round < rounds; ++round) {
        const double s2 = fit.NoiseSigma * fit.NoiseSigma;
        const double spread = std::max(fit.MarkSpread, 0.05 * fit.MarkLevel + 1e-9);
        const double logShare = std::log(std::clamp(fit.MarkShare, 0.02, 0.98));
        const double logRest = std::log(1.0 - std::clamp(fit.MarkShare, 0.02, 0.98));
        const double logNorm = std::log(spread * std::sqrt(2.0 * std::numbers::pi));
        const double logS2 = std::log(s2);
        double w0 = 0, w1 = 0, sumA2Noise = 0, sumAMark = 0, sumA2Mark = 0, logLikelihood = 0;
        // One exponential per sample gives both the mark's share and the
        // likelihood: this loop is most of the decoder's time.
        for (float value : samples) {
            const double a = std::max(1e-12, static_cast<double>(value));
            const double logNoise = logRest + std::log(a) - logS2 - a * a / (2.0 * s2);
            const double z = (a - fit.MarkLevel) / spread;
            const double logMark = logShare - logNorm - 0.5 * z * z;
            const double d = logNoise - logMark;
            const double e = std::exp(-std::min(std::abs(d), 50.0));
            const double pMark = d > 0.0 ? e / (1.0 + e) : 1.0 / (1.0 + e);
            logLikelihood += std::max(logNoise, logMark) + std::log1p(e);
            w1 += pMark;
            w0 += 1.0 - pMark;
            sumA2Noise += (1.0 - pMark) * a * a;
            sumAMark += pMark * a;
            sumA2Mark += pMark * a * a;
        }
        // One mode empty (silence, or a carrier): keep the last fit.
        fit.LogLikelihood = logLikelihood;
        if (w0 < 1.0 || w1 < 1.0)
            break;
        fit.NoiseSigma = std::sqrt(sumA2Noise / (2.0 * w0));
        // Left free, the mark mode swallows the noise tail and the noise mode
        // shrinks to nothing; a keyed tone stands clear of the noise and
        // keeps its level within a factor of about two.
        fit.MarkLevel = std::max(sumAMark / w1, kMinMarkSigmas * fit.NoiseSigma);
        fit.MarkSpread =
            std::min(std::sqrt(std::max(0.0, sumA2Mark / w1 - fit.MarkLevel * fit.MarkLevel)),
                     kMaxRelativeSpread * fit.MarkLevel);
        fit.MarkShare = w1 / (w0 + w1);
    }
    // Digital silence between marks has no noise to fit; 46 dB of contrast is
    // plenty and keeps the ratios finite.
    fit.NoiseSigma = std::max(fit.NoiseSigma, kMinNoiseToMark * fit.MarkLevel);
    return fit;
}

double LocalMarkLevel(std::span<const float> window, const LevelFit& fit, double start) {
    const double s2 = fit.NoiseSigma * fit.NoiseSigma;
    if (s2 <= 0.0 || window.empty())
        return fit.MarkLevel;
    const double floor = kMinLocalSigmas * fit.NoiseSigma;
    // Within a fraction of a second the marks spread only by the noise.
    const double spread = fit.NoiseSigma;
    const double logNorm = std::log(spread * std::sqrt(2.0 * std::numbers::pi));
    // The window's own share of marks is fitted too: with the fit's share a
    // window of noise alone (the over has ended) takes its tail for marks
    // and drags the level down to it.
    double share = std::clamp(fit.MarkShare, 0.02, 0.98);
    double level = std::max(start, floor);
    for (int round = 0; round < kLocalRounds; ++round) {
        const double logShare = std::log(share);
        const double logRest = std::log(1.0 - share);
        double weight = kLocalPriorSteps + kFitPriorSteps,
               sum = kLocalPriorSteps * start + kFitPriorSteps * fit.MarkLevel;
        double marks = 0.0;
        for (float value : window) {
            const double a = std::max(1e-12, static_cast<double>(value));
            const double logNoise = logRest + std::log(a / s2) - a * a / (2.0 * s2);
            const double z = (a - level) / spread;
            const double logMark = logShare - logNorm - 0.5 * z * z;
            const double pMark =
                1.0 / (1.0 + std::exp(std::clamp(logNoise - logMark, -50.0, 50.0)));
            weight += pMark;
            sum += pMark * a;
            marks += pMark;
        }
        level = std::max(sum / weight, floor);
        share = std::clamp((marks + kLocalPriorSteps * fit.MarkShare) /
                               (static_cast<double>(window.size()) + kLocalPriorSteps),
                           0.02, 0.98);
    }
    return level;
}

double MarkLogLikelihoodRatio(double amplitude, const LevelFit& fit) {
    const double s2 = fit.NoiseSigma * fit.NoiseSigma;
    if (s2 <= 0.0)
        return 0.0;
    // The mark mode's mean is pulled down by the samples on the keying
    // edges; above it is nearer the steady level, and puts the decision
    // halfway up the edges, where the keying times are. In strong noise the
    // spread is the noise's, so then only a little above.
    const double steady = fit.MarkLevel + StrongShare(fit) * kEdgeSpreads * fit.MarkSpread;
    const double a2 = std::max(0.0, steady * steady - s2);
    const double line = std::sqrt(a2);
    return LogBesselI0(amplitude * line / s2) - a2 / (2.0 * s2);
}

LevelModel::LevelModel(std::size_t windowSteps, std::size_t minimumSteps)
    : ring_(windowSteps), scratch_(windowSteps), minimum_(minimumSteps) {}

void LevelModel::Reset() {
    at_ = 0;
    filled_ = 0;
    fit_ = {};
}

void LevelModel::Push(float amplitude) {
    ring_[at_] = amplitude;
    at_ = (at_ + 1) % ring_.size();
    filled_ = std::min(filled_ + 1, ring_.size());
}

void LevelModel::Update() {
    if (filled_ < minimum_)
        return;
    // From the last fit and from a fresh start, keeping the likelier: a fit
    // carried over can stick in a wrong optimum (the mark mode on a noise
    // tail) long after the signal came, a fresh one now and then lands in
    // another.
    const auto window = std::span<const float>(ring_.data(), filled_);
    const LevelFit fresh = FitLevels(window, 6, scratch_, nullptr);
    const LevelFit carried = FitLevels(window, 4, scratch_, Ready() ? &fit_ : nullptr);
    const LevelFit& fit = carried.LogLikelihood > fresh.LogLikelihood ? carried : fresh;
    if (fit.NoiseSigma > 0.0)
        fit_ = fit;
}

std::span<const float> LevelModel::Window(std::span<float> out) const {
    const std::size_t n = std::min(out.size(), filled_);
    const std::size_t first = (at_ + ring_.size() - n) % ring_.size();
    for (std::size_t i = 0; i < n; ++i)
        out[i] = ring_[(first + i) % ring_.size()];
    return out.first(n);
}

}  // namespace morvane::receive::weak
