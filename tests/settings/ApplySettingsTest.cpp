// Applying the settings document, against a fake that records every call in
// order: contest mode first, the three entry rules, "0705" for an empty 122,
// option string completion and a port that does not open.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "settings/ApplySettings.h"

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

    void SetTypingMode(int mode) override { Log("typing " + N(mode)); }
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
    Recorder rec;
    SettingsDocument doc;
    OptionState state;
};

TEST_F(ApplySettingsTest, EmptyDocumentAppliesOnlyTheUnconditionalEntries) {
    state.Texts.MyCall = "JA1ZZZ";
    state.Texts.ContestName = "ALLJA1";
    rec.contest = true;
    Apply("C:\\Ham\\");
    const std::vector<std::string> expected = {"title ()",        "contest off", "autocq ",
                                               "autothreshold 0", "ratio0 ",     "ratio1 ",
                                               "ratio2 ",         "times 0705",  "rx clear"};
    EXPECT_EQ(rec.calls, expected);
    EXPECT_EQ(state.Texts.MyCall, "");             // copied even when empty
    EXPECT_EQ(state.Texts.ContestName, "ALLJA1");  // skipped when empty
    EXPECT_EQ(state.Options, kDefaultOptions);
    EXPECT_EQ(state.DataFilePath, "C:\\Ham\\");
}

TEST_F(ApplySettingsTest, FullDocumentInOrder) {
    doc.SetEntry("ContestON", 124);
    doc.SetEntry("CQ TEST", 115);
    doc.SetEntry("TU", 1);
    doc.SetEntry("<HisRST> <TestNR>", 13);
    doc.SetEntry("Mac30", 30);
    doc.SetEntry("Run", 31);
    doc.SetEntry("4", 61);
    doc.SetEntry("x3", 62);
    doc.SetEntry("SH", 91);  // short: completed from the current string
    doc.SetEntry("JA1ZZZ", 92);
    doc.SetEntry("COM3", 96);
    doc.SetEntry("DTR", 97);
    doc.SetEntry("USB Audio", 107);
    doc.SetEntry("RightTone", 98);
    doc.SetEntry("Signal", 100);
    doc.SetEntry("FFT", 101);
    doc.SetEntry("7", 102);
    doc.SetEntry("NoiseON2", 103);
    doc.SetEntry("QRMOFF", 104);
    doc.SetEntry("-12", 105);
    doc.SetEntry("732", 106);
    doc.SetEntry("KANA", 108);
    doc.SetEntry("SpaceDelON", 109);
    doc.SetEntry("JA", 110);
    doc.SetEntry("yes", 111);
    doc.SetEntry("ThreON", 112);
    doc.SetEntry("TxClearAutoON", 113);
    doc.SetEntry("31", 114);
    doc.SetEntry("rxautoON", 116);
    doc.SetEntry("JAR", 117);
    doc.SetEntry("3.0", 118);
    doc.SetEntry("7.0", 121);
    doc.SetEntry("20", 99);
    doc.SetEntry("1203", 122);
    doc.SetEntry("ALLJA1", 123);
    doc.SetEntry("015", 125);
    doc.SetEntry("Google", 126);
    doc.SetEntry("8J", 142);
    std::vector<std::string> expected = {
        "title (station.mrvn)",
        "contest on",
        "autocq CQ TEST",
        "macro1 TU",
        "template0 <HisRST> <TestNR>",
        "macro30 Mac30",
        "caption1 Run",
        "colour1 4",
        "colour2 0",
        "options 12 ＭＳ ゴシック",
        "open COM3",
        "port caption COM Port",
        "select port COM3",
        "key line 1",
        "device USB Audio",
        "channel right",
        "level 1",
        "graphic 2",
        "volume 7",
        "noise 2",
        "qrm 0",
        "threshold -12",
        "tone 2 732",
        "typing 3",
        "spacedel 1",
        "language JA",
        "extend 0",
        "autothreshold 1",
        "txclearauto 1",
        "rxauto 1",
        "ratio0 3.0",
        "ratio1 ",
        "ratio2 ",
        "ratio3 7.0",
        "speed 20",
        "times 1203",
        "number 015",
        "refresh",
        "link126 Google",
        "rx clear",
    };
    EXPECT_EQ(Apply(), expected);
    EXPECT_EQ(state.Options, "SHNNNJJ001218NN0NNNR9ANNHCNNNN");
    EXPECT_EQ(state.Texts.MyCall, "JA1ZZZ");
    EXPECT_EQ(state.Texts.Qsl, "JAR");
    EXPECT_EQ(state.Texts.QslPrefix, "8J");
    EXPECT_EQ(state.Texts.ContestName, "ALLJA1");
}

TEST_F(ApplySettingsTest, TemplatesGoToMacrosWhenContestModeIsOff) {
    doc.SetEntry("ContestOFF", 124);
    doc.SetEntry("<HisRST> <TestNR>", 13);
    doc.SetEntry("015", 125);
    Apply();
    EXPECT_NE(std::find(rec.calls.begin(), rec.calls.end(), "macro13 <HisRST> <TestNR>"),
              rec.calls.end());
    EXPECT_EQ(std::find(rec.calls.begin(), rec.calls.end(), "number 015"), rec.calls.end());
    EXPECT_EQ(std::find(rec.calls.begin(), rec.calls.end(), "refresh"), rec.calls.end());
}

TEST_F(ApplySettingsTest, PortFailuresAreReportedAndTheRestStillApplies) {
    rec.portOpens = false;
    doc.SetEntry("USBIF", 96);
    doc.SetEntry("RTS", 97);
    doc.SetEntry("LeftTone", 98);
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
    doc.SetEntry("rts", 97);  // words match exactly, case included
    doc.SetEntry("Stereo", 98);
    doc.SetEntry("Bars", 100);
    doc.SetEntry("X", 110);
    doc.SetEntry("Thre", 112);  // any other value unchecks
    doc.SetEntry("ToneAutoOff", 106);
    Apply();
    const std::vector<std::string> expected = {
        "title (station.mrvn)", "contest off", "autocq ", "tone 1 0",
        "autothreshold 0",      "ratio0 ",     "ratio1 ", "ratio2 ",
        "times 0705",           "rx clear"};
    EXPECT_EQ(rec.calls, expected);
}

}  // namespace
}  // namespace morvane::settings
