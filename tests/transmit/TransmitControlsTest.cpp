// The transmit-side controls' logic: clears, automatic clear, speed keys,
// manual key, Key Mode change and the kana rewrite.
#include <gtest/gtest.h>

#include <map>

#include "KeyingFixture.h"
#include "transmit/TransmitControls.h"

namespace morvane::transmit {
namespace {

using testing::HeardMorse;

struct FakeAutoCq final : AutoCqCounter {
    bool Running() const override { return running; }
    bool Finished() const override { return false; }
    int CountDown(int characters) override { return remaining -= characters; }
    int Remaining() const override { return remaining; }
    void MarkFinished() override {}
    void Stop() override { running = false; }
    bool running = false;
    int remaining = 100;
};

// Stored entries by their names in the entry table.
struct StoredSettings final : common::SettingSink {
    void StoreSetting(int entry, std::string value) override {
        (*this)[common::EntryName(entry)] = std::move(value);
    }
    std::string& operator[](const std::string& name) { return byName[name]; }
    std::map<std::string, std::string> byName;
};

struct ControlsRig {
    testing::KeyingRig Keying;
    FakeAutoCq AutoCq;
    StoredSettings Settings;
    TransmitControls Controls{{Keying.Engine, Keying.Text, Keying.Windows, Keying.Receive,
                               Keying.Output, &AutoCq, &Settings, &Keying.Listener}};
};

TEST(TransmitControls, SpeedPresetAndSpeedKeys) {
    ControlsRig rig;
    rig.Controls.UpdateSpeedLabel(20);
    rig.Controls.StoreSpeedPreset();
    EXPECT_EQ(rig.Settings["TxSpeed"], "20");
    rig.Controls.SpeedUp();
    EXPECT_EQ(rig.Controls.SpeedUp(), SpeedLabelText(22, Weights{}));
    rig.Controls.RecallSpeedPreset();
    EXPECT_EQ(rig.Keying.Engine.SpeedIndex(), 20);

    rig.Controls.UpdateSpeedLabel(0);
    rig.Controls.SpeedDown();
    EXPECT_EQ(rig.Keying.Engine.SpeedIndex(), 0);
    rig.Controls.UpdateSpeedLabel(31);
    rig.Controls.SpeedUp();
    EXPECT_EQ(rig.Keying.Engine.SpeedIndex(), 31);

    EXPECT_EQ(rig.Controls.SpeedFromReceived("100/Min"), "100/Min");
    EXPECT_EQ(rig.Keying.Engine.SpeedIndex(), 15);
    rig.Controls.SpeedFromReceived("---");
    EXPECT_EQ(rig.Keying.Engine.SpeedIndex(), 0);

    // A speed key forgets the step saved by a speed tag.
    rig.Controls.UpdateSpeedLabel(10);
    rig.Keying.Send("<+2 UP>");
    rig.Controls.SpeedUp();
    rig.Keying.Send("<ORIGINAL>");
    EXPECT_EQ(rig.Keying.Engine.SpeedIndex(), 13);

    // Ctrl+F9 forgets it too.
    rig.Keying.Send("<-1 DOWN>");
    rig.Controls.StoreSpeedPreset();
    rig.Keying.Send("<ORIGINAL>");
    EXPECT_EQ(rig.Keying.Engine.SpeedIndex(), 12);
    rig.Controls.UpdateSpeedLabel(13);

    // Each weight combo sets its own weight and setting.
    EXPECT_EQ(rig.Controls.SelectWeight('A', 4.5), SpeedLabelText(13, {1.0, 4.5, 3.0, 7.0}));
    EXPECT_EQ(rig.Controls.SelectWeight('D', 1.3), SpeedLabelText(13, {1.3, 4.5, 3.0, 7.0}));
    EXPECT_EQ(rig.Controls.SelectWeight('C', 5.0), SpeedLabelText(13, {1.3, 4.5, 5.0, 7.0}));
    EXPECT_EQ(rig.Controls.SelectWeight('W', 9.0), SpeedLabelText(13, {1.3, 4.5, 5.0, 9.0}));
    Weights chosen = rig.Keying.Engine.CurrentWeights();
    EXPECT_EQ(chosen.Dot, 1.3);
    EXPECT_EQ(chosen.Dash, 4.5);
    EXPECT_EQ(chosen.CharSpace, 5.0);
    EXPECT_EQ(chosen.WordSpace, 9.0);
    // Each combo writes its own entry; a settings file's value writes none.
    rig.Controls.SelectWeight('W', 8.0, false);
    EXPECT_EQ(rig.Keying.Engine.CurrentWeights().WordSpace, 8.0);
    EXPECT_EQ(rig.Settings["DotRatio"], "1.3");
    EXPECT_EQ(rig.Settings["DashRatio"], "4.5");
    EXPECT_EQ(rig.Settings["CharSpaceRatio"], "5.0");
    EXPECT_EQ(rig.Settings["WordSpaceRatio"], "9.0");
}

TEST(TransmitControls, TxClearWhileKeyingFinishesTheCharacter) {
    ControlsRig rig;
    rig.AutoCq.running = true;
    rig.Keying.Text.Append("TTTT");
    for (int i = 0; i < 3; ++i)
        rig.Keying.Timer.Tick(rig.Keying.Engine);
    rig.Controls.TxClear();
    rig.Keying.Timer.RunUntilIdle(rig.Keying.Engine);
    EXPECT_EQ(HeardMorse(rig.Keying.Output.Events(), 60), "-");
    EXPECT_EQ(rig.Keying.Text.Position(), 4u);
    EXPECT_EQ(rig.Keying.Text.Text(), "TX> ");
    EXPECT_TRUE(rig.Keying.Receive.ReceiveEnabled);
    EXPECT_FALSE(rig.AutoCq.running);
    bool monitorCleared = false;
    for (auto& command : rig.Keying.Windows.Drain()) {
        monitorCleared |= std::holds_alternative<text::command::ClearMonitor>(command);
    }
    EXPECT_TRUE(monitorCleared);

    // The Auto CQ repeat's clear leaves Auto CQ alone.
    rig.AutoCq.running = true;
    rig.Controls.ClearTransmit(false);
    EXPECT_TRUE(rig.AutoCq.running);
}

TEST(TransmitControls, AutomaticClearCountsDownAfterTheLastCharacter) {
    ControlsRig rig;
    rig.Keying.Engine.SetKeyMode(KeyMode::Direct);
    rig.Controls.SetTxClearAuto(true);
    EXPECT_EQ(rig.Settings["TxClearAuto"], "TxClearAutoON");
    rig.Controls.SetAutoClearDelayS(2);
    EXPECT_EQ(rig.Settings["TxClearDelay"], "02");  // the field's two digits
    EXPECT_EQ(rig.Controls.AutoClearCountdown(), kAutoClearAfterClearS);
    // The engine's end of character reloads the countdown from the delay.
    testing::KeyingRig& keying = rig.Keying;
    KeyingEngine engine({keying.Text, keying.Output, keying.Echo, keying.Receive, rig.Controls});
    engine.SetKeyMode(KeyMode::Direct);
    keying.Text.Append("E<VK_F6><TXTIME><+1 UP><K");
    keying.Timer.RunUntilIdle(engine, 3000);
    EXPECT_EQ(rig.Controls.AutoClearCountdown(), 2);
    // The other hooks reach the station's listener.
    EXPECT_EQ(keying.Listener.Keys, std::vector<int>{6});
    EXPECT_EQ(keying.Listener.Speeds, std::vector<int>{16});
    EXPECT_EQ(keying.Listener.Characters, 2);
    // A romaji group still waiting keeps the text.
    rig.Controls.OneSecondTick();
    EXPECT_EQ(rig.Controls.AutoClearCountdown(), 2);
    keying.Text.Append("A");
    keying.Timer.RunUntilIdle(engine);
    // Auto CQ running keeps it too.
    rig.AutoCq.running = true;
    rig.Controls.OneSecondTick();
    EXPECT_EQ(rig.Controls.AutoClearCountdown(), 2);
    rig.AutoCq.running = false;
    rig.Controls.OneSecondTick();
    rig.Controls.OneSecondTick();
    EXPECT_EQ(keying.Text.Text(), "TX> E<VK_F6><TXTIME><+1 UP><KA");
    rig.Controls.OneSecondTick();
    EXPECT_EQ(keying.Text.Text(), "TX> ");
    EXPECT_EQ(rig.Controls.AutoClearCountdown(), kAutoClearAfterClearS);
}

TEST(TransmitControls, ManualKeyAndKeyModeChange) {
    ControlsRig rig;
    rig.Controls.ManualKeyDown();
    rig.Controls.KeyReleased();
    rig.Controls.KeyReleased();
    ASSERT_EQ(rig.Keying.Output.Events().size(), 2u);
    EXPECT_EQ(rig.Keying.Output.Events()[0].Action, KeyAction::Down);
    EXPECT_EQ(rig.Keying.Output.Events()[1].Action, KeyAction::Up);

    EXPECT_EQ(rig.Controls.SelectKeyMode(KeyMode::Direct), (ModeLabels{"Eng", "English/J"}));
    EXPECT_EQ(rig.Settings["KeyMode"], "DIRECT");
    rig.Keying.Text.Append("<K");
    EXPECT_FALSE(rig.Keying.Timer.RunUntilIdle(rig.Keying.Engine, 3000));
    // Changing the mode drops the waiting group: K goes out as a Latin letter.
    // Leaving E/J Direct empties only the first label.
    EXPECT_EQ(rig.Controls.SelectKeyMode(KeyMode::Ime), (ModeLabels{"", std::nullopt}));
    EXPECT_EQ(rig.Settings["KeyMode"], "IME");
    EXPECT_TRUE(rig.Keying.Timer.RunUntilIdle(rig.Keying.Engine));
    std::vector<KeyEvent> keyed(rig.Keying.Output.Events().begin() + 2,
                                rig.Keying.Output.Events().end());
    EXPECT_EQ(HeardMorse(keyed, 60), "-..--- -.-");
}

TEST(TransmitControls, LabelsAndHalfWidthKanaRewrite) {
    EXPECT_EQ(TransmitControls::DirectLabelsFor("TX> <"), (ModeLabels{"japanese", "Japanese/E"}));
    EXPECT_EQ(TransmitControls::DirectLabelsFor("TX> KA)"), (ModeLabels{"japanese", "Japanese/E"}));
    EXPECT_EQ(TransmitControls::DirectLabelsFor("TX> >"), (ModeLabels{"Eng", "English/J"}));
    EXPECT_FALSE(TransmitControls::DirectLabelsFor("TX> A"));

    EXPECT_EQ(TransmitControls::FullWidthLastKana("TX> ｶ"), "TX> カ");
    EXPECT_EQ(TransmitControls::FullWidthLastKana("TX> ｱｯ"), "TX> ｱッ");
    EXPECT_EQ(TransmitControls::FullWidthLastKana("TX> ｰ"), "TX> ー");
    EXPECT_EQ(TransmitControls::FullWidthLastKana("TX> \\"), "TX> ー");
    EXPECT_FALSE(TransmitControls::FullWidthLastKana("TX> カ"));
    EXPECT_FALSE(TransmitControls::FullWidthLastKana(""));
}

}  // namespace
}  // namespace morvane::transmit
