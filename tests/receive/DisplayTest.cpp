#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "receive/LevelDisplay.h"
#include "receive/ReceiveToggles.h"
#include "receive/ToneDisplay.h"
#include "receive/ToneLabels.h"

namespace morvane::receive {
namespace {

std::vector<DisplayLine> LinesWithPen(const DisplayPicture& picture, Ink pen) {
    std::vector<DisplayLine> out;
    for (const auto& line : picture.Lines)
        if (line.Pen == pen)
            out.push_back(line);
    return out;
}

TEST(LevelDisplay, SweepStartDrawsGridAndThresholdAtMiddle) {
    LevelDisplayModel model;             // 165 × 121, bottom 120
    EXPECT_TRUE(model.SweepDue(false));  // a fresh area starts with a sweep
    model.StartSweep(-45);
    EXPECT_FALSE(model.SweepDue(false));
    EXPECT_TRUE(model.SweepDue(true));
    const DisplayPicture& p = model.Picture();
    EXPECT_EQ(p.Labels[0], "0db");
    EXPECT_EQ(p.Labels[1], "-45");
    EXPECT_EQ(p.Labels[2], "-90");
    const auto grid = LinesWithPen(p, Ink::Grid);
    ASSERT_EQ(grid.size(), 8u);
    EXPECT_EQ(grid[0].From.y, 20);  // 120 / 6
    EXPECT_EQ(grid[4].From.y, 100);
    EXPECT_EQ(grid[5].From.x, 41);  // 165 / 4
    EXPECT_EQ(grid[7].From.x, 123);
    const auto marker = LinesWithPen(p, Ink::Marker);
    ASSERT_EQ(marker.size(), 1u);
    EXPECT_EQ(marker[0], (DisplayLine{{0, 60}, {165, 60}, Ink::Marker}));
    // y = level × 120 / −90, truncated: −20 is 2400 / 90 = 26.
    for (auto [level, y] : {std::pair{-45, 60}, {0, 0}, {-90, 120}, {-20, 26}})
        EXPECT_EQ(model.LevelY(level), y) << level;
}

TEST(LevelDisplay, SignalChartAdvancesOnePixelEveryTwoWindows) {
    LevelDisplayModel model;
    model.StartSweep(-45);
    // Window 1: pen at 0, nothing drawn. Window 2: moves to 1. Window 3:
    // draws at column 1 from the previous y to the new one.
    model.PlotSignal(-45);
    model.PlotSignal(-30);
    EXPECT_EQ(model.ChartX, 1);
    EXPECT_EQ(LinesWithPen(model.Picture(), Ink::Trace).size(), 0u);
    model.PlotSignal(-45);
    model.PlotSignal(-90);
    model.PlotSignal(-90);
    const auto trace = LinesWithPen(model.Picture(), Ink::Trace);
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[0], (DisplayLine{{1, 0}, {1, 60}, Ink::Trace}));
    EXPECT_EQ(trace[1], (DisplayLine{{2, 60}, {2, 120}, Ink::Trace}));
    EXPECT_EQ(model.PrevPoint, (Point{2, 120}));

    // The pen reaches the right edge after 2 × width windows in all.
    int windows = 5;
    while (!model.SweepDue(false)) {
        model.PlotSignal(-60);
        ++windows;
        ASSERT_LT(windows, 1000);
    }
    EXPECT_EQ(model.ChartX, 165);
    EXPECT_EQ(windows, 330);
}

TEST(LevelDisplay, TapeTicksOnThreeRowsThenStartsAfresh) {
    LevelDisplayModel model(10, 121);  // bottom 120: rows at 40, 80, 120
    model.StartSweep(-45);
    model.RestartTape();
    model.StepTape(-20, -45);  // fresh tape, tick at column 0
    EXPECT_EQ(model.TapeRow, 1);
    EXPECT_EQ(model.Picture().Labels[0], "");
    const auto grid = LinesWithPen(model.Picture(), Ink::Grid);
    ASSERT_EQ(grid.size(), 3u);
    EXPECT_EQ(grid[0].From.y, 40);
    EXPECT_EQ(grid[1].From.y, 80);
    EXPECT_EQ(grid[2].From.x, 5);
    auto ticks = LinesWithPen(model.Picture(), Ink::Trace);
    ASSERT_EQ(ticks.size(), 1u);
    EXPECT_EQ(ticks[0], (DisplayLine{{0, 40}, {0, 31}, Ink::Trace}));

    model.StepTape(-20, -45);  // moves to column 1
    model.StepTape(-45, -45);  // at the threshold: no tick
    model.StepTape(-20, -45);
    model.StepTape(-20, -45);  // tick at column 2
    ticks = LinesWithPen(model.Picture(), Ink::Trace);
    ASSERT_EQ(ticks.size(), 2u);
    EXPECT_EQ(ticks[1].From, (Point{2, 40}));

    // Row 1 ticks columns 0..9 in 19 windows; after each wrap the pen first
    // moves, so rows 2 and 3 start at column 1 and take 18 windows.
    LevelDisplayModel tape(10, 121);
    tape.RestartTape();
    std::vector<int> rows;
    for (int w = 0; w < 19 + 18 + 18; ++w) {
        tape.StepTape(-20, -45);
        rows.push_back(tape.TapeRow);
    }
    // After row 3 the tape starts afresh.
    for (auto [w, row] : {std::pair{17, 1}, {18, 2}, {35, 2}, {36, 3}, {53, 3}, {54, 0}})
        EXPECT_EQ(rows[static_cast<std::size_t>(w)], row) << w;
    ticks = LinesWithPen(tape.Picture(), Ink::Trace);
    EXPECT_EQ(ticks.size(), 10u + 9u + 9u);
    EXPECT_EQ(ticks.back(), (DisplayLine{{9, 120}, {9, 111}, Ink::Trace}));
    tape.StepTape(-20, -45);
    EXPECT_EQ(LinesWithPen(tape.Picture(), Ink::Trace).size(), 1u);
}

TEST(LevelDisplay, ResizeStartsAFreshSweepAndRefusesTinyAreas) {
    LevelDisplayModel model;
    model.StartSweep(-45);
    model.SetSize(100, 50);
    EXPECT_TRUE(model.SweepDue(false));
    EXPECT_EQ(model.ChartX, 0);
    EXPECT_THROW(model.SetSize(1, 50), std::invalid_argument);
}

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

    const auto markers = LinesWithPen(model.Picture(), Ink::Marker);
    const auto trace = LinesWithPen(model.Picture(), Ink::Trace);
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
    auto trace = LinesWithPen(model.Picture(), Ink::Trace);
    ASSERT_EQ(trace.size(), 165u);
    // x = 1: 2 × (−2000) / 7000 × 60 = −34.28 → −34, y = 94.
    EXPECT_EQ(trace[0].To, (Point{1, 94}));
    EXPECT_EQ(trace[2].To, (Point{3, 0}));
    EXPECT_EQ(trace[164].To.x, 165);

    model.DrawSynchro(block, 1.0, 28);
    trace = LinesWithPen(model.Picture(), Ink::Trace);
    // n = 0 to 1536 / 28 + 2 = 56: 57 points, 56 lines; φ = 19 degrees.
    ASSERT_EQ(trace.size(), 56u);
    EXPECT_EQ(trace[0].From, (Point{82 + 60, 60 - static_cast<int>(-3000.0 / 7000.0 * 60)}));
    const int x5 = 82 + static_cast<int>(60.0 * std::cos(2.0 * std::numbers::pi * 5 * 19 / 360.0));
    EXPECT_EQ(trace[4].To, (Point{x5, 60 - static_cast<int>(2000.0 / 7000.0 * 60)}));
    EXPECT_EQ(trace[2].To.y, 0);  // 60 − 171 limited to 0
}

TEST(ToneDisplay, TrackerTakesANewToneAfterThreeBlocks) {
    ToneTracker tracker;
    // {peak, current tone, tone taken}: the current tone and no peak (0) do
    // not count; a different peak restarts the count.
    for (auto [peak, tone, taken] : {std::tuple{30, 28, 0},
                                     {28, 28, 0},
                                     {0, 28, 0},
                                     {30, 28, 0},
                                     {30, 28, 30},
                                     {31, 30, 0},
                                     {32, 30, 0},
                                     {32, 30, 0},
                                     {32, 30, 32}})
        EXPECT_EQ(tracker.Observe(peak, tone), taken) << peak << " on " << tone;
    // Left running on a candidate that is never taken, the count wraps to 3.
    tracker.ToneCandidateCount = 999;
    EXPECT_EQ(tracker.Observe(32, 30), 0);
    EXPECT_EQ(tracker.ToneCandidateCount, 1000);
    EXPECT_EQ(tracker.Observe(32, 30), 0);
    EXPECT_EQ(tracker.ToneCandidateCount, 3);
}

TEST(ToneDisplay, LabelsForModesAndRanges) {
    using enum ToneMode;
    for (auto [mode, high, i, label] : {std::tuple{FFT, true, 3, "345"},
                                        {FFT, true, 10, "948Hz"},
                                        {FFT, false, 3, "172"},
                                        {FFT, false, 10, "775Hz"},
                                        {Sine, true, 10, "→ t"},
                                        {Synchro, true, 0, "＋"},
                                        {Synchro, true, 10, ""}})
        EXPECT_EQ(ToneDisplayLabels(mode, high)[static_cast<std::size_t>(i)], label) << label;
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
    // {which, on, stored word, NR1, NR2}: switching one on unchecks the
    // other; NR2 off while NR1 is on changes nothing.
    for (auto [which, on, word, nr1, nr2] : {std::tuple{1, true, "NoiseON1", true, false},
                                             {2, false, "", true, false},
                                             {1, false, "NoiseOFF", false, false},
                                             {2, true, "NoiseON2", false, true}}) {
        const auto r = which == 1 ? ToggleNr1(options, on) : ToggleNr2(options, on);
        EXPECT_EQ(r.Setting, word);
        EXPECT_EQ(r.UncheckOther, on) << word;
        EXPECT_EQ(options.Nr1On, nr1) << word;
        EXPECT_EQ(options.Nr2On, nr2) << word;
    }
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
