#include "receive/Conditioning.h"

#include <gtest/gtest.h>

#include <random>

#include "ReceiveReference.h"
#include "receive/Autocorrelator.h"

namespace morvane::receive {
namespace {

std::vector<double> RandomSamples(std::mt19937& rng, std::size_t count, int amplitude) {
    std::uniform_int_distribution<int> dist(-amplitude, amplitude);
    std::vector<double> v(count);
    for (auto& x : v)
        x = dist(rng);
    return v;
}

TEST(Conditioning, MedianMatchesSortedMiddleAndRemovesShortClicks) {
    std::mt19937 rng(1);
    const std::vector<double> raw = RandomSamples(rng, 1028, 32768);
    std::vector<double> out(1024);
    Median5Filter(raw, out);
    EXPECT_EQ(out, reference::Median5(raw));

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
    for (int bin : {8, 13, 28, 44, 0, 60}) {
        std::vector<double> block = RandomSamples(rng, 1024, 20000);
        const std::vector<double> expected = reference::Comb(block, bin);
        QrmCombFilter(block, bin);
        for (std::size_t i = 0; i < block.size(); ++i)
            ASSERT_NEAR(block[i], expected[i], 1e-9) << "bin " << bin << " sample " << i;
    }
}

TEST(Conditioning, CombAtLowestBinFiltersOnlyFirst576Samples) {
    // Bin 8 is a 64-sample period: o_7 = 448, 1024 − 448 = 576 outputs.
    const std::array<int, 7> expectedOffsets{64, 128, 192, 256, 320, 384, 448};
    EXPECT_EQ(CombOffsets(8), expectedOffsets);
    std::mt19937 rng(3);
    const std::vector<double> original = RandomSamples(rng, 1024, 20000);
    std::vector<double> block = original;
    QrmCombFilter(block, 8);
    EXPECT_NE(block[575], original[575]);
    EXPECT_TRUE(std::equal(block.begin() + 576, block.end(), original.begin() + 576));
    // Out of range uses 602.93 Hz, the same period as bin 28.
    EXPECT_EQ(CombOffsets(3), CombOffsets(28));
}

TEST(Conditioning, CombPassesTheToneAndSuppressesOthers) {
    std::vector<double> tone(1024);
    std::vector<double> other(1024);
    for (std::size_t i = 0; i < 1024; ++i) {
        tone[i] = 1000.0 * std::cos(2.0 * std::numbers::pi * 16.0 * static_cast<double>(i) / 512.0);
        other[i] =
            1000.0 * std::cos(2.0 * std::numbers::pi * 20.0 * static_cast<double>(i) / 512.0);
    }
    const std::vector<double> toneIn = tone;
    QrmCombFilter(tone, 16);  // period 32 samples exactly
    QrmCombFilter(other, 16);
    for (std::size_t i = 0; i < 800; ++i)
        EXPECT_NEAR(tone[i], toneIn[i], 1e-9);
    const double otherPeak = *std::max_element(other.begin(), other.begin() + 800);
    EXPECT_LT(otherPeak, 1e-6);  // 1.25 cycles per offset: the 8 terms cancel
}

TEST(Conditioning, HammingWindowMatchesFormula) {
    const std::vector<double> w = HammingWindow(256);
    ASSERT_EQ(w.size(), 256u);
    for (int i = 0; i < 256; ++i)
        EXPECT_NEAR(w[static_cast<std::size_t>(i)], reference::Hamming(i, 256, 1.0), 1e-15);
    EXPECT_NEAR(w[0], 0.08, 1e-15);
    EXPECT_NEAR(w[255], 0.08, 1e-12);
}

TEST(Autocorrelator, MatchesDirectSumsForBothSizes) {
    std::mt19937 rng(4);
    for (auto [n, divisor, fft] : {std::tuple{300, 768.0, 0}, std::tuple{600, 300.0, 1200},
                                   std::tuple{300, 768.0, 640}, std::tuple{7, 1.0, 16}}) {
        Autocorrelator corr(n, divisor, fft);
        const std::vector<double> x = RandomSamples(rng, static_cast<std::size_t>(n), 32768);
        std::vector<double> out(static_cast<std::size_t>(n));
        corr.Compute(x, out);
        const std::vector<double> expected = reference::Autocorrelation(x, divisor);
        // Rounding of the transform scales with the energy term r[0].
        const double tolerance = 1e-11 * expected[0];
        for (std::size_t k = 0; k < out.size(); ++k)
            ASSERT_NEAR(out[k], expected[k], tolerance) << "n " << n << " lag " << k;
    }
}

TEST(Autocorrelator, RefusesTooShortTransform) {
    EXPECT_THROW(Autocorrelator(300, 1.0, 598), std::invalid_argument);
    EXPECT_THROW(Autocorrelator(0, 1.0), std::invalid_argument);
}

}  // namespace
}  // namespace morvane::receive
