// Applying the settings document, against a fake that records every call in
// order: contest mode first, the three entry rules, "0705" for an empty 122,
// option string completion and a port that does not open; then against the
// real macro controller.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "macros/MacroController.h"
#include "settings/ApplySettings.h"
#include "settings/MacroSettings.h"

namespace morvane::settings {
namespace {

class Recorder : public StationWindow,
                 public MacroSettingsTarget,
                 public KeyingPortControl,
                 public CaptureControl,
                 public ReceiveOptions,
                 public TransmitOptions {
  public:
    void Log(std::string text) { calls.push_back(std::move(text)); }
    static std::string S(std::string_view text) { return std::string(text); }
    static std::string N(int value) { return std::to_string(value); }

    void SetTitleFileName(std::string_view part) override { Log("title" + S(part)); }
    void ShowMessage(std::string_view text) override { Log("message " + S(text)); }
    char MonitorMode() const override { return 'R'; }
    void ApplyOptionEffects(const OptionEffects& e) override {
        Log("options " + N(e.TextPoints) + " " + e.FontFamily);
    }
    void SetWebLink(int entry, std::string_view text) override {
        Log("link" + N(entry) + " " + S(text));
    }

    void SetContestMode(bool on) override {
        contest = on;
        Log(on ? "contest on" : "contest off");
    }
    bool ContestMode() const override { return contest; }
    void SetAutoCqText(std::string_view text) override { Log("autocq " + S(text)); }
    void SetMacroText(int k, std::string_view text) override {
        Log("macro" + N(k) + " " + S(text));
    }
    void SetContestTemplate(int which, std::string_view text) override {
        Log("template" + N(which) + " " + S(text));
    }
    void SetMacroCaption(int k, std::string_view text) override {
        Log("caption" + N(k) + " " + S(text));
    }
    void SetMacroColour(int k, int colour) override { Log("colour" + N(k) + " " + N(colour)); }
    void SetAutoCqTimes(std::string_view times) override { Log("times " + S(times)); }
    void SetContestNumber(std::string_view text) override { Log("number " + S(text)); }
    void RefreshSendNr() override { Log("refresh"); }

    bool OpenKeyingPort(std::string_view name) override {
        Log("open " + S(name));
        return portOpens;
    }
    void SetPortCaption(std::string_view caption) override { Log("port caption " + S(caption)); }
    void SelectPort(std::string_view name) override { Log("select port " + S(name)); }
    void SetKeyLine(KeyLine line) override { Log("key line " + N(static_cast<int>(line))); }

    void SelectCaptureDevice(std::string_view name) override { Log("device " + S(name)); }
    void SelectInputChannel(InputChannel c) override {
        Log(c == InputChannel::Right ? "channel right" : "channel left");
    }

    void SetLevelDisplay(LevelDisplay m) override { Log("level " + N(static_cast<int>(m))); }
    void SetGraphicMode(GraphicMode m) override { Log("graphic " + N(static_cast<int>(m))); }
    void SetInputVolume(int v) override { Log("volume " + N(v)); }
    void SetNoiseReduction(int m) override { Log("noise " + N(m)); }
    void SetQrmFilter(bool on) override { Log("qrm " + N(on)); }
    void SetThresholdDb(int db) override { Log("threshold " + N(db)); }
    void SetToneCentre(const ToneCentre& c) override {
        Log("tone " + N(static_cast<int>(c.Mode)) + " " + N(c.Hz));
    }
    void SetSpaceDelete(bool on) override { Log("spacedel " + N(on)); }
    void SetReceiveLanguage(char l, char a) override { Log(std::string("language ") + l + a); }
    void SetExtend(bool on) override { Log("extend " + N(on)); }
    void SetAutoThreshold(bool on) override { Log("autothreshold " + N(on)); }
    void SetAutoReceiveSpeed(bool on) override { Log("rxauto " + N(on)); }
    void ClearReceiveText() override { Log("rx clear"); }

    void SetTypingMode(common::KeyMode mode) override {
        Log("typing " + N(static_cast<int>(mode)));
    }
    void SetTxClearAuto(bool on) override { Log("txclearauto " + N(on)); }
    void SetTxClearDelay(int s) override { Log("txcleardelay " + N(s)); }
    void SelectRatio(RatioCombo c, std::string_view item) override {
        Log("ratio" + N(static_cast<int>(c)) + " " + S(item));
    }
    void SetSpeedStep(int position) override { Log("speed " + N(position)); }

    ApplyTargets Targets() { return {*this, *this, *this, *this, *this, *this}; }

    bool contest = false;
    bool portOpens = true;
    std::vector<std::string> calls;
};

class ApplySettingsTest : public ::testing::Test {
  protected:
    std::vector<std::string> Apply(std::string_view path = "C:\\Ham\\station.mrvn") {
        ApplyTargets targets = rec.Targets();
        ApplySettings(doc, path, state, targets);
        return rec.calls;
    }
    // Entries given as "number text" items separated by "|".
    void SetEntries(std::string_view items) {
        for (std::size_t end = 0; !items.empty();
             items.remove_prefix(std::min(end + 1, items.size()))) {
            end = std::min(items.find('|'), items.size());
            std::size_t space = items.find(' ');
            doc.SetEntry(std::string(items.substr(space + 1, end - space - 1)),
                         std::stoi(std::string(items.substr(0, space))));
        }
    }
    // Every recorded call, in order, separated by "|".
    std::string Calls() const {
        std::string joined;
        for (const std::string& call : rec.calls) {
            joined += (joined.empty() ? "" : "|") + call;
        }
        return joined;
    }
    bool Called(std::string_view call) const {
        return std::find(rec.calls.begin(), rec.calls.end(), call) != rec.calls.end();
    }
    Recorder rec;
    SettingsDocument doc;
    OptionState state;
};

TEST_F(ApplySettingsTest, EmptyDocumentAppliesOnlyTheUnconditionalEntries) {
    state.Texts.MyCall = "JA1ZZZ";
    state.Texts.ContestName = "ALLJA1";
    rec.contest = true;
    Apply("C:\\Ham\\");
    EXPECT_EQ(Calls(),
              "title ()|contest off|autocq |autothreshold 0|ratio0 |ratio1 |ratio2 |times 0705|"
              "rx clear");
    EXPECT_EQ(state.Texts.MyCall, "");             // copied even when empty
    EXPECT_EQ(state.Texts.ContestName, "ALLJA1");  // skipped when empty
    EXPECT_EQ(state.Options, kDefaultOptions);
    EXPECT_EQ(state.DataFilePath, "C:\\Ham\\");
}

TEST_F(ApplySettingsTest, FullDocumentInOrder) {
    // 91 is short: completed from the current string.
    SetEntries(
        "124 ContestON|115 CQ TEST|1 TU|13 <HisRST> <TestNR>|30 Mac30|31 Run|61 4|62 x3|91 SH|"
        "92 JA1ZZZ|96 COM3|97 DTR|107 USB Audio|98 RightTone|100 Signal|101 FFT|102 7|"
        "103 NoiseON2|104 QRMOFF|105 -12|106 732|108 KANA|109 SpaceDelON|110 JA|111 yes|"
        "112 ThreON|113 TxClearAutoON|114 31|116 rxautoON|117 JAR|118 3.0|121 7.0|99 20|"
        "122 1203|123 ALLJA1|125 015|126 Google|142 8J");
    Apply();
    EXPECT_EQ(Calls(),
              "title (station.mrvn)|contest on|autocq CQ TEST|macro1 TU|"
              "template0 <HisRST> <TestNR>|macro30 Mac30|caption1 Run|colour1 4|colour2 0|"
              "options 12 ＭＳ ゴシック|open COM3|port caption COM Port|select port COM3|"
              "key line 1|device USB Audio|channel right|level 1|graphic 2|volume 7|noise 2|"
              "qrm 0|threshold -12|tone 2 732|typing 3|spacedel 1|language JA|extend 0|"
              "autothreshold 1|txclearauto 1|rxauto 1|ratio0 3.0|ratio1 |ratio2 |ratio3 7.0|"
              "speed 20|times 1203|number 015|refresh|link126 Google|rx clear");
    EXPECT_EQ(state.Options, "SHNNNJJ001218NN0NNNR9ANNHCNNNN");
    EXPECT_EQ(state.Texts.MyCall, "JA1ZZZ");
    EXPECT_EQ(state.Texts.Qsl, "JAR");
    EXPECT_EQ(state.Texts.QslPrefix, "8J");
    EXPECT_EQ(state.Texts.ContestName, "ALLJA1");
}

TEST_F(ApplySettingsTest, TemplatesGoToMacrosWhenContestModeIsOff) {
    SetEntries("124 ContestOFF|13 <HisRST> <TestNR>|125 015");
    Apply();
    EXPECT_TRUE(Called("macro13 <HisRST> <TestNR>"));
    EXPECT_FALSE(Called("number 015"));
    EXPECT_FALSE(Called("refresh"));
}

TEST_F(ApplySettingsTest, PortFailuresAreReportedAndTheRestStillApplies) {
    rec.portOpens = false;
    SetEntries("96 USBIF|97 RTS|98 LeftTone");
    Apply();
    std::vector<std::string> portPart(rec.calls.begin() + 3, rec.calls.begin() + 8);
    EXPECT_EQ(portPart,
              (std::vector<std::string>{"open USBIF", "message USBIF4CWが見つかりませんでした。",
                                        "select port USBIF", "key line 0", "channel left"}));
    EXPECT_EQ(rec.calls.back(), "rx clear");

    rec.calls.clear();
    doc.SetEntry("COM49", 96);
    Apply();
    EXPECT_EQ(rec.calls[4], "message ポートが開けませんでした。");

    rec.calls.clear();
    rec.portOpens = true;
    doc.SetEntry("USBIF", 96);
    Apply();
    EXPECT_EQ(rec.calls[4], "port caption USBIF4CW");
}

TEST_F(ApplySettingsTest, UnknownWordsAndSameOptionsChangeNothing) {
    doc.SetEntry(std::string(kDefaultOptions), 91);
    // Words match exactly, case included; for 112 any other value unchecks.
    SetEntries("97 rts|98 Stereo|100 Bars|110 X|112 Thre|106 ToneAutoOff");
    Apply();
    EXPECT_EQ(Calls(),
              "title (station.mrvn)|contest off|autocq |tone 1 0|autothreshold 0|ratio0 |ratio1 "
              "|ratio2 |times 0705|rx clear");
}

class NoHours : public macros::GreetingHourSource {
  public:
    int DxLocalHour(std::string_view) override { return 25; }
};

// The real macro controller takes the macro side; the recorder takes the rest.
class MacroStation : public Recorder, public macros::MacroHost {
  public:
    macros::ExpansionFields QsoFields() override { return fields; }
    void FocusHisCall() override {}
    void FocusTxEdit() override {}
    void EmptyHisCall() override {}
    void AppendToTransmit(std::string_view) override {}
    void ClearTransmitText() override {}
    void ClearMonitor() override {}
    void SetAutoCqLabelEnabled(bool) override {}
    void SetLabelEnabled(int, bool) override {}
    void ShowLabel(int, const macros::LabelView&) override {}
    void ShowSendNr(std::string_view text) override { shownSendNr = text; }
    void SetQsoGroupCaptions(std::string_view, std::string_view) override {}
    void ShowContestFields(bool) override {}
    void ResetSendMark() override {}

    void Apply(const SettingsDocument& applied) {
        ApplyTargets targets{*this, macroSettings, *this, *this, *this, *this};
        ApplySettings(applied, "/home/op/contest.mrvn", options, targets);
    }

    macros::ExpansionFields fields;
    std::string shownSendNr;
    macros::FixedClock clock{{}};
    NoHours hours;
    SettingsDocument document;
    OptionState options;
    macros::MacroController macros{*this, document, clock, hours};
    MacroControllerSettings macroSettings{macros};
};

// Entries 13 to 15 follow the contest mode at the time of applying.
TEST(ApplyToMacrosTest, ContestTemplatesFollowTheModeWhenApplied) {
    MacroStation editing;
    editing.macros.ToggleContest(true);
    editing.macros.FinishSendNrDialog(13, true, "<HisRST> <TestNR>");
    editing.macros.FinishRemarksDialog(14, true, "<RcvdNR%15>");
    editing.macros.ContestNumberChanged("007");
    SettingsDocument saved = editing.document;

    saved.SetEntry("ContestOFF", 124);
    MacroStation plain;
    plain.Apply(saved);
    EXPECT_FALSE(plain.macros.ContestMode());
    EXPECT_EQ(plain.macros.Store().MacroText[13], "<HisRST> <TestNR>");
    EXPECT_EQ(plain.macros.Store().MacroText[14], "<RcvdNR%15>");
    EXPECT_EQ(plain.macros.Store().SendNrTemplate, "");
    EXPECT_EQ(plain.macros.ContestNumber(), "");  // 125 applies only in contest mode

    saved.SetEntry("ContestON", 124);
    MacroStation contest;
    contest.fields.HisRST = "5NN";
    contest.Apply(saved);
    EXPECT_EQ(contest.macros.Store().MacroText[13], "");
    EXPECT_EQ(contest.macros.Store().SendNrTemplate, "<HisRST> <TestNR>");
    EXPECT_EQ(contest.macros.Store().Remarks1Template, "<RcvdNR%15>");
    EXPECT_EQ(contest.macros.ContestNumber(), "007");
    EXPECT_EQ(contest.macros.SendNrText(), "5NN 007");
    EXPECT_EQ(contest.shownSendNr, "5NN 007");
}

TEST(ApplyToMacrosTest, EmptyDocumentSwitchesContestOffAndDefaultsAutoCq) {
    MacroStation station;
    station.macros.ToggleContest(true);
    station.macros.SetAutoCqTimes("1203");
    station.macros.Store().MacroCaption[3] = "kept";
    station.options.Texts.MyCall = "JA1ZZZ";
    station.Apply(SettingsDocument{});
    EXPECT_FALSE(station.macros.ContestMode());
    EXPECT_EQ(station.macros.AutoCqCounters().Interval(), 7);
    EXPECT_EQ(station.macros.AutoCqCounters().Repeat(), 5);
    EXPECT_EQ(station.macros.Store().MacroCaption[3], "kept");  // skipped when empty
    EXPECT_EQ(station.options.Texts.MyCall, "");
}

}  // namespace
}  // namespace morvane::settings
