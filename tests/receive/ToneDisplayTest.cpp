#include "receive/ToneDisplay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "receive/ReceiveToggles.h"
#include "receive/ToneLabels.h"

namespace morvane::receive {
namespace {

// A spectrum magnitude that displays as `displayDb`, nudged just below the
// value so truncation toward zero lands on it.
double MagnitudeForDisplayDb(int displayDb) {
    return 512.0 * 32768.0 * std::pow(10.0, displayDb / 1.2 / 20.0) * 0.9999;
}

TEST(ToneDisplay, SpectrumPointsMarkerAndPeak) {
    std::vector<double> spectrum(512, 0.0);
    spectrum[28] = MagnitudeForDisplayDb(-30);
    spectrum[31] = MagnitudeForDisplayDb(-12);
    ToneDisplayModel model;  // 165 × 121
    const int peak = model.DrawSpectrum(spectrum, 28, true);
    EXPECT_EQ(peak, 31);

    const auto& lines = model.Picture().Lines;
    std::vector<DisplayLine> markers;
    std::vector<DisplayLine> trace;
    for (const auto& l : lines) {
        if (l.Pen == Ink::Marker)
            markers.push_back(l);
        if (l.Pen == Ink::Trace)
            trace.push_back(l);
    }
    ASSERT_EQ(markers.size(), 1u);
    EXPECT_EQ(markers[0].From.x, 12 * 165 / 28);  // bin 28 in the high range
    ASSERT_EQ(trace.size(), 28u);
    EXPECT_EQ(trace[0].From, (Point{0, 120}));
    // Bin 28 is point 12: x = 12 × 165 / 28 = 70, y = −30 × 120 / −90 = 40.
    EXPECT_EQ(trace[11].To, (Point{70, 40}));
    EXPECT_EQ(trace[14].To, (Point{88, 16}));
    EXPECT_EQ(trace[27].To, (Point{164, 120}));  // 165 limited to width − 1

    const auto lowPoints = SpectrumPoints(SpectrumLevels(spectrum, 8), 165, 121);
    EXPECT_EQ(lowPoints[20], (Point{117, 40}));  // bin 28 in the low range
}

TEST(ToneDisplay, PeakSearchIgnoresLowestBinAndTakesFirstOfEqual) {
    std::array<int, kSpectrumPoints> levels;
    levels.fill(-90);
    EXPECT_EQ(FindSpectrumPeak(levels, 16), 0);  // nothing above the floor
    levels[0] = -10;                             // the lowest shown bin is never a peak
    EXPECT_EQ(FindSpectrumPeak(levels, 16), 0);
    levels[5] = -40;
    levels[9] = -40;
    EXPECT_EQ(FindSpectrumPeak(levels, 16), 21);
    EXPECT_EQ(FindSpectrumPeak(levels, 8), 13);
    levels[28] = -39;
    EXPECT_EQ(FindSpectrumPeak(levels, 8), 36);
}

TEST(ToneDisplay, SineAndSynchroPointsFollowTheSamples) {
    std::vector<double> block(1024);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<double>(i % 7) * 1000.0 - 3000.0;
    block[3] = 20000.0;      // clipped at +60
    ToneDisplayModel model;  // bottom 120, mid 60
    model.DrawSine(block, 2.0);
    std::vector<DisplayLine> trace;
    for (const auto& l : model.Picture().Lines)
        if (l.Pen == Ink::Trace)
            trace.push_back(l);
    ASSERT_EQ(trace.size(), 165u);
    // x = 1: 2 × (−2000) / 7000 × 60 = −34.28 → −34, y = 94.
    EXPECT_EQ(trace[0].To, (Point{1, 94}));
    EXPECT_EQ(trace[2].To, (Point{3, 0}));
    EXPECT_EQ(trace[164].To.x, 165);

    model.DrawSynchro(block, 1.0, 28);
    trace.clear();
    for (const auto& l : model.Picture().Lines)
        if (l.Pen == Ink::Trace)
            trace.push_back(l);
    // n = 0 to 1536 / 28 + 2 = 56: 57 points, 56 lines; φ = 19 degrees.
    ASSERT_EQ(trace.size(), 56u);
    EXPECT_EQ(trace[0].From, (Point{82 + 60, 60 - static_cast<int>(-3000.0 / 7000.0 * 60)}));
    const int x5 = 82 + static_cast<int>(60.0 * std::cos(2.0 * std::numbers::pi * 5 * 19 / 360.0));
    EXPECT_EQ(trace[4].To, (Point{x5, 60 - static_cast<int>(2000.0 / 7000.0 * 60)}));
    EXPECT_EQ(trace[2].To.y, 0);  // 60 − 171 limited to 0
}

TEST(ToneDisplay, TrackerTakesANewToneAfterThreeBlocks) {
    ToneTracker tracker;
    EXPECT_EQ(tracker.Observe(30, 28), 0);  // new candidate
    EXPECT_EQ(tracker.Observe(28, 28), 0);  // the current tone does not count
    EXPECT_EQ(tracker.Observe(0, 28), 0);   // no peak does not count
    EXPECT_EQ(tracker.Observe(30, 28), 0);
    EXPECT_EQ(tracker.Observe(30, 28), 30);
    // A different peak restarts the count.
    EXPECT_EQ(tracker.Observe(31, 30), 0);
    EXPECT_EQ(tracker.Observe(32, 30), 0);
    EXPECT_EQ(tracker.Observe(32, 30), 0);
    EXPECT_EQ(tracker.Observe(32, 30), 32);
    // Left running on a candidate that is never taken, the count wraps to 3.
    tracker.ToneCandidateCount = 999;
    EXPECT_EQ(tracker.Observe(32, 30), 0);
    EXPECT_EQ(tracker.ToneCandidateCount, 1000);
    EXPECT_EQ(tracker.Observe(32, 30), 0);
    EXPECT_EQ(tracker.ToneCandidateCount, 3);
}

TEST(ToneDisplay, LabelsForModesAndRanges) {
    const auto high = ToneDisplayLabels(ToneMode::FFT, true);
    EXPECT_EQ(high[3], "345");
    EXPECT_EQ(high[10], "948Hz");
    const auto low = ToneDisplayLabels(ToneMode::FFT, false);
    EXPECT_EQ(low[3], "172");
    EXPECT_EQ(low[10], "775Hz");
    EXPECT_EQ(ToneDisplayLabels(ToneMode::Sine, true)[10], "→ t");
    EXPECT_EQ(ToneDisplayLabels(ToneMode::Synchro, true)[0], "＋");
    EXPECT_EQ(ToneDisplayLabels(ToneMode::Synchro, true)[10], "");
    // Every label is within 1 Hz of its bin's frequency, ascending.
    for (int bin = kMinToneBin; bin <= kMaxToneBin; ++bin) {
        const std::string label = ToneLabelHz(bin);
        ASSERT_EQ(label.substr(label.size() - 2), "Hz");
        EXPECT_NEAR(std::stod(label), bin * 11025.0 / 512.0, 1.0) << bin;
    }
    EXPECT_EQ(ToneLabelHz(28), "603Hz");
    EXPECT_EQ(ToneLabelHz(7), "");
}

TEST(ReceiveToggles, NoiseReductionsExcludeEachOther) {
    ReceiveOptions options;  // NR2 on by default
    auto r = ToggleNr1(options, true);
    EXPECT_EQ(r.Setting, "NoiseON1");
    EXPECT_TRUE(r.UncheckOther);
    EXPECT_TRUE(options.Nr1On);
    EXPECT_FALSE(options.Nr2On);
    r = ToggleNr2(options, false);  // NR1 still on: nothing changes
    EXPECT_EQ(r.Setting, "");
    EXPECT_TRUE(options.Nr1On);
    r = ToggleNr1(options, false);
    EXPECT_EQ(r.Setting, "NoiseOFF");
    EXPECT_FALSE(options.Nr1On);
    r = ToggleNr2(options, true);
    EXPECT_EQ(r.Setting, "NoiseON2");
    EXPECT_TRUE(options.Nr2On);
    EXPECT_FALSE(options.Nr1On);
}

TEST(ReceiveToggles, SwitchesStoreTheirWordsAndRequestResets) {
    ReceiveOptions options;
    EXPECT_EQ(ToggleQrmFilter(options, true), "QRMON");
    EXPECT_TRUE(options.QrmFilterOn);
    EXPECT_EQ(ToggleQrmFilter(options, false), "QRMOFF");
    EXPECT_EQ(ToggleToneAuto(options, false), "ToneAutoOff");
    EXPECT_FALSE(options.ToneCandidateResetRequested);
    EXPECT_EQ(ToggleToneAuto(options, true), "ToneAUTO");
    EXPECT_TRUE(options.ToneCandidateResetRequested);
    EXPECT_EQ(ToggleThresholdAuto(options, true), "ThreON");
    EXPECT_TRUE(options.LevelExtremesResetRequested);
    EXPECT_EQ(ToggleThresholdAuto(options, false), "ThreOFF");
    EXPECT_EQ(SelectLevelDisplayMode(options, LevelMode::CW), "CW");
    EXPECT_TRUE(options.RedrawLevelDisplay);
    EXPECT_TRUE(options.TapeRestartRequested);
    EXPECT_EQ(SelectToneDisplayMode(options, ToneMode::Synchro), "Synchro");
    EXPECT_EQ(options.ToneDisplayMode, ToneMode::Synchro);
    EXPECT_EQ(SetToneBin(options, 99), "948Hz");
    EXPECT_EQ(options.ToneBin, 44);
}

}  // namespace
}  // namespace morvane::receive
