// The four Key Modes, E/J Direct romaji groups and the speed arithmetic.
#include <gtest/gtest.h>

#include "KeyingFixture.h"
#include "transmit/KeyingTiming.h"

namespace morvane::transmit {
namespace {

using testing::EchoedTexts;
using testing::HeardMorse;
using testing::KeyingRig;
using Texts = std::vector<std::string>;

// Text keyed in one Key Mode: the Morse heard and the echoes, "S:" sent, "U:" unsendable.
TEST(KeyModes, TextKeyedPerMode) {
    using enum KeyMode;
    struct Case {
        KeyMode mode;
        bool katakana;
        const char* text;
        const char* morse;
        Texts echoes;
    };
    const Case cases[] = {
        // "<" is DO run together, カ is .-.., ">" (＞) is SN run together.
        {Direct, true, "<KA>E", "-..--- .-.. ...-. .", {"S:<", "S:カ", "S:＞", "S:E"}},
        {Direct, false, "<KA>", "-..--- .-.. ...-.", {"S:<", "S:か", "S:＞"}},
        // A doubled consonant sends small ツ first.
        {Direct, true, "<KKA", "-..--- .--. .-..", {"S:<", "S:ツ", "S:カ"}},
        // シャ = し + や, チュ = ち + ゆ, ツ; the blank is the full-width space.
        {Direct,
         true,
         "<SHA CHU TSU",
         "-..--- --.-. .-- ..-. -..-- .--.",
         {"S:<", "S:シャ", "S:　", "S:チュ", "S:　", "S:ツ"}},
        // KYX: no three-letter row, only K is consumed; then YX has a second
        // letter that cannot start a third, so both go; then A.
        {Direct, true, "<KYXA", "-..--- --.--", {"S:<", "U:KYX", "U:YX", "S:ア"}},
        // が is か then the voicing mark; katakana is not in the hiragana table.
        {Ime, false, "かがAカ", ".-.. .-.. .. .-", {"S:か", "S:が", "S:A", "U:カ"}},
        {Kana, true, "カッ", ".-.. .--.", {"S:カ", "S:ッ"}},
        {English, true, "カ(", "-.--.", {"U:カ", "S:("}},
    };
    for (const Case& c : cases) {
        KeyingRig rig;
        rig.Engine.SetKeyMode(c.mode);
        rig.Engine.SetKatakanaDisplay(c.katakana);
        EXPECT_EQ(HeardMorse(rig.Send(c.text), 60), c.morse) << c.text;
        EXPECT_EQ(EchoedTexts(rig.Windows), c.echoes) << c.text;
    }
}

TEST(KeyModes, DirectHoldsALoneConsonantUntilMoreTextOrAClear) {
    KeyingRig rig;
    rig.Engine.SetKeyMode(KeyMode::Direct);
    rig.Text.Append("<K");
    EXPECT_FALSE(rig.Timer.RunUntilIdle(rig.Engine, 5'000));
    EXPECT_EQ(HeardMorse(rig.Output.Events(), 60), "-..---");
    EXPECT_EQ(rig.Engine.RomajiLookahead(), 1);
    EXPECT_EQ(rig.Text.Position(), 5u);
    rig.Text.Append("Y");  // still incomplete: KY may start KYA
    EXPECT_FALSE(rig.Timer.RunUntilIdle(rig.Engine, 5'000));
    EXPECT_EQ(rig.Engine.RomajiLookahead(), 2);
    rig.Text.Append("A");
    EXPECT_TRUE(rig.Timer.RunUntilIdle(rig.Engine));
    EXPECT_EQ(EchoedTexts(rig.Windows), (Texts{"S:<", "S:キャ"}));

    rig.Text.Append("K");
    EXPECT_FALSE(rig.Timer.RunUntilIdle(rig.Engine, 5'000));
    rig.Text.Clear();
    rig.Text.Append("E");
    EXPECT_TRUE(rig.Timer.RunUntilIdle(rig.Engine));
    EXPECT_EQ(EchoedTexts(rig.Windows), (Texts{"S:E"}));
}

// Edits of the unsent text while a romaji group waits: the group is examined
// again from its first letter, whether the edit was a Backspace (cut mark) or
// text replaced in place.
TEST(KeyModes, DirectWaitingGroupFollowsEditsOfTheUnsentText) {
    struct Case {
        const char* typed;   // first text, ending in an incomplete group
        const char* edited;  // the whole window after the edit
        bool cut;            // the edit was a Backspace or Delete
        const char* added;   // typed after the edit
        Texts echoes;        // everything after the "<"
    };
    const Case cases[] = {
        {"<K", "TX> <", true, "AIUEO KA", {"S:ア", "S:イ", "S:ウ", "S:エ", "S:オ", "S:　", "S:カ"}},
        {"<K", "TX> <", true, "A", {"S:ア"}},
        // KY waits for a third letter; with Y gone, K waits for a second one.
        {"<KY", "TX> <K", true, "A", {"S:カ"}},
        // The consonant overwritten in place, without a cut.
        {"<K", "TX> <A", false, "", {"S:ア"}},
    };
    for (const Case& c : cases) {
        KeyingRig rig;
        rig.Engine.SetKeyMode(KeyMode::Direct);
        rig.Text.Append(c.typed);
        ASSERT_FALSE(rig.Timer.RunUntilIdle(rig.Engine, 5'000)) << c.typed;
        ASSERT_GT(rig.Engine.RomajiLookahead(), 0) << c.typed;
        rig.Text.Replace(c.edited);
        if (c.cut)
            rig.Engine.MarkTextCut();
        rig.Timer.Tick(rig.Engine);
        rig.Text.Append(c.added);
        EXPECT_TRUE(rig.Timer.RunUntilIdle(rig.Engine, 60'000)) << c.edited << c.added;
        Texts expected{"S:<"};
        expected.insert(expected.end(), c.echoes.begin(), c.echoes.end());
        EXPECT_EQ(EchoedTexts(rig.Windows), expected) << c.edited << c.added;
        EXPECT_EQ(rig.Engine.RomajiLookahead(), 0) << c.edited << c.added;
    }
}

TEST(KeyingTiming, SpeedLabelsAndReceivedSpeed) {
    EXPECT_EQ(SpeedLabelText(15, Weights{}), "100/Min");
    EXPECT_DOUBLE_EQ(DotLengthMs(0), 240.0);
    EXPECT_EQ(RoundHalfUpMs(DotLengthMs(31)), 33);
    // PARIS at step 15 with heavier dashes: T = 600 + 4*60*3.4 + 540 + 720 + 420.
    Weights heavy{1.0, 3.4, 3.0, 7.0};
    EXPECT_EQ(SpeedLabelText(15, heavy), std::to_string(int(300000.0 / 3096 + 0.5)) + "/Min");
    // A word space no longer than the character space is left out.
    EXPECT_EQ(ParisSpeedPerMin(60, {1.0, 3.0, 5.0, 4.0}),
              int(300000.0 / (600 + 720 + 540 + 1200) + 0.5));

    EXPECT_EQ(ReceivedSpeedFromLabel("100/Min"), 100);
    EXPECT_EQ(ReceivedSpeedFromLabel("/Min"), 0);
    EXPECT_EQ(ReceivedSpeedFromLabel("abc/Min"), 0);
    // At the defaults each step's truncated-term speed is its own 25 + 5k.
    EXPECT_EQ(StepForReceivedSpeed(100, Weights{}), 15);
    EXPECT_EQ(StepForReceivedSpeed(104, Weights{}), 15);
    EXPECT_EQ(StepForReceivedSpeed(999, Weights{}), 31);
    EXPECT_EQ(StepForReceivedSpeed(10, Weights{}), 0);
}

}  // namespace
}  // namespace morvane::transmit
