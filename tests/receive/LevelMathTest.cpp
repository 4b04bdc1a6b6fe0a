#include "receive/LevelMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace morvane::receive {
namespace {

TEST(LevelMath, WindowLevelTruncatesAndClamps) {
    EXPECT_EQ(WindowLevelDb(0.0), -90);  // silence: log of zero
    EXPECT_EQ(WindowLevelDb(std::numeric_limits<double>::quiet_NaN()), -90);
    EXPECT_EQ(WindowLevelDb(256.0 * 32768.0), 0);        // A = 32768
    EXPECT_EQ(WindowLevelDb(4.0 * 256.0 * 32768.0), 0);  // above full scale
    // A = 32768 / 10: exactly −20 dB, just above and below.
    EXPECT_EQ(WindowLevelDb(256.0 * 3276.8 * 1.0001), -19);
    EXPECT_EQ(WindowLevelDb(256.0 * 3276.8 * 0.9999), -20);
    // Truncation goes toward zero: −45.9 dB reads −45.
    EXPECT_EQ(WindowLevelDb(256.0 * 32768.0 * std::pow(10.0, -45.9 / 20.0)), -45);
    EXPECT_EQ(WindowLevelDb(256.0 * 32768.0 * std::pow(10.0, -95.0 / 20.0)), -90);
}

TEST(LevelMath, DisplayLevelScalesBy1Point2) {
    EXPECT_EQ(DisplayLevelDb(0.0), -90);
    // 20 log10 = −50 → −60 on the display.
    EXPECT_EQ(DisplayLevelDb(512.0 * 32768.0 * std::pow(10.0, -50.0 / 20.0) * 1.0001), -59);
    EXPECT_EQ(DisplayLevelDb(512.0 * 32768.0 * std::pow(10.0, -80.0 / 20.0)), -90);
    EXPECT_EQ(DisplayLevelDb(512.0 * 32768.0 * 2.0), 0);
}

TEST(LevelMath, OrderStatisticIgnoresSingleAndDoubleSpikesInSignalMode) {
    const int threshold = -45;
    std::array<int, 9> quiet;
    quiet.fill(-80);
    EXPECT_EQ(OrderStatisticLevel(quiet, threshold, LevelMode::Signal), -80);

    std::array<int, 9> one = quiet;
    one[4] = -10;
    EXPECT_EQ(OrderStatisticLevel(one, threshold, LevelMode::Signal), -80);
    EXPECT_EQ(OrderStatisticLevel(one, threshold, LevelMode::CW), -80);

    std::array<int, 9> two = quiet;
    two[3] = -10;
    two[4] = -12;
    EXPECT_EQ(OrderStatisticLevel(two, threshold, LevelMode::Signal), -80);  // s[4] quiet → s[1]
    EXPECT_EQ(OrderStatisticLevel(two, threshold, LevelMode::CW), -80);

    // Five loud of nine: the median is loud, Signal takes the 8th value.
    std::array<int, 9> mark{-10, -12, -14, -16, -18, -80, -81, -82, -83};
    EXPECT_EQ(OrderStatisticLevel(mark, threshold, LevelMode::Signal), -12);
    EXPECT_EQ(OrderStatisticLevel(mark, threshold, LevelMode::CW), -18);

    // Median exactly at the threshold is not above it.
    std::array<int, 9> edge{-45, -45, -45, -45, -45, -90, -90, -90, -90};
    EXPECT_EQ(OrderStatisticLevel(edge, threshold, LevelMode::Signal), -90);
    EXPECT_EQ(OrderStatisticLevel(edge, threshold, LevelMode::CW), -90);

    // With the median already above the threshold, two loud windows lift
    // the Signal level to the 8th value.
    std::array<int, 9> raised{-40, -40, -40, -40, -40, -40, -40, -5, -6};
    EXPECT_EQ(OrderStatisticLevel(raised, threshold, LevelMode::Signal), -6);
    EXPECT_EQ(OrderStatisticLevel(raised, threshold, LevelMode::CW), -40);
}

TEST(LevelMath, AutoThresholdExampleAndLimits) {
    EXPECT_EQ(AutoThreshold(-80, -30), -63);
    EXPECT_EQ(AutoThreshold(-90, 0), -54);
    EXPECT_EQ(AutoThreshold(0, -90), -45);    // untouched extremes
    EXPECT_EQ(AutoThreshold(-90, -90), -75);  // −99 limited
    EXPECT_EQ(AutoThreshold(0, 0), -45);
    EXPECT_EQ(AutoThreshold(-60, -30), -51);  // −51 exactly: trunc of −51.0
    EXPECT_EQ(AutoThreshold(-61, -30), -51);  // −51.6 truncates toward zero
}

}  // namespace
}  // namespace morvane::receive
