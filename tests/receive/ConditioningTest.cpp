#include "receive/Conditioning.h"

#include <gtest/gtest.h>

#include <random>

#include "ReceiveReference.h"
#include "receive/Autocorrelator.h"
#include "receive/ToneBinProbe.h"

namespace morvane::receive {
namespace {

using reference::RandomSamples;

TEST(Conditioning, MedianMatchesSortedMiddleAndRemovesShortClicks) {
    std::mt19937 rng(1);
    std::vector<double> out(1024);
    // Full range, then few distinct values so every pattern of ties occurs.
    for (int amplitude : {32768, 2}) {
        const std::vector<double> raw = RandomSamples(rng, 1028, amplitude);
        Median5Filter(raw, out);
        EXPECT_EQ(out, reference::Median5(raw)) << amplitude;
    }
    // Fractions are dropped before comparing.
    std::vector<double> fractions(1028, 0.0);
    fractions[0] = fractions[1] = fractions[2] = 0.9;
    Median5Filter(fractions, out);
    EXPECT_EQ(out[0], 0.0);
    // A two-sample click on a constant disappears; three samples survive.
    std::vector<double> flat(1028, 100.0);
    flat[500] = flat[501] = 30000.0;
    Median5Filter(flat, out);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](double v) { return v == 100.0; }));
    flat[502] = 30000.0;
    Median5Filter(flat, out);
    EXPECT_EQ(out[498], 30000.0);
}

TEST(Conditioning, CombMatchesOutOfPlaceDefinition) {
    std::mt19937 rng(2);
    // Edges of the tone range and out-of-range bins, which use 602.93 Hz.
    for (int bin : {8, 13, 28, 44, 0, 60}) {
        std::vector<double> block = RandomSamples(rng, 1024, 20000);
        const std::vector<double> expected = reference::Comb(block, bin);
        QrmCombFilter(block, bin);
        for (std::size_t i = 0; i < block.size(); ++i)
            ASSERT_NEAR(block[i], expected[i], 1e-9) << "bin " << bin << " sample " << i;
    }
    // Bin 8 is a 64-sample period: o_7 = 448, so 576 outputs.
    EXPECT_EQ(CombOffsets(8), (std::array<int, 7>{64, 128, 192, 256, 320, 384, 448}));
}

TEST(Conditioning, CombPassesTheToneAndSuppressesOthers) {
    std::vector<double> tone(1024);
    std::vector<double> other(1024);
    for (std::size_t i = 0; i < 1024; ++i) {
        const double t = 2.0 * std::numbers::pi * static_cast<double>(i) / 512.0;
        tone[i] = 1000.0 * std::cos(16.0 * t);
        other[i] = 1000.0 * std::cos(20.0 * t);
    }
    const std::vector<double> toneIn = tone;
    QrmCombFilter(tone, 16);  // period 32 samples exactly
    QrmCombFilter(other, 16);
    for (std::size_t i = 0; i < 800; ++i)
        EXPECT_NEAR(tone[i], toneIn[i], 1e-9);
    // 1.25 cycles per offset: the 8 terms cancel.
    EXPECT_LT(*std::max_element(other.begin(), other.begin() + 800), 1e-6);
}

TEST(Conditioning, HammingWindowMatchesFormula) {
    const std::vector<double> w = HammingWindow(256);
    ASSERT_EQ(w.size(), 256u);
    for (int i = 0; i < 256; ++i)
        EXPECT_NEAR(w[static_cast<std::size_t>(i)], reference::Hamming(i, 256, 1.0), 1e-15);
}

TEST(Autocorrelator, MatchesDirectSumsForBothSizesAndRefusesShortTransforms) {
    std::mt19937 rng(4);
    for (auto [n, divisor, fft] : {std::tuple{300, 768.0, 0}, std::tuple{600, 300.0, 1200},
                                   std::tuple{300, 768.0, 640}, std::tuple{7, 1.0, 16}}) {
        Autocorrelator corr(n, divisor, fft);
        const std::vector<double> x = RandomSamples(rng, static_cast<std::size_t>(n), 32768);
        std::vector<double> out(static_cast<std::size_t>(n));
        corr.Compute(x, out);
        const std::vector<double> expected = reference::Autocorrelation(x, divisor);
        // Rounding of the transform scales with the energy term r[0].
        for (std::size_t k = 0; k < out.size(); ++k)
            ASSERT_NEAR(out[k], expected[k], 1e-11 * expected[0]) << "n " << n << " lag " << k;
    }
    EXPECT_THROW(Autocorrelator(300, 1.0, 598), std::invalid_argument);
    EXPECT_THROW(Autocorrelator(0, 1.0), std::invalid_argument);
    EXPECT_THROW(ToneBinProbe(300, 768.0, 598), std::invalid_argument);
}

TEST(ToneBinProbe, MatchesWindowedDftOfTheCorrelation) {
    std::mt19937 rng(6);
    for (auto [fft, bin] : {std::pair{600, 14}, std::pair{601, 4}, std::pair{1024, 22},
                            std::pair{600, 0}, std::pair{640, 128}}) {
        Autocorrelator corr(300, 768.0, fft);
        ToneBinProbe probe(300, 768.0, fft);
        probe.SelectBin(bin);
        std::vector<double> x = RandomSamples(rng, 300, 30000);
        for (std::size_t i = 0; i < 300; ++i)
            x[i] +=
                20000.0 * std::sin(2.0 * std::numbers::pi * bin * static_cast<double>(i) / 256.0);
        std::vector<double> y = reference::Autocorrelation(x, 768.0);
        y[0] = 0.0;
        const double expected = reference::WindowedDftMagnitude(y, 256, bin, 1.0);
        EXPECT_NEAR(probe.Magnitude(corr.PowerSpectrum(x)), expected, 1e-9 * expected)
            << "fft " << fft << " bin " << bin;
    }
}

}  // namespace
}  // namespace morvane::receive
