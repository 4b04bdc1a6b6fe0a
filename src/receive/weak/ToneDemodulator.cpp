#include "receive/weak/ToneDemodulator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace morvane::receive::weak {

double LowPassNoiseGain(int averageSteps) {
    const double l = std::clamp(averageSteps, 1, kMaxAverageSteps);
    return std::sqrt((2.0 * l * l + 1.0) / (3.0 * l * l * l));
}

ToneDemodulator::ToneDemodulator(const ToneDemodulatorConfig& config)
    : config_(config), delay_(static_cast<std::size_t>(std::max(1, config.DelaySamples))) {
    SetToneHz(650.0);
}

void ToneDemodulator::Reset() {
    std::fill(delay_.begin(), delay_.end(), 0.0f);
    delayAt_ = 0;
    samplesIn_ = 0;
    phasor_ = {1.0, 0.0};
    stepSum_ = {};
    stepFill_ = 0;
    first_ = {};
    second_ = {};
}

void ToneDemodulator::SetToneHz(double hz) {
    rotation_ = std::polar(1.0, -2.0 * std::numbers::pi * hz / config_.SampleRateHz);
}

void ToneDemodulator::SetAverageSteps(int steps) {
    steps = std::clamp(steps, 1, kMaxAverageSteps);
    if (steps == averageSteps_)
        return;
    averageSteps_ = steps;
    first_.Resum(steps);
    second_.Resum(steps);
}

void ToneDemodulator::MovingAverage::Resum(int length) {
    Sum = {};
    for (int i = 1; i <= length; ++i)
        Sum += std::complex<double>(Ring[(At - i + kMaxAverageSteps) % kMaxAverageSteps]);
}

std::complex<float> ToneDemodulator::MovingAverage::Push(std::complex<float> value, int length) {
    const int leaving = (At - length + kMaxAverageSteps) % kMaxAverageSteps;
    Sum += std::complex<double>(value) - std::complex<double>(Ring[leaving]);
    Ring[At] = value;
    At = (At + 1) % kMaxAverageSteps;
    return std::complex<float>(Sum / static_cast<double>(length));
}

void ToneDemodulator::Refilter(std::span<const std::complex<float>> raw, std::span<float> out,
                               int averageSteps) const {
    const int length = std::clamp(averageSteps, 1, kMaxAverageSteps);
    MovingAverage first, second;
    for (std::size_t i = 0; i < raw.size() && i < out.size(); ++i)
        out[i] = std::abs(second.Push(first.Push(raw[i], length), length));
}

std::size_t ToneDemodulator::Process(std::span<const float> in, std::span<float> out,
                                     std::span<std::complex<float>> raw) {
    std::size_t written = 0;
    samplesIn_ += static_cast<long long>(in.size());
    for (float sample : in) {
        const float delayed = delay_[delayAt_];
        delay_[delayAt_] = sample;
        delayAt_ = delayAt_ + 1 == delay_.size() ? 0 : delayAt_ + 1;
        stepSum_ += static_cast<double>(delayed) * phasor_;
        phasor_ *= rotation_;
        if (++stepFill_ < config_.StepSamples)
            continue;
        // Keep the oscillator on the unit circle against rounding drift.
        phasor_ /= std::abs(phasor_);
        const auto step = std::complex<float>(stepSum_ / static_cast<double>(config_.StepSamples));
        stepSum_ = {};
        stepFill_ = 0;
        const auto smoothed = second_.Push(first_.Push(step, averageSteps_), averageSteps_);
        if (written < out.size() && written < raw.size()) {
            raw[written] = step;
            out[written++] = std::abs(smoothed);
        }
    }
    return written;
}

}  // namespace morvane::receive::weak
