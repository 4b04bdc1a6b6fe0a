// Slow, direct implementations of the receive formulas, written from their
// definitions, that the tests hold the fast code against.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace morvane::receive::reference {

inline std::vector<double> Median5(const std::vector<double>& raw) {
    std::vector<double> out(raw.size() - 4);
    for (std::size_t i = 0; i < out.size(); ++i) {
        std::vector<int> v;
        for (std::size_t k = 0; k < 5; ++k)
            v.push_back(static_cast<int>(raw[i + k]));
        std::sort(v.begin(), v.end());
        out[i] = v[2];
    }
    return out;
}

// Out-of-place comb: every output from the unfiltered input.
inline std::vector<double> Comb(const std::vector<double>& in, int toneBin) {
    const double f = (toneBin >= 8 && toneBin <= 44) ? toneBin * 11025.0 / 512.0 : 602.9296875;
    const double period = 11025.0 / f;
    std::vector<int> o;
    for (int k = 1; k <= 7; ++k)
        o.push_back(static_cast<int>(k * period));
    std::vector<double> out = in;
    const int n = static_cast<int>(in.size()) - o.back();
    for (int i = 0; i < n; ++i) {
        double sum = in[static_cast<std::size_t>(i)];
        for (int off : o)
            sum += in[static_cast<std::size_t>(i + off)];
        out[static_cast<std::size_t>(i)] = sum * 0.125;
    }
    return out;
}

// r[k] = (Σ_{i=0}^{n−1−k} x[i] x[i+k]) / (n − k) / divisor.
inline std::vector<double> Autocorrelation(const std::vector<double>& x, double divisor) {
    const std::size_t n = x.size();
    std::vector<double> r(n);
    for (std::size_t k = 0; k < n; ++k) {
        double sum = 0.0;
        for (std::size_t i = 0; i + k < n; ++i)
            sum += x[i] * x[i + k];
        r[k] = sum / static_cast<double>(n - k) / divisor;
    }
    return r;
}

inline double Hamming(int i, int size, double gain) {
    return (0.54 - 0.46 * std::cos(2.0 * std::numbers::pi * i / (size - 1))) * gain;
}

// |Σ_i w[i] x[i] e^{−2πj k i / N}| with the gain-scaled Hamming window.
inline double WindowedDftMagnitude(const std::vector<double>& x, int size, int k, double gain) {
    std::complex<double> sum = 0.0;
    for (int i = 0; i < size; ++i) {
        const double angle = -2.0 * std::numbers::pi * k * i / size;
        sum += Hamming(i, size, gain) * x[static_cast<std::size_t>(i)] * std::polar(1.0, angle);
    }
    return std::abs(sum);
}

// The 256-point tone bin magnitude M[b] of one 300-sample window.
inline double WindowToneMagnitude(std::vector<double> x, bool nr1, bool nr2, int toneBin,
                                  double gain) {
    std::vector<double> y;
    if (nr2) {
        std::vector<double> a = Autocorrelation(x, 768.0);
        a[0] = 0.0;
        y = Autocorrelation(a, 768.0);
    } else if (nr1) {
        y = Autocorrelation(x, 768.0);
    } else {
        y = x;
    }
    y[0] = 0.0;
    return WindowedDftMagnitude(y, 256, toneBin / 2, gain);
}

// 20 log10(M / 256 / 32768), unclamped.
inline double LevelDb(double magnitude) {
    return 20.0 * std::log10(magnitude / 256.0 / 32768.0);
}

inline std::vector<double> RandomSamples(std::mt19937& rng, std::size_t count, int amplitude) {
    std::uniform_int_distribution<int> dist(-amplitude, amplitude);
    std::vector<double> v(count);
    for (auto& x : v)
        x = dist(rng);
    return v;
}

// Interleaved stereo frames with independent random 16-bit channels.
inline std::vector<std::int16_t> RandomFrames(std::mt19937& rng, int amplitude) {
    std::uniform_int_distribution<int> dist(-amplitude, amplitude);
    std::vector<std::int16_t> frames(2048);
    for (auto& v : frames)
        v = static_cast<std::int16_t>(dist(rng));
    return frames;
}

// A tone of `amplitude` at 512-point bin `toneBin` on both channels, phase
// continuing from sample `start`.
inline std::vector<std::int16_t> ToneFrames(double amplitude, double toneBin, long start) {
    std::vector<std::int16_t> frames(2048);
    for (long i = 0; i < 1024; ++i) {
        const double v = amplitude * std::cos(2.0 * std::numbers::pi * toneBin *
                                              static_cast<double>(start + i) / 512.0);
        frames[static_cast<std::size_t>(2 * i)] = static_cast<std::int16_t>(v);
        frames[static_cast<std::size_t>(2 * i + 1)] = static_cast<std::int16_t>(v);
    }
    return frames;
}

}  // namespace morvane::receive::reference
