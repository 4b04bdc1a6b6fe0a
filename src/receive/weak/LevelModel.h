// Noise and signal level of the envelope, from its two-mode distribution over
// the last seconds: the noise mode is Rayleigh (magnitude of complex Gaussian
// noise), the mark mode is modelled as a Gaussian around the mark level. A
// few expectation-maximisation rounds per update fit both; min/max trackers
// would follow single noise spikes instead. From the fit, each envelope
// sample gets a log-likelihood ratio of mark against space (Rician against
// Rayleigh), which is what the timing decoder adds up.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace morvane::receive::weak {

struct LevelFit {
    double NoiseSigma = 0.0;        // Rayleigh parameter of the noise mode
    double MarkLevel = 0.0;         // mean envelope of the mark mode
    double MarkSpread = 0.0;        // its standard deviation
    double MarkShare = 0.0;         // fraction of samples in the mark mode
    double LogLikelihood = -1e300;  // of the samples, at the last round's start
    // Mark level over the noise's mean magnitude; about 1 for noise alone.
    double Contrast() const;
};

// 0.2 for a signal near the noise (contrast 4 or less) to 1 for a clear one
// (8 or more): how far the settings for clean signals apply.
double StrongShare(const LevelFit& fit);

// Fits the two modes to `samples` in `rounds` rounds, starting from `start`
// or, when null, from quantiles (`scratch` at least as long as `samples`).
// No noise level when there are too few samples.
LevelFit FitLevels(std::span<const float> samples, int rounds, std::span<float> scratch,
                   const LevelFit* start = nullptr);

// The mark level of the envelope in `window` alone (a second or so),
// for a signal that fades faster than the fit's seconds follow: the noise of
// `fit` holds, only the mark level is fitted again, starting from `start`
// and drawn towards it (and, a little, the fit's level) as far as the window
// holds few marks. Never below four noise sigmas.
double LocalMarkLevel(std::span<const float> window, const LevelFit& fit, double start);

// log p(a | mark) - log p(a | space) under `fit`.
double MarkLogLikelihoodRatio(double amplitude, const LevelFit& fit);

class LevelModel {
  public:
    // Fits once `minimumSteps` of the window are filled.
    LevelModel(std::size_t windowSteps, std::size_t minimumSteps);

    void Push(float amplitude);
    // Refits on the window (call once a block or so).
    void Update();
    void Reset();

    const LevelFit& Fit() const { return fit_; }
    // The window, oldest first; returns the part of `out` filled.
    std::span<const float> Window(std::span<float> out) const;
    std::size_t WindowSteps() const { return ring_.size(); }
    bool Ready() const { return fit_.NoiseSigma > 0.0; }

  private:
    std::vector<float> ring_;
    std::vector<float> scratch_;
    std::size_t minimum_;
    std::size_t at_ = 0;
    std::size_t filled_ = 0;
    LevelFit fit_;
};

}  // namespace morvane::receive::weak
