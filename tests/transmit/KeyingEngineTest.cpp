// Keying engine timing on virtual time, tags, echo and the receive hand-over.
#include <gtest/gtest.h>

#include <tuple>

#include "KeyingFixture.h"
#include "transmit/KeyingTiming.h"

namespace morvane::transmit {
namespace {

using testing::EchoedTexts;
using testing::HeardMorse;
using testing::KeyingRig;
using A = KeyAction;

TEST(KeyingEngine, LetterSpaceLetterAtDefaultsAndWithTheirWeights) {
    KeyingRig rig;
    // 60 down; 120 end of character + 60 loading + 180 word space + 60 loading.
    std::vector<KeyEvent> expected{{0, A::Down}, {60, A::Up}, {480, A::Down}, {540, A::Up}};
    EXPECT_EQ(rig.Send("E E"), expected);
    EXPECT_EQ(EchoedTexts(rig.Windows), (std::vector<std::string>{"S:E", "S: ", "S:E"}));
    EXPECT_TRUE(rig.Receive.ReceiveEnabled);
    EXPECT_EQ(rig.Text.Position(), 7u);

    // Word space weight 4 leaves a ten-millisecond element of its own.
    KeyingRig four;
    four.Engine.SetWeights({1.0, 3.0, 3.0, 4.0});
    expected = {{0, A::Down}, {60, A::Up}, {310, A::Down}, {370, A::Up}};
    EXPECT_EQ(four.Send("E E"), expected);
    // Two spaces in a row add W - 3 dots each: 9 - 3 = 6 dots more.
    KeyingRig wide;
    wide.Engine.SetWeights({1.0, 3.0, 3.0, 9.0});
    auto events = wide.Send("E  E");
    EXPECT_EQ(events[2].TimeMs - events[1].TimeMs, 60 * (3 + 9 - 3) + 60 * (9 - 3));
}

TEST(KeyingEngine, EveryStepKeysItsDotLength) {
    for (int step = 0; step < kSpeedStepCount; ++step) {
        KeyingRig rig;
        rig.Engine.SetSpeedIndex(step);
        auto events = rig.Send("EI");
        int perMinute = 25 + 5 * step;
        // Dot of 6000 / cpm ms rounded half up, in integer arithmetic.
        std::int64_t dot = (12000 + perMinute) / (2 * perMinute);
        ASSERT_EQ(events.size(), 6u) << step;
        EXPECT_EQ(events[1].TimeMs - events[0].TimeMs, dot) << step;
        // Character gap (C - 1 dots, rounded) plus one loading dot.
        std::int64_t gap = (24000 + perMinute) / (2 * perMinute) + dot;
        EXPECT_EQ(events[2].TimeMs - events[1].TimeMs, gap) << step;
        EXPECT_EQ(events[3].TimeMs - events[2].TimeMs, dot) << step;
        EXPECT_EQ(events[4].TimeMs - events[3].TimeMs, dot) << step;
    }
}

TEST(KeyingEngine, PttLeadAndTail) {
    KeyingRig rig;
    rig.Engine.SetPttLeadMs(100);
    std::vector<KeyEvent> expected{{0, A::PttOn}, {100, A::Down}, {160, A::Up}, {180, A::PttOff}};
    EXPECT_EQ(rig.Send("E"), expected);
    // A second text after the pause raises PTT again with its lead.
    auto before = rig.Output.Events().size();
    rig.Send("T");
    auto all = rig.Output.Events();
    ASSERT_EQ(all.size(), before + 4);
    EXPECT_EQ(all[before].Action, A::PttOn);
    EXPECT_EQ(all[before + 1].TimeMs - all[before].TimeMs, 100);
    EXPECT_EQ(all[before + 2].TimeMs - all[before + 1].TimeMs, 180);
    EXPECT_EQ(all[before + 3].TimeMs - all[before + 2].TimeMs, 20);
}

// Ticks until the output has recorded `count` events (bounded).
void TickUntilEvents(KeyingRig& rig, std::size_t count) {
    for (int i = 0; i < 1000 && rig.Output.Events().size() < count; ++i)
        rig.Timer.Tick(rig.Engine);
}

TEST(KeyingEngine, PttReleasedAtTheShortWordSpaceAndWhenTheRestIsCut) {
    // A word space of weight 4 is a 10 ms element: the PTT tail after it would
    // be negative, so PTT is released and the timer waits 10 ms.
    KeyingRig space;
    space.Engine.SetPttLeadMs(50);
    space.Engine.SetWeights({1.0, 3.0, 3.0, 4.0});
    space.Text.Append("E ");
    TickUntilEvents(space, 4);
    ASSERT_EQ(space.Output.Events().size(), 4u);
    EXPECT_EQ(space.Output.Events().back().Action, A::PttOff);
    EXPECT_EQ(space.Timer.PeriodMs(), 10);

    // The unsent rest of the text is cut during the first character's gap:
    // PTT goes off on the next tick, without waiting for another period.
    KeyingRig cut;
    cut.Engine.SetPttLeadMs(100);
    cut.Text.Append("EE");
    TickUntilEvents(cut, 3);  // PTT on, down, up
    cut.Text.Replace("TX> E");
    cut.Engine.MarkTextCut();
    cut.Timer.RunUntilIdle(cut.Engine, 5'000);
    std::vector<KeyEvent> expected{{0, A::PttOn}, {100, A::Down}, {160, A::Up}, {280, A::PttOff}};
    EXPECT_EQ(cut.Output.FromFirst(), expected);
}

TEST(KeyingEngine, TagsChangeSpeedAndWeightsForTheNextGap) {
    KeyingRig rig;
    // Step 18: dot 6000 / 115 = 52.17 ms; the gap after the first E already
    // uses it: 104 + 52.
    std::vector<KeyEvent> speed{{0, A::Down}, {60, A::Up},    {216, A::Down},
                                {268, A::Up}, {448, A::Down}, {508, A::Up}};
    EXPECT_EQ(rig.Send("E<+3 UP>E<ORIGINAL>E"), speed);
    EXPECT_EQ(rig.Engine.SpeedIndex(), 15);
    EXPECT_EQ(rig.Listener.Speeds, (std::vector<int>{18, 15}));
    EXPECT_EQ(EchoedTexts(rig.Windows), (std::vector<std::string>{"S:E", "S:E", "S:E"}));

    KeyingRig weights;
    std::vector<KeyEvent> heavy{{0, A::Down}, {60, A::Up}, {360, A::Down}, {450, A::Up}};
    EXPECT_EQ(weights.Send("E<DOT1.5><C_SPACE5.0>E"), heavy);
    EXPECT_EQ(weights.Listener.Weights, (std::vector<std::string>{"D1.5", "C5.0"}));
    EXPECT_DOUBLE_EQ(weights.Engine.CurrentWeights().Dot, 1.5);
    // Weight tags do not touch the speed.
    EXPECT_TRUE(weights.Listener.Speeds.empty());
}

TEST(KeyingEngine, SpeedTagsClampAndOriginalNeedsASavedSpeed) {
    // Only the first speed tag saves; the speed keys forget the saved step.
    const std::vector<std::tuple<int, std::string, bool, int>> cases = {
        {30, "<+3 UP>", false, 31},     {1, "<-3 DOWN>", false, 0},
        {20, "<ORIGINAL>E", false, 20}, {20, "<+1 UP><+2 UP><ORIGINAL>", false, 20},
        {20, "<+1 UP>", true, 21},
    };
    for (const auto& [start, text, forget, end] : cases) {
        KeyingRig rig;
        rig.Engine.SetSpeedIndex(start);
        rig.Send(text);
        if (forget) {
            rig.Engine.ClearSpeedSaved();
            rig.Send("<ORIGINAL>");
        }
        EXPECT_EQ(rig.Engine.SpeedIndex(), end) << text;
    }
}

// Tags, unsendable text and echo modes: the Morse heard and the echoes.
TEST(KeyingEngine, TagsUnsendableTextAndEchoModes) {
    using enum KeyMode;
    using enum EchoMode;
    using Texts = std::vector<std::string>;
    struct Case {
        KeyMode mode;
        EchoMode echo;
        const char* text;
        const char* morse;
        Texts echoes;
    };
    const Case cases[] = {
        // A trailing tag keys nothing.
        {English, Receive, "<DOT1.5>", "", {}},
        // In English "<" has no pattern: echoed as unsendable, the rest is sent.
        {English, Receive, "<X>", "-..-", {"U:<", "S:X", "U:>"}},
        // With the mixed table "<" is keyed as DO run together.
        {Ime, Receive, "<DOT>", "-..--- -.. --- - ...-.", {"S:<", "S:D", "S:O", "S:T", "S:>"}},
        {English, Receive, "E%\r\nT", ". -", {"S:E", "U:%", "S:T"}},
        {English, None, "E%", ".", {}},
        {English, Monitor, "<TXTIME>E", ".", {"M:E"}},
        {English, Receive, "<VK_F6>E<TXTIME><VK_F1><VK_F5><VK_F7>", ".", {"S:E", "T:[12:34:56] "}},
    };
    for (const Case& c : cases) {
        KeyingRig rig;
        rig.Engine.SetKeyMode(c.mode);
        rig.Echo.SetMode(c.echo);
        EXPECT_EQ(HeardMorse(rig.Send(c.text), 60), c.morse) << c.text;
        EXPECT_EQ(EchoedTexts(rig.Windows), c.echoes) << c.text;
        EXPECT_EQ(rig.Text.Position(), 4 + std::string_view(c.text).size()) << c.text;
        if (std::string_view(c.text).starts_with("<VK_F6>")) {
            EXPECT_EQ(rig.Listener.Keys, (std::vector<int>{6, 1, 5, 7}));
        }
    }
}

TEST(KeyingEngine, ReceiveIsSuspendedWhileKeying) {
    KeyingRig rig;
    rig.Text.Append("TEST");
    bool sawDisabled = false;
    for (int i = 0; i < 10; ++i) {
        rig.Timer.Tick(rig.Engine);
        sawDisabled = sawDisabled || !rig.Receive.ReceiveEnabled;
    }
    EXPECT_TRUE(sawDisabled);
    rig.Timer.RunUntilIdle(rig.Engine);
    EXPECT_TRUE(rig.Receive.ReceiveEnabled);
    // The decoder restarts clean: its work block at the end of the text, its
    // element timing after every character.
    EXPECT_EQ(rig.Receive.SendMarkResets, 1);
    EXPECT_EQ(rig.Receive.ElementTimingResets, 4);

    // The window cleared between two characters: reception comes back on the
    // next tick with the speed ring reset.
    KeyingRig cleared;
    cleared.Text.Append("EE");
    TickUntilEvents(cleared, 2);
    cleared.Text.Clear();
    cleared.Timer.Tick(cleared.Engine);
    EXPECT_TRUE(cleared.Receive.ReceiveEnabled);
    EXPECT_EQ(cleared.Receive.SpeedMeasurementResets, 1);
    EXPECT_EQ(rig.Listener.Characters, 4);
    EXPECT_EQ(rig.Engine.SentCharacterCount(), 4u);
}

TEST(KeyingEngine, HoldCutAndClear) {
    KeyingRig rig;
    rig.Engine.SetTxEditHold(true);
    EXPECT_TRUE(rig.Send("EEE").empty());
    rig.Engine.SetTxEditHold(false);
    // TX Edit ticked while the last character is keyed: reception comes back.
    KeyingRig held;
    held.Text.Append("E");
    TickUntilEvents(held, 2);
    held.Engine.SetTxEditHold(true);
    held.Timer.RunUntilIdle(held.Engine, 5'000);
    EXPECT_TRUE(held.Receive.ReceiveEnabled);
    rig.Text.Replace("TX> EEETT");
    rig.Timer.Tick(rig.Engine);  // loads the first E
    rig.Timer.Tick(rig.Engine);  // key down
    // The window is cleared mid-character: the E finishes, nothing follows.
    rig.Text.Clear();
    rig.Timer.RunUntilIdle(rig.Engine);
    EXPECT_EQ(HeardMorse(rig.Output.Events(), 60), ".");
    EXPECT_EQ(rig.Text.Position(), 4u);
    // Backspace over unsent text: the position is clamped to the new end.
    rig.Text.Append("E");
    rig.Timer.RunUntilIdle(rig.Engine);
    rig.Text.Replace("TX> ");
    rig.Engine.MarkTextCut();
    rig.Timer.RunUntilIdle(rig.Engine);
    EXPECT_EQ(rig.Text.Position(), 4u);
    rig.Text.Append("T");
    rig.Timer.RunUntilIdle(rig.Engine);
    EXPECT_EQ(HeardMorse(rig.Output.Events(), 60), ". . -");
}

}  // namespace
}  // namespace morvane::transmit
