// The tone bin of the 256-point Hamming-windowed spectrum of a normalised
// autocorrelation, taken straight from the power spectrum the correlation
// comes from. The window, the DFT term and the per-lag normalisation are
// linear in the correlation, so they fold into one kernel over the power
// spectrum; this saves the inverse transform and the window product for
// every level window.
#pragma once

#include <complex>
#include <span>
#include <vector>

namespace morvane::receive {

class ToneBinProbe {
  public:
    // Correlations of `length` samples normalised by (length − k) × divisor,
    // power spectra of `fftSize` points (at least 2 × length − 1).
    ToneBinProbe(int length, double divisor, int fftSize);

    // Selects the 256-point bin (0 to 255); recomputes the kernel when it
    // changes (about 150 000 multiply-adds).
    void SelectBin(int bin);
    int Bin() const { return bin_; }

    // |Σ_{k=1}^{255} w[k] y[k] e^{−2πj b k / 256}| with y the normalised
    // correlation of the power spectrum (bins 0 … fftSize / 2) and w the
    // unscaled Hamming window; lag 0 is left out.
    double Magnitude(std::span<const std::complex<double>> powerSpectrum) const;

  private:
    int length_;
    double divisor_;
    int fftSize_;
    int bin_ = -1;
    std::vector<std::complex<double>> kernel_;    // fftSize / 2 + 1 weights
    std::vector<std::complex<double>> twiddles_;  // e^{2πj m / fftSize}
    std::vector<double> hamming_;
};

}  // namespace morvane::receive
