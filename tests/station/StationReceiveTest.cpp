// The receive window's side of the station: the hold while the operator
// works in it, a selection taken into a field or re-read in the other
// alphabet, the language buttons, clock lines, the receive speed and the
// weak decoder's confidence in the model.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StationRig.h"
#include "settings/OptionString.h"
#include "synth/TextKeying.h"

namespace morvane::station::test {
namespace {

using common::EntryId;

// Plays `text` at speed step `step` on the "Keyed" device until it is
// decoded, then returns to silence.
void Receive(StationRig& rig, const std::string& text, int step = 15) {
    auto keyed = synth::TextToEvents(text, synth::TextAlphabet::English, step);
    rig.Capture.Keyed = keyed.Events;
    rig.Sta.SelectCaptureDevice("Keyed");
    rig.Runner.AdvanceMs(static_cast<std::int64_t>(keyed.EndMs) + 1500);
    rig.Sta.SelectCaptureDevice("Silence");
    rig.Sta.Pump();
}

std::size_t Find(const StationRig& rig, const std::string& word) {
    return rig.Sta.ReceiveModel().Text().rfind(word);
}

TEST(StationReceive, SelectionGoesToOneFieldOrOneReReadingAndHeldTextFollows) {
    StationRig rig;
    Receive(rig, "TEST JA1ABC ");
    const std::string before = rig.Sta.ReceiveModel().Text();
    ASSERT_NE(Find(rig, "TEST JA1ABC"), std::string::npos) << before;

    // Entered: what is decoded meanwhile is held, then shown behind it.
    rig.Sta.ReceiveFocusGained();
    Receive(rig, "QRZ ");
    EXPECT_EQ(rig.Sta.ReceiveModel().Text(), before);
    const std::size_t call = Find(rig, "JA1ABC");
    rig.Sta.ReceiveFocusLost(call, call + 6);
    EXPECT_EQ(rig.Sta.ReceiveModel().Text().substr(before.size()).find("QRZ"), 0u)
        << rig.Sta.ReceiveModel().Text();
    EXPECT_EQ(rig.View.ClipboardEmptied, 1);

    // The call field takes the selection; the language button then has
    // nothing to re-read and switches the language.
    rig.Sta.SetFieldFocus(StationField::HisCall, true);
    rig.Sta.SetFieldFocus(StationField::HisCall, false);
    EXPECT_EQ(rig.Sta.Field(StationField::HisCall), "JA1ABC");
    EXPECT_EQ(rig.View.ClipboardEmptied, 2);
    const std::string shown = rig.Sta.ReceiveModel().Text();
    EXPECT_TRUE(rig.Sta.PressLanguageButton(true));
    EXPECT_EQ(rig.Sta.ReceiveModel().Text(), shown);
    EXPECT_EQ(rig.Sta.SettingText(common::Index(EntryId::RxLanguage)), "JN");

    // A selection re-read once in the other alphabet; the language stays,
    // the field waits for nothing, and the next press switches again.
    rig.Sta.ReceiveFocusGained();
    const std::size_t test = Find(rig, "TEST");
    rig.Sta.ReceiveFocusLost(test, test + 4);
    rig.Lines.clear();
    EXPECT_TRUE(rig.Sta.PressLanguageButton(false));
    EXPECT_NE(rig.Sta.ReceiveModel().Text().find("ムヘラム JA1ABC"), std::string::npos)
        << rig.Sta.ReceiveModel().Text();
    EXPECT_EQ(rig.Sta.SettingText(common::Index(EntryId::RxLanguage)), "JN");
    rig.Sta.SetFieldFocus(StationField::HisName, true);
    EXPECT_EQ(rig.Sta.Field(StationField::HisName), "");
    rig.Sta.SetFieldFocus(StationField::HisName, false);
    EXPECT_FALSE(rig.Sta.PressLanguageButton(false));
    EXPECT_EQ(rig.Sta.SettingText(common::Index(EntryId::RxLanguage)), "EN");

    // Left without a selection: nothing waits, the field keeps its text.
    rig.Sta.ReceiveFocusGained();
    rig.Sta.ReceiveFocusLost(call + 2, call + 2);
    rig.Sta.SetFieldFocus(StationField::HisQTH, true);
    EXPECT_EQ(rig.Sta.Field(StationField::HisQTH), "");
    EXPECT_EQ(rig.View.ClipboardEmptied, 3) << "only the two selections emptied it";
}

TEST(StationReceive, AutomaticLanguageSwitchReachesTheButtons) {
    StationRig rig;
    rig.Sta.SetKeyMode(common::KeyMode::Direct);
    rig.Sta.ChangeSetting(EntryId::RxLanguage, "EA");
    Receive(rig, "TEST \" ");  // the quote sign's pattern opens Japanese
    EXPECT_TRUE(rig.Sta.ReceiveJapanese());
    EXPECT_EQ(rig.View.Languages, "J");
    // The setting the operator chose is unchanged.
    EXPECT_EQ(rig.Sta.SettingText(common::Index(EntryId::RxLanguage)), "EA");
    // A press for English is not undone while the decoder catches up.
    EXPECT_FALSE(rig.Sta.PressLanguageButton(false));
    rig.Sta.Pump();
    EXPECT_FALSE(rig.Sta.ReceiveJapanese());
    Receive(rig, "E ");
    EXPECT_FALSE(rig.Sta.ReceiveJapanese());
    EXPECT_EQ(rig.View.Languages, "J");
}

TEST(StationReceive, ClockButtonsStampTheOptionsClockOnly) {
    struct Case {
        char clock;
        char location;
        ClockMode button;
        const char* line;  // nullptr: none
    };
    const Case cases[] = {
        {'J', 'J', ClockMode::Local, " == 09:30 JST, Mon, Dec 07 2026 ==\r\n"},
        {'J', 'J', ClockMode::Utc, nullptr},
        {'U', 'J', ClockMode::Utc, " == 00:30 UTC, Mon, Dec 07 2026 ==\r\n"},
        {'U', 'J', ClockMode::Local, nullptr},
        {'J', 'A', ClockMode::Local, " == 09:30 Local, Mon, Dec 07 2026 ==\r\n"},
        {'J', 'J', ClockMode::Stopwatch, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.clock) + c.location + std::to_string(int(c.button)));
        StationRig rig;
        std::string options(settings::kDefaultOptions);
        options[settings::option::Clock] = c.clock;
        options[settings::option::Location] = c.location;
        rig.Sta.ChangeSetting(EntryId::OptionString, options);
        rig.Sta.ClearReceive();
        rig.Sta.Pump();
        rig.Sta.SetClockMode(c.button);
        rig.Sta.Pump();
        const text::TextWindow& model = rig.Sta.ReceiveModel();
        if (c.line == nullptr) {
            EXPECT_EQ(model.Text(), "RX> ");
            continue;
        }
        EXPECT_EQ(model.Text(), std::string("RX> ") + c.line);
        EXPECT_EQ(model.Runs().back().Format, text::TextFormat::Time);
        EXPECT_EQ(model.Runs().back().Length, model.Length() - 4);
    }
}

TEST(StationReceive, SpeedEstimateShowsAndAFixedSpeedDecodesWhereAutoCannot) {
    // Step 20 is 125 a minute; either decoder's estimate lands on it or
    // next to it.
    for (auto kind : {receive::DecoderKind::Weak, receive::DecoderKind::Standard}) {
        SCOPED_TRACE(kind == receive::DecoderKind::Weak ? "weak" : "standard");
        StationRig rig;
        rig.Sta.SetDecoder(kind);
        Receive(rig, "PARIS PARIS PARIS PARIS ", 20);
        ASSERT_FALSE(rig.View.Speeds.empty());
        const std::string estimate = rig.View.Speeds.back();
        const int step = std::stoi(estimate.substr(estimate.find('@') + 1));
        EXPECT_NEAR(step, 20, 1) << estimate;
        EXPECT_EQ(rig.Sta.ReceiveSpeedStep(), step);
        const int cpm = std::stoi(estimate);
        EXPECT_NEAR(cpm, 125, 8) << estimate;
        EXPECT_EQ(estimate.substr(estimate.find('/'), 5), "/Min@");
    }

    StationRig rig;
    Receive(rig, "PARIS PARIS PARIS PARIS ", 20);

    // Auto off at step 3 (40 a minute): its thresholds make every 125 a
    // minute element a dot, and the label says 40.
    rig.View.Speeds.clear();
    rig.Sta.SetReceiveSpeedStep(3);
    rig.Sta.ChangeSetting(EntryId::RxAutoSpeed, "rxautoOFF");
    rig.Sta.Pump();
    EXPECT_EQ(rig.View.Speeds, (std::vector<std::string>{"40/Min@3", "40/Min@3"}));
    rig.Lines.clear();
    Receive(rig, "TTTT ", 20);
    EXPECT_EQ(rig.Joined("rx").find('T'), std::string::npos) << rig.Joined("rx");
    EXPECT_EQ(rig.View.Speeds.size(), 2u) << "no estimates while fixed";

    // Fixed at the sender's speed it copies again.
    rig.Sta.SetReceiveSpeedStep(20);
    rig.Lines.clear();
    Receive(rig, "TTTT ", 20);
    EXPECT_NE(rig.Joined("rx").find("TTTT"), std::string::npos) << rig.Joined("rx");
}

// In noise the weak decoder is less than sure of some characters.
TEST(StationReceive, OnlyTheWeakDecoderRatesItsCharacters) {
    for (auto kind : {receive::DecoderKind::Standard, receive::DecoderKind::Weak}) {
        SCOPED_TRACE(kind == receive::DecoderKind::Weak ? "weak" : "standard");
        StationRig rig;
        rig.Capture.KeyedSound.NoiseOn = true;
        rig.Capture.KeyedSound.SnrDb = 6.0;
        rig.Sta.SetDecoder(kind);
        Receive(rig, "CQ CQ DE JA1ABC JA1ABC K ", 15);
        const text::TextWindow& model = rig.Sta.ReceiveModel();
        ASSERT_GT(model.Length(), 20u) << model.Text();
        bool rated = false;
        for (const text::ConfidenceRun& run : model.ConfidenceRuns()) {
            EXPECT_GE(run.Confidence, 0.0f);
            EXPECT_LE(run.Confidence, 1.0f);
            rated |= run.Confidence < 1.0f;
        }
        EXPECT_EQ(rated, kind == receive::DecoderKind::Weak);
        EXPECT_EQ(model.ConfidenceAt(0), 1.0f) << "labels are certain";
    }
}

}  // namespace
}  // namespace morvane::station::test
