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

TEST(SpeedEstimate, DashMustBeTwoToSixDots) {
    // 2 x dot = dash is accepted: x = 300000 / (920 x 2.897) + 0.5 = 113.06.
    auto exact = EstimateSpeed(SixAndSix(20, 40), Gaps(20, 60));
    ASSERT_TRUE(exact.has_value());
    EXPECT_EQ(exact->CharsPerMinute, 113);
    EXPECT_EQ(exact->DashThreshold, 30);  // min(40, 60 / 2)
    EXPECT_FALSE(EstimateSpeed(SixAndSix(20, 39), Gaps(20, 60)).has_value());
    EXPECT_TRUE(EstimateSpeed(SixAndSix(10, 60), Gaps(20, 60)).has_value());
    EXPECT_FALSE(EstimateSpeed(SixAndSix(10, 61), Gaps(20, 60)).has_value());
}

TEST(SpeedEstimate, CharacterGapMustBeMoreThanTwoAndAtMostFiveElementGaps) {
    EXPECT_FALSE(EstimateSpeed(SixAndSix(20, 60), Gaps(20, 40)).has_value());
    EXPECT_TRUE(EstimateSpeed(SixAndSix(20, 60), Gaps(20, 41)).has_value());
    EXPECT_TRUE(EstimateSpeed(SixAndSix(20, 60), Gaps(20, 100)).has_value());
    EXPECT_FALSE(EstimateSpeed(SixAndSix(20, 60), Gaps(20, 101)).has_value());
}

TEST(SpeedEstimate, ThresholdsAndSliderAfterAcceptance) {
    // dot 20, dash 50, element gap 20, character gap 50: 900 ticks a word,
    // x = 115.56; thresholds min(40, 35); 113 <= 115 first at index 18.
    auto estimate = EstimateSpeed(SixAndSix(20, 50), Gaps(20, 50));
    ASSERT_TRUE(estimate.has_value());
    EXPECT_EQ(estimate->CharsPerMinute, 115);
    EXPECT_EQ(estimate->DashThreshold, 35);
    EXPECT_EQ(estimate->CharGapThreshold, 35);
    EXPECT_EQ(estimate->RxSpeedIndex, 18);
}

TEST(SpeedEstimate, SpeedLimits) {
    // 574 ticks a word: x = 180.91, shown as 180 (index 31 is the first with
    // 178 <= speed); 572 ticks: x = 181.54, rejected.
    auto fast = EstimateSpeed(SixAndSix(11, 33), Gaps(11, 37));
    ASSERT_TRUE(fast.has_value());
    EXPECT_EQ(fast->CharsPerMinute, 180);
    EXPECT_EQ(fast->RxSpeedIndex, 31);
    EXPECT_FALSE(EstimateSpeed(SixAndSix(11, 34), Gaps(11, 36)).has_value());
    // 5310 ticks: x = 20.002, shown as 20 at index 0; 5312 ticks: x = 19.994.
    auto slow = EstimateSpeed(SixAndSix(100, 301), Gaps(100, 351));
    ASSERT_TRUE(slow.has_value());
    EXPECT_EQ(slow->CharsPerMinute, 20);
    EXPECT_EQ(slow->RxSpeedIndex, 0);
    EXPECT_FALSE(EstimateSpeed(SixAndSix(100, 300), Gaps(100, 352)).has_value());
    // 173 - 2 = 171 first fits 175 at index 30.
    auto near = EstimateSpeed(SixAndSix(12, 36), Gaps(12, 36));
    ASSERT_TRUE(near.has_value());
    EXPECT_EQ(near->CharsPerMinute, 173);
    EXPECT_EQ(near->RxSpeedIndex, 30);
}

TEST(SpeedEstimate, SliderThresholdsAndLabel) {
    EXPECT_EQ(ThresholdForSpeedIndex(15), 41);
    EXPECT_EQ(ThresholdForSpeedIndex(0), 167);
    EXPECT_EQ(SpeedLabelText(100), "100/Min");
    EXPECT_EQ(RxSpeedTable[31], 180);
}

}  // namespace
}  // namespace morvane::decode
