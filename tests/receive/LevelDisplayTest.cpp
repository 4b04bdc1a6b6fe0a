#include "receive/LevelDisplay.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(model.LevelY(-45), 60);
    EXPECT_EQ(model.LevelY(0), 0);
    EXPECT_EQ(model.LevelY(-90), 120);
    EXPECT_EQ(model.LevelY(-20), 26);  // 2400 / 90 truncated
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
    EXPECT_EQ(rows[17], 1);
    EXPECT_EQ(rows[18], 2);
    EXPECT_EQ(rows[35], 2);
    EXPECT_EQ(rows[36], 3);
    EXPECT_EQ(rows[53], 3);
    EXPECT_EQ(rows[54], 0);  // after row 3 the tape starts afresh
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

}  // namespace
}  // namespace morvane::receive
