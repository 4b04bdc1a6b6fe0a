#include "receive/Autocorrelator.h"

#include <algorithm>
#include <stdexcept>

namespace morvane::receive {

namespace {

int CheckedFftSize(int length, int fftSize) {
    if (length < 1)
        throw std::invalid_argument("autocorrelation length must be positive");
    const int size = fftSize == 0 ? 2 * length : fftSize;
    if (size < 2 * length - 1)
        throw std::invalid_argument("FFT too short for linear correlation");
    return size;
}

}  // namespace

Autocorrelator::Autocorrelator(int length, double divisor, int fftSize)
    : length_(length),
      fftSize_(CheckedFftSize(length, fftSize)),
      time_(static_cast<std::size_t>(fftSize_)),
      freq_(static_cast<std::size_t>(fftSize_ / 2 + 1)),
      forward_(FftwPlan::RealToComplex(fftSize_, time_, freq_)),
      backward_(FftwPlan::ComplexToReal(fftSize_, freq_, time_)),
      lagScale_(static_cast<std::size_t>(length)) {
    for (int k = 0; k < length; ++k)
        lagScale_[static_cast<std::size_t>(k)] = 1.0 / ((length - k) * divisor * fftSize_);
}

void Autocorrelator::Compute(std::span<const double> x, std::span<double> out) {
    const auto n = static_cast<std::size_t>(length_);
    std::copy_n(x.begin(), n, time_.data());
    std::fill(time_.data() + n, time_.data() + fftSize_, 0.0);
    forward_.Execute();
    // Power spectrum; its inverse transform is the correlation (times fftSize).
    for (std::size_t i = 0; i < freq_.size(); ++i)
        freq_[i] = std::norm(freq_[i]);
    backward_.Execute();
    for (std::size_t k = 0; k < n; ++k)
        out[k] = time_[k] * lagScale_[k];
}

}  // namespace morvane::receive
