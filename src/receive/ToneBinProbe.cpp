#include "receive/ToneBinProbe.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "receive/Conditioning.h"

namespace morvane::receive {

ToneBinProbe::ToneBinProbe(int length, double divisor, int fftSize)
    : length_(length),
      divisor_(divisor),
      fftSize_(fftSize),
      kernel_(static_cast<std::size_t>(fftSize / 2 + 1)),
      twiddles_(static_cast<std::size_t>(fftSize)),
      hamming_(HammingWindow(256)) {
    if (length < 256 || fftSize < 2 * length - 1)
        throw std::invalid_argument("tone bin probe needs 256 lags without wrap-around");
    for (int m = 0; m < fftSize; ++m)
        twiddles_[static_cast<std::size_t>(m)] =
            std::polar(1.0, 2.0 * std::numbers::pi * m / fftSize);
}

void ToneBinProbe::SelectBin(int bin) {
    if (bin == bin_)
        return;
    bin_ = bin;
    // Lag k contributes g_k R[k], and R[k] = (1/N) Σ_m P_m e^{2πj m k / N}:
    // G_m = Σ_k g_k e^{2πj m k / N}. P is even, so bins m and N − m share.
    const auto n = static_cast<std::size_t>(fftSize_);
    std::vector<std::complex<double>> g(256);
    for (std::size_t k = 1; k < 256; ++k) {
        const double angle = -2.0 * std::numbers::pi * bin * static_cast<double>(k) / 256.0;
        g[k] = std::polar(hamming_[k], angle) /
               ((length_ - static_cast<double>(k)) * divisor_ * fftSize_);
    }
    auto weight = [&](std::size_t m) {
        std::complex<double> sum = 0.0;
        for (std::size_t k = 1; k < 256; ++k)
            sum += g[k] * twiddles_[(m * k) % n];
        return sum;
    };
    kernel_[0] = weight(0);
    for (std::size_t m = 1; m < n / 2; ++m)
        kernel_[m] = weight(m) + weight(n - m);
    if (n % 2 == 0)
        kernel_[n / 2] = weight(n / 2);
    else
        kernel_[n / 2] = weight(n / 2) + weight(n - n / 2);
}

double ToneBinProbe::Magnitude(std::span<const std::complex<double>> powerSpectrum) const {
    double re = 0.0;
    double im = 0.0;
    for (std::size_t m = 0; m < kernel_.size(); ++m) {
        const double p = powerSpectrum[m].real();
        re += p * kernel_[m].real();
        im += p * kernel_[m].imag();
    }
    return std::sqrt(re * re + im * im);
}

}  // namespace morvane::receive
