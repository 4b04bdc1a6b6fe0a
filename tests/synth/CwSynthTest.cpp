#include "synth/CwSynth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <numeric>
#include <vector>

#include "synth/KeyEvents.h"

namespace morvane::synth {
namespace {

std::vector<std::int16_t> RenderAll(CwSynth& synth, std::int64_t frames) {
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * synth.Channels());
    synth.Render(out);
    return out;
}

Station SteadyTone(double hz, double amplitude, double fromMs, double toMs) {
    return Station{.Events = {{fromMs, true}, {toMs, false}}, .ToneHz = hz, .Amplitude = amplitude};
}

double PeakAbs(const std::vector<std::int16_t>& x, int from, int to) {
    double peak = 0.0;
    for (int n = from; n < to; ++n)
        peak = std::max(peak, std::abs(double(x[static_cast<std::size_t>(n)])));
    return peak;
}

// Power of one DFT bin, computed the slow way.
double BinPower(const std::vector<double>& x, int k) {
    std::complex<double> sum = 0.0;
    const double n = static_cast<double>(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        sum += x[i] * std::polar(1.0, -2.0 * std::numbers::pi * k * static_cast<double>(i) / n);
    return std::norm(sum);
}

TEST(KeyEvents, DotLengthsAndPatternTimingFollowWeights) {
    // Steps of 5 per minute from 25 (240 ms) to 180; beyond the last, the last.
    for (auto [step, ms] : {std::pair{0, 240.0}, {15, 60.0}, {31, 1200.0 / 36}, {99, 1200.0 / 36}})
        EXPECT_NEAR(DotLengthMs(step), ms, 1e-9) << step;

    std::vector<KeyEvent> events;
    double t = 0.0;
    // "A", then a word space, then "E" joined to "T" by an in-pattern gap.
    AppendPattern("1432", 48.0, {}, t, events);
    EXPECT_DOUBLE_EQ(t, 48.0 * (1 + 1 + 3 + 3));
    AppendPattern("6", 48.0, {}, t, events);
    EXPECT_DOUBLE_EQ(t, 48.0 * (8 + 4));  // 7 dots between "A" and the next character
    AppendPattern("153", 48.0, {.Dot = 1.0, .Dash = 3.0, .CharSpace = 3.0, .WordSpace = 7.0}, t,
                  events);
    ASSERT_EQ(events.size(), 8u);
    const double expectedMs[] = {0, 48, 96, 240, 576, 624, 768, 912};
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_DOUBLE_EQ(events[i].TimeMs, expectedMs[i]) << i;
        EXPECT_EQ(events[i].KeyDown, i % 2 == 0) << i;
    }
    // Heavier weights stretch marks and gaps; unknown digits play nothing.
    events.clear();
    t = 0.0;
    AppendPattern("3792", 10.0, {.Dot = 1.0, .Dash = 4.0, .CharSpace = 5.0, .WordSpace = 9.0}, t,
                  events);
    EXPECT_DOUBLE_EQ(t, 40.0 + 50.0);
}

TEST(CwSynth, ToneHasRequestedFrequencyAndLevel) {
    const double hz = 700.0;
    const double amplitude = 5000.0;
    CwSynth synth({.Layout = ChannelLayout::Mono}, {SteadyTone(hz, amplitude, 0.0, 2000.0)});
    auto samples = RenderAll(synth, 11025);
    // Skip the first edge; one second minus 100 ms of steady tone.
    std::vector<double> x(samples.begin() + 1000, samples.begin() + 1000 + 8820);
    const double power = std::inner_product(x.begin(), x.end(), x.begin(), 0.0) / 8820.0;
    EXPECT_NEAR(10 * std::log10(power), 10 * std::log10(amplitude * amplitude / 2), 0.05);
    // 8820 samples at 11025 Hz: bins are 1.25 Hz wide, 700 Hz is bin 560.
    const double peak = BinPower(x, 560);
    EXPECT_GT(peak, 100.0 * BinPower(x, 552));
    EXPECT_GT(peak, 100.0 * BinPower(x, 568));
}

TEST(CwSynth, NoiseInBandwidthMatchesSnr) {
    for (double snrDb : {10.0, 0.0, -3.0}) {
        SynthConfig config{.Layout = ChannelLayout::Mono,
                           .NoiseOn = true,
                           .SnrDb = snrDb,
                           .NoiseBandwidthHz = 500.0,
                           .ReferenceAmplitude = 3000.0,
                           .Seed = 7};
        CwSynth synth(config, {});
        const int n = 2205;  // bins of 5 Hz: 500 Hz is exactly 100 bins
        double bandPower = 0.0;
        const int blocks = 12;
        for (int b = 0; b < blocks; ++b) {
            auto samples = RenderAll(synth, n);
            std::vector<double> x(samples.begin(), samples.end());
            for (int k = 100; k < 200; ++k)
                bandPower += 2.0 * BinPower(x, k) / (double(n) * n);
        }
        bandPower /= blocks;
        const double tonePower = 3000.0 * 3000.0 / 2.0;
        EXPECT_NEAR(10 * std::log10(tonePower / bandPower), snrDb, 0.4) << snrDb;
    }
}

TEST(CwSynth, EdgesAreRaisedCosineOfFiveMs) {
    const double amplitude = 10000.0;
    CwSynth synth({.Layout = ChannelLayout::Mono, .EdgeMs = 5.0},
                  {SteadyTone(1000.0, amplitude, 100.0, 200.0)});
    auto x = RenderAll(synth, 11025 * 3 / 10);
    const int down = 1103;  // first frame at or after 100 ms
    const int edge = 55;    // 5 ms
    EXPECT_EQ(PeakAbs(x, 0, down), 0.0);
    EXPECT_LT(PeakAbs(x, down, down + 5), 0.03 * amplitude);
    for (int n = down; n < down + edge; ++n) {
        const double p = std::min(1.0, double(n - down + 1) / edge);
        const double envelope = 0.5 - 0.5 * std::cos(std::numbers::pi * p);
        EXPECT_LE(std::abs(double(x[n])), envelope * amplitude + 1.0) << n;
    }
    EXPECT_NEAR(PeakAbs(x, down + edge, down + 3 * edge), amplitude, 0.01 * amplitude);
    // Key-up at 200 ms: silent again 5 ms later.
    const int up = 2205;
    EXPECT_EQ(PeakAbs(x, up + edge + 1, up + 300), 0.0);
}

TEST(CwSynth, SameSeedSameAudioAndLayoutsPlaceChannels) {
    auto make = [](std::uint64_t seed, ChannelLayout layout) {
        Station station = SteadyTone(600.0, 3000.0, 10.0, 400.0);
        station.JitterMs = 3.0;
        station.FadeDepth = 0.5;
        return CwSynth({.Layout = layout, .NoiseOn = true, .SnrDb = 6.0, .Seed = seed},
                       {station, SteadyTone(800.0, 1000.0, 50.0, 300.0)});
    };
    auto a = make(3, ChannelLayout::StereoBoth);
    auto b = make(3, ChannelLayout::StereoBoth);
    auto c = make(4, ChannelLayout::StereoBoth);
    const auto xa = RenderAll(a, 5000);
    EXPECT_EQ(xa, RenderAll(b, 5000));
    EXPECT_NE(xa, RenderAll(c, 5000));
    for (std::size_t f = 0; f < 5000; ++f)
        ASSERT_EQ(xa[2 * f], xa[2 * f + 1]);

    auto left = make(3, ChannelLayout::StereoLeft);
    auto right = make(3, ChannelLayout::StereoRight);
    const auto xl = RenderAll(left, 5000);
    const auto xr = RenderAll(right, 5000);
    for (std::size_t f = 0; f < 5000; ++f) {
        ASSERT_EQ(xl[2 * f + 1], 0);
        ASSERT_EQ(xr[2 * f], 0);
        ASSERT_EQ(xl[2 * f], xa[2 * f]);
        ASSERT_EQ(xr[2 * f + 1], xa[2 * f]);
    }
    // Rendering in pieces gives the same stream as in one go.
    auto pieces = make(3, ChannelLayout::StereoBoth);
    std::vector<std::int16_t> joined;
    for (int i = 0; i < 5; ++i) {
        auto part = RenderAll(pieces, 1000);
        joined.insert(joined.end(), part.begin(), part.end());
    }
    EXPECT_EQ(joined, xa);
}

}  // namespace
}  // namespace morvane::synth
