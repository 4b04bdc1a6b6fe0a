// Normalised autocorrelation of a fixed-length real sequence through FFTW:
// out[k] = (Σ_{i=0}^{n−1−k} x[i] x[i+k]) / (n − k) / divisor, k = 0…n−1.
// Zero padding to at least 2n − 1 points keeps the circular correlation free
// of wrap-around, so the result equals the direct sum (to rounding).
#pragma once

#include <span>
#include <vector>

#include "receive/Fftw.h"

namespace morvane::receive {

class Autocorrelator {
  public:
    // length n ≥ 1; fftSize ≥ 2n − 1 (0 picks 2n).
    Autocorrelator(int length, double divisor, int fftSize = 0);

    int Length() const { return length_; }

    // x and out hold Length() values; they may be the same span.
    void Compute(std::span<const double> x, std::span<double> out);

  private:
    int length_;
    int fftSize_;
    RealBuffer time_;
    ComplexBuffer freq_;
    FftwPlan forward_;
    FftwPlan backward_;
    std::vector<double> lagScale_;  // 1 / ((n − k) × divisor × fftSize)
};

}  // namespace morvane::receive
