// Envelope of the tone for the weak-signal decoder. The audio is delayed so
// that the tone found in the following blocks already applies to it (a cold
// start then loses nothing), mixed down to zero with a complex oscillator,
// summed over steps of StepSamples, and smoothed by two moving averages in
// cascade: a triangular low-pass about one dot long, the filter matched to a
// dot, whose side lobes keep a neighbour 100 Hz away out. Output: the
// envelope magnitude once per step.
#pragma once

#include <array>
#include <complex>
#include <cstddef>
#include <span>
#include <vector>

namespace morvane::receive::weak {

struct ToneDemodulatorConfig {
    int SampleRateHz = 11025;
    int StepSamples = 32;
    int DelaySamples = 4410;  // 0.4 s
};

inline constexpr int kMaxAverageSteps = 64;

// The share of white noise's amplitude (per component) that the two moving
// averages of `averageSteps` pass: the sum of the squared taps of their
// triangle, (2L² + 1) / 3L³, under a square root.
double LowPassNoiseGain(int averageSteps);

class ToneDemodulator {
  public:
    explicit ToneDemodulator(const ToneDemodulatorConfig& config = {});

    void SetToneHz(double hz);
    // Length of each of the two moving averages in steps (1..kMaxAverageSteps).
    void SetAverageSteps(int steps);
    int AverageSteps() const { return averageSteps_; }

    // Writes one magnitude per completed step into `out` and the step's
    // mixed-down value before the low-pass into `raw` (both sized for
    // in.size() / StepSamples + 1); returns how many.
    std::size_t Process(std::span<const float> in, std::span<float> out,
                        std::span<std::complex<float>> raw);
    // The magnitudes the low-pass at its present length gives for `raw`
    // (oldest first), starting from rest.
    void Refilter(std::span<const std::complex<float>> raw, std::span<float> out) const {
        Refilter(raw, out, averageSteps_);
    }
    // The same with a low-pass of `averageSteps` instead.
    void Refilter(std::span<const std::complex<float>> raw, std::span<float> out,
                  int averageSteps) const;
    void Reset();
    // Whether the delay line has been filled once (before, the output is the
    // zeros it started with).
    bool Primed() const { return samplesIn_ >= static_cast<long long>(delay_.size()); }

  private:
    // Keeps the longest history, so a new length takes effect at once.
    struct MovingAverage {
        std::array<std::complex<float>, kMaxAverageSteps> Ring{};
        std::complex<double> Sum{};
        int At = 0;
        std::complex<float> Push(std::complex<float> value, int length);
        void Resum(int length);
    };

    ToneDemodulatorConfig config_;
    std::vector<float> delay_;
    std::size_t delayAt_ = 0;
    long long samplesIn_ = 0;
    std::complex<double> phasor_{1.0, 0.0};
    std::complex<double> rotation_{1.0, 0.0};
    std::complex<double> stepSum_{};
    int stepFill_ = 0;
    int averageSteps_ = 8;
    MovingAverage first_;
    MovingAverage second_;
};

}  // namespace morvane::receive::weak
