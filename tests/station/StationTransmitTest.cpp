// The transmit window as the operator edits it while the station keys: what
// was sent stays, the unsent rest can be changed, and TX Edit holds keying.
#include <gtest/gtest.h>

#include "StationRig.h"
#include "settings/OptionString.h"

namespace morvane::station::test {
namespace {

std::int64_t Count(const RecordingPort& port, std::string_view action) {
    return std::count_if(port.Actions.begin(), port.Actions.end(),
                         [&](const PortAction& a) { return a.Action == action; });
}

// "TX> ABCD" with "A" already loaded (and so sent), then one edit of the
// whole window text.
TEST(StationTransmit, EditsChangeOnlyTheUnsentText) {
    struct Case {
        const char* Name;
        std::string Edited;
        std::string Shown;  // the window afterwards
        std::string Keyed;
    };
    const Case cases[] = {
        {"backspace at the end", "TX> ABC", "TX> ABC", "ABC"},
        {"typed in the middle", "TX> ABXCD", "TX> ABXCD", "ABXCD"},
        {"typed over a selection", "TX> AZD", "TX> AZD", "AZD"},
        {"all unsent text deleted", "TX> A", "TX> A", "A"},
        {"kana typed in", "TX> ABCカD", "TX> ABCカD", "ABCカD"},
        {"the sent character changed", "TX> XBCD", "TX> ABCD", "ABCD"},
        {"backspace into the sent part", "TX> BCD", "TX> ABCD", "ABCD"},
        {"the prompt edited", "TX ABCD", "TX> ABCD", "ABCD"},
        {"everything selected and typed over", "Q", "TX> ABCD", "ABCD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        StationRig rig;
        rig.Sta.AppendTransmit("ABCD");
        rig.Sta.KeyingTick();  // loads "A"
        rig.Sta.EditTransmit(c.Edited);
        EXPECT_EQ(rig.View.Transmit.back(), c.Shown);
        EXPECT_EQ(rig.Sta.TransmitText(), c.Shown);
        ASSERT_TRUE(rig.Runner.RunUntilSent(60'000));
        rig.Sta.Pump();
        EXPECT_EQ(rig.Joined("tx"), c.Keyed);
        EXPECT_EQ(rig.Port.Actions.back().Action, "up");
        EXPECT_TRUE(rig.Sta.ReceiveEnabled().load());
    }

    // A window shows a line break of the text as one "\n"; edits of such a
    // text keep its own line breaks and the characters already sent.
    StationRig rig;
    rig.Sta.AppendTransmit("A\r\nB\rC");
    rig.Sta.KeyingTick();  // loads "A"
    rig.Sta.EditTransmit("TX> A\nB\nCX");
    EXPECT_EQ(rig.Sta.TransmitText(), "TX> A\r\nB\rCX");
    rig.Sta.EditTransmit("TX> A\nC");  // "B" and its line break deleted
    EXPECT_EQ(rig.Sta.TransmitText(), "TX> A\r\nC");
    rig.Sta.EditTransmit("TX> \nC");
    EXPECT_EQ(rig.Sta.TransmitText(), "TX> A\r\nC");
    ASSERT_TRUE(rig.Runner.RunUntilSent(60'000));
    rig.Sta.Pump();
    EXPECT_EQ(rig.Joined("tx"), "A\\nC");  // the console writes a line break as "\n"
}

// A romaji group waiting for its next letter follows an edit of the letters
// it holds back.
TEST(StationTransmit, WaitingRomajiGroupFollowsAnEdit) {
    StationRig rig;
    rig.Sta.SetKeyMode(common::KeyMode::Direct);
    rig.Sta.AppendTransmit("<K");
    ASSERT_FALSE(rig.Runner.RunUntilSent(3'000));  // "K" waits for its vowel
    rig.Sta.EditTransmit("TX> <");                 // Backspace over it
    rig.Sta.EditTransmit("TX> <A");
    ASSERT_TRUE(rig.Runner.RunUntilSent(60'000));
    rig.Sta.Pump();
    EXPECT_EQ(rig.Joined("tx"), "<A");
    EXPECT_NE(rig.Joined("rx").find("ア"), std::string::npos) << rig.Joined("rx");
}

// E/J Direct's labels follow the last bracket sign, typed or from a macro;
// other modes clear them and ignore brackets.
TEST(StationTransmit, DirectModeLabelsFollowTheLastBracket) {
    StationRig rig;
    rig.Sta.SetKeyMode(common::KeyMode::Direct);
    ASSERT_FALSE(rig.View.ModeLabels.empty());
    EXPECT_EQ(rig.View.ModeLabels.back(), "Eng|English/J");
    rig.Sta.EditTransmit("TX> <");
    EXPECT_EQ(rig.View.ModeLabels.back(), "japanese|Japanese/E");
    rig.Sta.EditTransmit("TX> <KA");  // no bracket last: unchanged
    EXPECT_EQ(rig.View.ModeLabels.back(), "japanese|Japanese/E");
    rig.Sta.AppendTransmit(">");
    EXPECT_EQ(rig.View.ModeLabels.back(), "Eng|English/J");
    rig.Sta.AppendTransmit(")");
    EXPECT_EQ(rig.View.ModeLabels.back(), "japanese|Japanese/E");
    rig.Sta.AppendTransmit("(");
    EXPECT_EQ(rig.View.ModeLabels.back(), "Eng|English/J");

    rig.Sta.SetKeyMode(common::KeyMode::English);
    EXPECT_EQ(rig.View.ModeLabels.back(), "|");
    const std::size_t shown = rig.View.ModeLabels.size();
    rig.Sta.AppendTransmit("<");
    EXPECT_EQ(rig.View.ModeLabels.size(), shown);
}

// E/J KANA: a half-width katakana typed last is made full-width, in the
// text and the window, and keyed; in the other modes it stays as typed.
TEST(StationTransmit, KanaModeMakesTheLastHalfWidthKanaFullWidth) {
    StationRig rig;
    rig.Sta.SetKeyMode(common::KeyMode::Kana);
    rig.Sta.EditTransmit("TX> ｶ");
    EXPECT_EQ(rig.Sta.TransmitText(), "TX> カ");
    EXPECT_EQ(rig.View.Transmit.back(), "TX> カ");
    rig.Sta.EditTransmit("TX> カﾅ");
    EXPECT_EQ(rig.Sta.TransmitText(), "TX> カナ");
    ASSERT_TRUE(rig.Runner.RunUntilSent(60'000));
    EXPECT_EQ(Count(rig.Port, "down"), 4 + 3);  // .-.. and .-.
    rig.Sta.SetKeyMode(common::KeyMode::English);
    rig.Sta.EditTransmit("TX> カナｶ");
    EXPECT_EQ(rig.Sta.TransmitText(), "TX> カナｶ");
}

// TX Edit: nothing new is loaded while it is on; a character already loaded
// is finished; switching it off sends the rest.
TEST(StationTransmit, TxEditHoldsWhatIsNotYetLoaded) {
    StationRig rig;
    rig.Sta.SetTxEditHold(true);
    rig.Sta.AppendTransmit("EE");
    rig.Runner.AdvanceMs(3'000);
    EXPECT_EQ(Count(rig.Port, "down"), 0);
    EXPECT_TRUE(rig.Sta.Sending());
    EXPECT_TRUE(rig.Sta.ReceiveEnabled().load());
    rig.Sta.SetTxEditHold(false);
    ASSERT_TRUE(rig.Runner.RunUntilSent(60'000));
    EXPECT_EQ(Count(rig.Port, "down"), 2);

    rig.Sta.AppendTransmit("EEE");
    rig.Sta.KeyingTick();  // loads the first
    rig.Sta.SetTxEditHold(true);
    rig.Runner.AdvanceMs(3'000);
    EXPECT_EQ(Count(rig.Port, "down"), 3);
    EXPECT_TRUE(rig.Sta.Sending());
    rig.Sta.SetTxEditHold(false);
    ASSERT_TRUE(rig.Runner.RunUntilSent(60'000));
    EXPECT_EQ(Count(rig.Port, "down"), 5);

    // The option string's TX Edit letter sets the hold as well.
    std::string options(settings::kDefaultOptions);
    options[settings::option::TxEditStop] = 'E';
    rig.Sta.ChangeSetting(common::EntryId::OptionString, options);
    EXPECT_TRUE(rig.Sta.TxEditHold());
}

// Ctrl+F1 to Ctrl+F4: HamLog's answers go into the fields; without HamLog
// the keys change nothing and say nothing.
TEST(StationTransmit, HamlogRequestsOfTheControlFunctionKeysFillTheFields) {
    struct Case {
        int Key;
        std::uint32_t Command;
        StationField Field;
    };
    const Case cases[] = {{1, 0x400065, StationField::HisCall},
                          {2, 0x6F, StationField::HisName},
                          {3, 0x70, StationField::HisQTH},
                          {4, 0x6C, StationField::HisCall}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Key);
        StationRig rig;
        rig.Loggers.Replies = {{c.Command, "REPLY" + std::to_string(c.Key)}};
        rig.Sta.SetField(c.Field, "BEFORE");
        rig.Loggers.HamlogUp = false;
        rig.Sta.RequestFromHamlog(c.Key);
        EXPECT_EQ(rig.Sta.Field(c.Field), "BEFORE");
        EXPECT_TRUE(rig.Events("msg").empty());
        rig.Loggers.HamlogUp = true;
        rig.Sta.RequestFromHamlog(c.Key);
        EXPECT_EQ(rig.Sta.Field(c.Field), "REPLY" + std::to_string(c.Key));
        EXPECT_EQ(rig.Loggers.Hamlog, std::vector<std::string>{std::to_string(c.Command)});
    }
}

}  // namespace
}  // namespace morvane::station::test
