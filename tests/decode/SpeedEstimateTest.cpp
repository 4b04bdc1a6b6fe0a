#include "decode/SpeedEstimate.h"

#include <gtest/gtest.h>

namespace morvane::decode {
namespace {

// Six of `a` and six of `b`, interleaved so that the sort matters.
LengthRing SixAndSix(int a, int b) {
    LengthRing ring{};
    for (int i = 0; i < kRingSize; ++i)
        ring[i] = (i % 2 == 0) ? b : a;
    return ring;
}

// Gaps: six element gaps, five character gaps and one long pause (dropped).
LengthRing Gaps(int element, int character) {
    LengthRing ring = SixAndSix(element, character);
    ring[4] = 5000;
    return ring;
}

TEST(SpeedEstimate, EqualMarksHaveNoShortMarks) {
    LengthRing equal{};
    equal.fill(20);
    EXPECT_FALSE(EstimateSpeed(equal, Gaps(20, 60)).has_value());
}

// Marks six of dot and dash, gaps six element gaps and five character gaps;
// cpm 0 where the estimate must be rejected.
TEST(SpeedEstimate, AcceptanceBoundsAndResults) {
    struct Case {
        int dot, dash, elementGap, charGap;
        int cpm, dashThreshold, charGapThreshold, index;
    };
    const Case cases[] = {
        // Dash two to six dots. 2 x dot: x = 300000 / (920 x 2.897) + 0.5 = 113.06;
        // dot 10, dash 60 give 900 ticks, 115.56.
        {20, 40, 20, 60, 113, 30, 40, 18},
        {20, 39, 20, 60, 0, 0, 0, 0},
        {10, 60, 20, 60, 115, 20, 40, 18},
        {10, 61, 20, 60, 0, 0, 0, 0},
        // Character gap more than two and at most five element gaps: 886 ticks a
        // word give 117.38, 1240 ticks 84.01.
        {20, 60, 20, 40, 0, 0, 0, 0},
        {20, 60, 20, 41, 117, 40, 30, 18},
        {20, 60, 20, 100, 84, 40, 40, 12},
        {20, 60, 20, 101, 0, 0, 0, 0},
        // 900 ticks a word: x = 115.56; thresholds min(40, 35); 113 <= 115 first at 18.
        {20, 50, 20, 50, 115, 35, 35, 18},
        // 574 ticks: x = 180.91, index 31 the first with 178 <= speed; 572: 181.54.
        {11, 33, 11, 37, 180, 22, 22, 31},
        {11, 34, 11, 36, 0, 0, 0, 0},
        // 5310 ticks: x = 20.002 at index 0; 5312 ticks: x = 19.994.
        {100, 301, 100, 351, 20, 200, 200, 0},
        {100, 300, 100, 352, 0, 0, 0, 0},
        // 173 - 2 = 171 first fits 175 at index 30.
        {12, 36, 12, 36, 173, 24, 24, 30},
    };
    for (const Case& c : cases) {
        const auto estimate =
            EstimateSpeed(SixAndSix(c.dot, c.dash), Gaps(c.elementGap, c.charGap));
        ASSERT_EQ(estimate.has_value(), c.cpm != 0) << c.dash << " " << c.charGap;
        if (estimate) {
            EXPECT_EQ(estimate->CharsPerMinute, c.cpm) << c.dash << " " << c.charGap;
            EXPECT_EQ(estimate->DashThreshold, c.dashThreshold) << c.dash << " " << c.charGap;
            EXPECT_EQ(estimate->CharGapThreshold, c.charGapThreshold) << c.dash << " " << c.charGap;
            EXPECT_EQ(estimate->RxSpeedIndex, c.index) << c.dash << " " << c.charGap;
        }
    }
}

TEST(SpeedEstimate, EvenCountsTakeTheUpperMiddle) {
    LengthRing marks{60, 24, 60, 18, 22, 60, 20, 60, 22, 60, 20, 60};
    LengthRing gaps{60, 14, 60, 5000, 24, 60, 16, 60, 22, 20, 60, 18};
    // Dots 18 20 20 22 22 24 give 22, element gaps 14 .. 24 give 20; dash and
    // character gap 60. 1020 ticks a word: x = 102.02; thresholds min(44, 41)
    // and min(40, 40); 100 <= speed first at index 15.
    auto estimate = EstimateSpeed(marks, gaps);
    ASSERT_TRUE(estimate.has_value());
    EXPECT_EQ(estimate->CharsPerMinute, 102);
    EXPECT_EQ(estimate->DashThreshold, 41);
    EXPECT_EQ(estimate->CharGapThreshold, 40);
    EXPECT_EQ(estimate->RxSpeedIndex, 15);
}

}  // namespace
}  // namespace morvane::decode
