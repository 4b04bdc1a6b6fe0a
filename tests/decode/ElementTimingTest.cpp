#include "decode/ElementTiming.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane::decode {
namespace {

constexpr int kHigh = 10;
constexpr int kLow = -10;
constexpr int kThreshold = 0;

// Records what the timing hands on; "c<code>", "_", "x<code>/<count>".
class RecordingSink : public CharacterSink {
  public:
    bool ExtendOn() const override { return extend; }
    void EmitCharacter(long long code) override { events.push_back("c" + std::to_string(code)); }
    void EmitWordSpace() override { events.push_back("_"); }
    ExtendedResult EmitExtended(const ExtendedCharacter& character) override {
        events.push_back("x" + std::to_string(character.CodeNumber) + "/" +
                         std::to_string(character.ElementCount) +
                         (character.PartialFlush ? "p" : ""));
        marks.emplace_back(character.MarkLengths.begin(), character.MarkLengths.end());
        gaps.emplace_back(character.GapLengths.begin(), character.GapLengths.end());
        return character.PartialFlush ? partialAnswer : ExtendedResult{.Printed = true};
    }
    bool extend = false;
    ExtendedResult partialAnswer;
    std::vector<std::string> events;
    std::vector<std::vector<int>> marks;
    std::vector<std::vector<int>> gaps;
};

class RecordingDisplay : public SpeedDisplay {
  public:
    void ShowReceiveSpeed(int cpm, int index) override { shown.push_back({cpm, index}); }
    std::vector<std::pair<int, int>> shown;
};

// Feeds marks and gaps given in ticks.
struct Keyer {
    ElementTiming& timing;
    Keyer& Mark(int ticks) { return Run(kHigh, ticks); }
    Keyer& Gap(int ticks) { return Run(kLow, ticks); }
    Keyer& Run(int level, int ticks) {
        for (int i = 0; i < ticks; ++i)
            timing.TimingStep(level, kThreshold);
        return *this;
    }
};

class ElementTimingTest : public ::testing::Test {
  protected:
    RecordingSink sink;
    RecordingDisplay display;
    ElementTiming timing{sink, &display};
    Keyer key{timing};
};

TEST_F(ElementTimingTest, DefaultThresholdsSplitDotsFromDashesAndEndCharactersAfterTheGap) {
    ASSERT_EQ(timing.DashThreshold(), 41);
    ASSERT_EQ(timing.CharGapThreshold(), 41);
    // 41 ticks is still a dot, 42 a dash; a gap of 41 keeps the character open.
    key.Mark(41).Gap(41).Mark(42).Gap(41);
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ(timing.CodeNumber(), 5);  // .- : 1 0 1
    key.Gap(1);                         // the 42nd gap tick ends it
    EXPECT_EQ(sink.events, (std::vector<std::string>{"c5"}));

    // About 100 per minute before any estimate: dot 21 ticks, dash 62.
    sink.events.clear();
    key.Mark(62).Gap(21).Mark(21).Gap(21).Mark(62).Gap(21).Mark(21).Gap(42);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"c26"}));  // -.-. is 11010
}

TEST_F(ElementTimingTest, AtMostThreeWordSpacesEachTwoAndAHalfCharacterGapsApart) {
    // The character ends at gap tick 42; the count goes on, and a blank is
    // due whenever it passes trunc(2.5 x 41) = 102, then it restarts at 0.
    key.Mark(20).Gap(102);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"c2"}));
    key.Gap(1);
    EXPECT_EQ(sink.events.size(), 2u);
    key.Gap(102);
    EXPECT_EQ(sink.events.size(), 2u);
    key.Gap(1);
    EXPECT_EQ(sink.events.size(), 3u);
    key.Gap(103 + 2000);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"c2", "_", "_", "_"}));
    // A character lets blanks come again.
    key.Mark(20).Gap(103);
    EXPECT_EQ(sink.events.back(), "_");
}

TEST_F(ElementTimingTest, ALevelEqualToTheThresholdIsLowForDecoding) {
    key.Run(kThreshold, 30).Mark(10).Gap(42);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"c2"}));
}

TEST_F(ElementTimingTest, VeryLongMarksCountFromAThousandAgain) {
    sink.extend = true;
    key.Mark(5000).Gap(42).Mark(6000).Gap(42);
    ASSERT_EQ(sink.marks.size(), 2u);
    EXPECT_EQ(sink.marks[0], std::vector<int>{5000});
    // Tick 5001 falls back to 1000; 999 more ticks follow.
    EXPECT_EQ(sink.marks[1], std::vector<int>{1999});
}

TEST_F(ElementTimingTest, ThirtyElementsCompleteTheCharacterAtOnce) {
    for (int i = 0; i < 31; ++i)
        key.Mark(10).Gap(5);
    key.Gap(40);
    // 30 dots: a leading 1 and 30 zero bits; the 31st dot starts a new character.
    EXPECT_EQ(sink.events, (std::vector<std::string>{"c" + std::to_string(1LL << 30), "c2"}));
}

TEST_F(ElementTimingTest, ExtendCarriesTheRemainderOfACutCharacterWithItsLengths) {
    sink.extend = true;
    // The output printed elements 0..27; 28 and 29 (".." , code 4) are left.
    sink.partialAnswer = {.Printed = true, .RemainderStart = 28, .RemainderCode = 4};
    for (int i = 0; i < 31; ++i)
        key.Mark(5 + i).Gap(2 + i);
    key.Gap(10);
    ASSERT_EQ(sink.events.size(), 2u);
    EXPECT_EQ(sink.events[0], "x" + std::to_string(1LL << 30) + "/30p");
    // Elements 28, 29 and the 31st mark; code .. then . = 1000.
    EXPECT_EQ(sink.events[1], "x8/3");
    EXPECT_EQ(sink.marks[1], (std::vector<int>{33, 34, 35}));
    EXPECT_EQ(sink.gaps[1][1], 30);  // gap before element 29
    EXPECT_EQ(sink.gaps[1][2], 31);  // gap before the 31st mark
}

TEST_F(ElementTimingTest, ExtendWithNothingSplitOffPrintsNothingAndTheRunGoesOn) {
    sink.extend = true;
    const long long thirtyDots = 1LL << 30;
    sink.partialAnswer = {.Printed = false, .RemainderStart = 0, .RemainderCode = thirtyDots};
    for (int i = 0; i < 30; ++i)
        key.Mark(10).Gap(5);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"x" + std::to_string(thirtyDots) + "/30p"}));
    EXPECT_EQ(timing.CodeNumber(), thirtyDots);
    EXPECT_EQ(timing.ElementCount(), 1);
    EXPECT_EQ(timing.ElementState(), 2);

    // Two more elements, then a character gap: the whole run of 32, with
    // every length, goes out once.
    key.Mark(50).Gap(6).Mark(11).Gap(42);
    ASSERT_EQ(sink.events.size(), 2u);
    EXPECT_EQ(sink.events[1], "x" + std::to_string(4 * thirtyDots + 2) + "/32");
    std::vector<int> marks(30, 10);
    marks.insert(marks.end(), {50, 11});
    EXPECT_EQ(sink.marks[1], marks);
    EXPECT_EQ(sink.gaps[1][30], 5);
    EXPECT_EQ(sink.gaps[1][31], 6);
    EXPECT_EQ(timing.ElementState(), 0);

    // The next character starts afresh.
    key.Mark(10).Gap(7).Mark(50).Gap(42);
    ASSERT_EQ(sink.events.size(), 3u);
    EXPECT_EQ(sink.events[2], "x5/2");
    EXPECT_EQ(sink.marks[2], (std::vector<int>{10, 50}));
}

TEST_F(ElementTimingTest, ARunThatNeverReachesACharacterGapKeepsItsLastThirtyElements) {
    sink.extend = true;
    // The sink splits nothing off and hands back the code of the whole run.
    sink.partialAnswer = {.RemainderStart = 0, .RemainderCode = 1LL << 30};
    for (int i = 0; i < 30; ++i)
        key.Mark(10).Gap(5);
    // 29 more elements, the last a dash: the second cut sees all 59.
    sink.partialAnswer = {.RemainderStart = 0, .RemainderCode = (1LL << 59) | 1};
    for (int i = 0; i < 29; ++i)
        key.Mark(i == 28 ? 60 : 10).Gap(5);
    ASSERT_EQ(sink.events.size(), 2u);
    EXPECT_EQ(sink.marks[1].size(), 59u);
    const long long lastThirty = (1LL << 30) | 1;
    EXPECT_EQ(timing.CodeNumber(), lastThirty);
    EXPECT_EQ(timing.ElementCount(), 1);

    key.Gap(50);
    ASSERT_EQ(sink.events.size(), 3u);
    EXPECT_EQ(sink.events[2], "x" + std::to_string(lastThirty) + "/30");
    std::vector<int> marks(29, 10);
    marks.push_back(60);
    EXPECT_EQ(sink.marks[2], marks);
}

TEST_F(ElementTimingTest, WithoutAValidSpeedLongGapsDoNotEndTheCharacter) {
    timing.ResetSpeedMeasurement(true);
    EXPECT_FALSE(timing.SpeedValid());
    key.Mark(20).Gap(300).Mark(60).Gap(300);
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ(timing.CodeNumber(), 5);
    timing.ResetSpeedMeasurement(false);
    EXPECT_FALSE(timing.SpeedValid()) << "the end of sending leaves SpeedValid alone";
}

// Twelve marks: six dots of 20 and six dashes of 60 ticks alternating, after
// 500 ticks of silence, with gaps of 20 and 60 between them.
void SendTwelveMarks(Keyer& key) {
    key.Gap(500);
    for (int i = 0; i < 6; ++i) {
        key.Mark(20).Gap(20).Mark(60);
        if (i < 5)
            key.Gap(60);
    }
    key.Gap(1);
}

TEST_F(ElementTimingTest, TwelfthMarkRunsTheEstimate) {
    timing.ResetSpeedMeasurement(true);
    SendTwelveMarks(key);
    // Gaps kept after dropping the 500: six of 20, five of 60; x = 300000 /
    // (1000 x 2.897) + 0.5 = 104.06; thresholds min(40, 40); index 16 (105).
    EXPECT_EQ(display.shown, (std::vector<std::pair<int, int>>{{104, 16}}));
    EXPECT_EQ(timing.DashThreshold(), 40);
    EXPECT_EQ(timing.CharGapThreshold(), 40);
    EXPECT_EQ(timing.RxSpeedIndex(), 16);
    EXPECT_TRUE(timing.SpeedValid());
    EXPECT_EQ(timing.RingIndex(), 0);
}

TEST(ElementTiming, ElementTimingResetRestartsTheGapRun) {
    // Gaps before the twelve marks: 20 after the reset, then 20 before each
    // dash and 60 before each dot but one pause of 5000 (dropped). With the
    // reset: element gap 20, character gap 60, accepted at 104. Without it
    // the first gap would be 4520 and leave a single long gap: rejected.
    for (bool reset : {true, false}) {
        RecordingSink sink;
        RecordingDisplay display;
        ElementTiming timing(sink, &display);
        Keyer key{timing};
        key.Gap(4500);
        if (reset)
            timing.ResetElementTiming();
        key.Gap(20);
        for (int i = 0; i < 6; ++i) {
            key.Mark(20).Gap(20).Mark(60);
            if (i < 5)
                key.Gap(i == 2 ? 5000 : 60);
        }
        key.Gap(1);
        EXPECT_EQ(display.shown.size(), reset ? 1u : 0u) << "reset " << reset;
        if (reset) {
            EXPECT_EQ(display.shown[0], std::make_pair(104, 16));
        }
    }
}

TEST_F(ElementTimingTest, ManualSpeedAndTheAutoBox) {
    RxSpeedControlResult off = timing.SetRxSpeedAuto(false, 0);
    EXPECT_EQ(off.SettingWord, "rxautoOFF");
    EXPECT_EQ(off.LabelText, "25/Min");
    EXPECT_EQ(timing.DashThreshold(), 167);  // 600000 / 3587.5 = 167.2
    EXPECT_EQ(timing.CharGapThreshold(), 167);
    EXPECT_EQ(timing.SetRxSpeedIndex(31).LabelText, "180/Min");
    EXPECT_EQ(timing.DashThreshold(), 23);  // 600000 / 25830 = 23.2

    // With Auto off twelve marks change nothing.
    SendTwelveMarks(key);
    EXPECT_TRUE(display.shown.empty());
    EXPECT_EQ(timing.DashThreshold(), 23);

    RxSpeedControlResult on = timing.SetRxSpeedAuto(true, 5);
    EXPECT_EQ(on.SettingWord, "rxautoON");
    EXPECT_TRUE(on.LabelText.empty());
    EXPECT_EQ(timing.RingIndex(), 0);
    EXPECT_TRUE(timing.RxSpeedAuto());
}

}  // namespace
}  // namespace morvane::decode
