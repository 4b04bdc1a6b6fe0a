// Applying a settings document to the real macro controller: entries 13 to 15
// follow the contest mode at the time of applying, and an empty document
// switches contest mode off and gives Auto CQ 7 s and 5 repetitions.
#include <gtest/gtest.h>

#include "macros/MacroController.h"
#include "settings/ApplySettings.h"

namespace morvane::macros {
namespace {

using namespace settings;

class NoHours : public GreetingHourSource {
  public:
    int DxLocalHour(std::string_view) override { return 25; }
};

// Everything but the macro side does nothing here.
class QuietStation : public MacroHost,
                     public StationWindow,
                     public KeyingPortControl,
                     public CaptureControl,
                     public ReceiveOptions,
                     public TransmitOptions {
  public:
    ExpansionFields QsoFields() override { return fields; }
    void FocusHisCall() override {}
    void FocusTxEdit() override {}
    void EmptyHisCall() override {}
    void AppendToTransmit(std::string_view) override {}
    void ClearTransmitText() override {}
    void ClearMonitor() override {}
    void SetAutoCqLabelEnabled(bool) override {}
    void SetLabelEnabled(int, bool) override {}
    void ShowLabel(int, const LabelView&) override {}
    void ShowSendNr(std::string_view text) override { shownSendNr = text; }
    void SetQsoGroupCaptions(std::string_view, std::string_view) override {}
    void ShowContestFields(bool) override {}
    void ResetSendMark() override {}
    void SetTitleFileName(std::string_view) override {}
    void ShowMessage(std::string_view) override {}
    char MonitorMode() const override { return 'R'; }
    void ApplyOptionEffects(const OptionEffects&) override {}
    void SetWebLink(int, std::string_view) override {}
    bool OpenKeyingPort(std::string_view) override { return true; }
    void SetPortCaption(std::string_view) override {}
    void SelectPort(std::string_view) override {}
    void SetKeyLine(KeyLine) override {}
    void SelectCaptureDevice(std::string_view) override {}
    void SelectInputChannel(InputChannel) override {}
    void SetLevelDisplay(LevelDisplay) override {}
    void SetGraphicMode(GraphicMode) override {}
    void SetInputVolume(int) override {}
    void SetNoiseReduction(int) override {}
    void SetQrmFilter(bool) override {}
    void SetThresholdDb(int) override {}
    void SetToneCentre(const ToneCentre&) override {}
    void SetSpaceDelete(bool) override {}
    void SetReceiveLanguage(char, char) override {}
    void SetExtend(bool) override {}
    void SetAutoThreshold(bool) override {}
    void SetAutoReceiveSpeed(bool) override {}
    void ClearReceiveText() override {}
    void SetTypingMode(int) override {}
    void SetTxClearAuto(bool) override {}
    void SetTxClearDelay(int) override {}
    void SelectRatio(RatioCombo, std::string_view) override {}
    void SetSpeedStep(int) override {}

    void Apply(const SettingsDocument& applied) {
        ApplyTargets targets{*this, macros, *this, *this, *this, *this};
        ApplySettings(applied, "/home/op/contest.mrvn", options, targets);
    }

    ExpansionFields fields;
    std::string shownSendNr;
    FixedClock clock{{}};
    NoHours hours;
    SettingsDocument document;
    OptionState options;
    MacroController macros{*this, document, clock, hours};
};

TEST(ApplyToMacrosTest, ContestTemplatesFollowTheModeWhenApplied) {
    QuietStation editing;
    editing.macros.ToggleContest(true);
    editing.macros.FinishSendNrDialog(13, true, "<HisRST> <TestNR>");
    editing.macros.FinishRemarksDialog(14, true, "<RcvdNR%15>");
    editing.macros.ContestNumberChanged("007");
    SettingsDocument saved = editing.document;

    saved.SetEntry("ContestOFF", 124);
    QuietStation plain;
    plain.Apply(saved);
    EXPECT_FALSE(plain.macros.ContestMode());
    EXPECT_EQ(plain.macros.Store().MacroText[13], "<HisRST> <TestNR>");
    EXPECT_EQ(plain.macros.Store().MacroText[14], "<RcvdNR%15>");
    EXPECT_EQ(plain.macros.Store().SendNrTemplate, "");
    EXPECT_EQ(plain.macros.ContestNumber(), "");  // 125 applies only in contest mode

    saved.SetEntry("ContestON", 124);
    QuietStation contest;
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
    QuietStation station;
    station.macros.ToggleContest(true);
    station.macros.SetAutoCqTimes("1203");
    station.macros.Store().MacroCaption[3] = "kept";
    station.options.Texts.MyCall = "JA1ZZZ";
    SettingsDocument empty;
    station.Apply(empty);
    EXPECT_FALSE(station.macros.ContestMode());
    EXPECT_EQ(station.macros.AutoCqCounters().Interval(), 7);
    EXPECT_EQ(station.macros.AutoCqCounters().Repeat(), 5);
    EXPECT_EQ(station.macros.Store().MacroCaption[3], "kept");  // skipped when empty
    EXPECT_EQ(station.options.Texts.MyCall, "");
}

}  // namespace
}  // namespace morvane::macros
