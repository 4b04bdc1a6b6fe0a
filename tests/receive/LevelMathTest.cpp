#include "receive/LevelMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace morvane::receive {
namespace {

// Magnitude reading `db` for a transform of `points` points (A = M / points).
double AtDb(double db, double points) {
    return points * 32768.0 * std::pow(10.0, db / 20.0);
}

TEST(LevelMath, LevelsTruncateTowardZeroAndClamp) {
    struct Row {
        double magnitude;
        int window, display;
    };
    for (const Row& r : {
             Row{0.0, -90, -90},  // silence: log of zero
             Row{std::numeric_limits<double>::quiet_NaN(), -90, -90},
             Row{AtDb(0, 256), 0, -7},                // A = 32768; display: 6.02 × 1.2 below
             Row{AtDb(12.1, 256), 0, 0},              // above full scale
             Row{AtDb(-20, 256) * 1.0001, -19, -31},  // just above and below −20 dB
             Row{AtDb(-20, 256) * 0.9999, -20, -31},
             Row{AtDb(-45.9, 256), -45, -62},  // −45.9 reads −45
             Row{AtDb(-95, 256), -90, -90},
             Row{AtDb(-50 + 20 * std::log10(2.0), 256) * 1.0001, -43, -59},  // display −60 edge
         }) {
        EXPECT_EQ(WindowLevelDb(r.magnitude), r.window) << r.magnitude;
        EXPECT_EQ(DisplayLevelDb(r.magnitude), r.display) << r.magnitude;
    }
}

TEST(LevelMath, OrderStatisticIgnoresSingleAndDoubleSpikesInSignalMode) {
    using H = std::array<int, 9>;
    struct Row {
        const char* what;
        H history;
        int signal, cw;
    };
    for (const Row& r : {
             Row{"quiet", {-80, -80, -80, -80, -80, -80, -80, -80, -80}, -80, -80},
             Row{"one spike", {-80, -80, -80, -80, -10, -80, -80, -80, -80}, -80, -80},
             Row{"two spikes", {-80, -80, -80, -10, -12, -80, -80, -80, -80}, -80, -80},
             // Five loud of nine: the median is loud, Signal takes the 8th value.
             Row{"mark", {-10, -12, -14, -16, -18, -80, -81, -82, -83}, -12, -18},
             // A median exactly at the threshold is not above it.
             Row{"edge", {-45, -45, -45, -45, -45, -90, -90, -90, -90}, -90, -90},
             // Median above: two loud windows lift the Signal level.
             Row{"raised", {-40, -40, -40, -40, -40, -40, -40, -5, -6}, -6, -40},
         }) {
        EXPECT_EQ(OrderStatisticLevel(r.history, -45, LevelMode::Signal), r.signal) << r.what;
        EXPECT_EQ(OrderStatisticLevel(r.history, -45, LevelMode::CW), r.cw) << r.what;
    }
}

TEST(LevelMath, AutoThresholdExampleAndLimits) {
    // {min, max, threshold}: trunc((1.2 min + max) / 2) within −75..−45.
    for (auto [lo, hi, t] : {std::tuple{-80, -30, -63},
                             {-90, 0, -54},
                             {0, -90, -45},
                             {-90, -90, -75},
                             {0, 0, -45},
                             {-60, -30, -51},
                             {-61, -30, -51}})
        EXPECT_EQ(AutoThreshold(lo, hi), t) << lo << " " << hi;
}

}  // namespace
}  // namespace morvane::receive
