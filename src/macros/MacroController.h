// The macro side of the station: firing macros into the transmit window, the
// label banks, the contest mode switch and the SendNR text, the results of
// the editing dialogs, and running Auto CQ. The window implements MacroHost
// and forwards clicks, timer ticks and field changes here.
#pragma once

#include <string>
#include <string_view>

#include "common/SettingsEntries.h"
#include "macros/AutoCq.h"
#include "macros/MacroExpansion.h"
#include "macros/MacroStore.h"

namespace morvane::macros {

class MacroHost {
  public:
    virtual ~MacroHost() = default;
    // Current QSO fields, operator settings, option string, greeting and Key Mode.
    virtual ExpansionFields QsoFields() = 0;
    virtual void FocusHisCall() = 0;
    virtual void FocusTxEdit() = 0;  // the host skips it while a QSO field has the focus
    virtual void EmptyHisCall() = 0;
    virtual void AppendToTransmit(std::string_view text) = 0;  // caret to the end, then insert
    virtual void ClearTransmitText() = 0;  // back to the prompt, keying engine reset
    virtual void ClearMonitor() = 0;
    virtual void SetAutoCqLabelEnabled(bool enabled) = 0;
    virtual void SetLabelEnabled(int label, bool enabled) = 0;
    virtual void ShowLabel(int label, const LabelView& view) = 0;
    virtual void ShowSendNr(std::string_view text) = 0;
    virtual void SetQsoGroupCaptions(std::string_view hisName, std::string_view hisQth) = 0;
    // Contest: HisName and HisQTH emptied and hidden, SendNR and RcvdNR shown.
    virtual void ShowContestFields(bool contest) = 0;
    virtual void ResetSendMark() = 0;
};

class MacroController {
  public:
    MacroController(MacroHost& host, common::SettingSink& settings, const StationClock& clock,
                    GreetingHourSource& greetingHours,
                    std::span<const decode::HalfWidthKanaRow> kanaTable = {});

    MacroStore& Store() { return store_; }
    MacroExpander& Expander() { return expander_; }
    AutoCq& AutoCqCounters() { return autoCq_; }
    const std::string& SendNrText() const { return sendNrText_; }
    const std::string& ContestNumber() const { return contestNumber_; }
    // The fields with this side's contest values filled in.
    ExpansionFields Fields();

    // Sends the unexpanded text in the expander's WorkText.
    void SendMacroText();
    void FireMacro(int macro);
    void ClickLabel(int label);  // left click; contest labels 13-15 of bank 1 do nothing
    void SetBank(bool shift);
    void RefreshSendNr();
    void ToggleContest(bool on);
    void ContestNumberChanged(std::string_view text);
    void HisRstChanged();

    // Dialogs: the label is disabled while its dialog is open.
    void BeginEdit(int label);
    void FinishMacroDialog(int label, bool accepted, std::string_view text,
                           std::string_view caption, int colour);
    void FinishRemarksDialog(int label, bool accepted, std::string_view text);
    void FinishSendNrDialog(int label, bool accepted, std::string_view text);
    void FinishAutoCqDialog(bool accepted, std::string_view text, std::string_view times);
    const std::string& AutoCqTimes() const { return autoCqTimes_; }

    // Auto CQ.
    void StartAutoCq();   // click on the "Auto CQ" label; ignored while running
    void OnSecondTick();  // the one-second timer
    void StopAutoCq();    // label enabled, flags cleared
    // Early stops: HisCall typed, call sign captured, TxClear.
    void OnHisCallChanged(std::string_view text);
    void StopAutoCqAndClear();

    // Applying a data file (no entry stored again).
    void SetContestMode(bool on);
    bool ContestMode() const { return store_.ContestMode; }
    void SetAutoCqText(std::string_view text) { store_.MacroText[0] = text; }
    void SetMacroText(int macro, std::string_view text);
    void SetContestTemplate(int which, std::string_view text);
    void SetMacroCaption(int macro, std::string_view caption);
    void SetMacroColour(int macro, int colour);
    void SetAutoCqTimes(std::string_view times);
    void SetContestNumber(std::string_view text);

    // Hover help of a label (0 is "Auto CQ"): what it would send, its tags
    // expanded as for sending but in the case it was written in; the
    // contest labels of bank 1 show their templates the same way.
    std::string HoverText(int label);

  private:
    void Store(common::EntryId entry, std::string value);
    void ShowContestLabels();
    void RefreshLabelOf(int macro);
    void AfterEdit(int label);
    int AppendExpanded(std::string_view text);  // returns the characters appended
    std::string ExpandForSending(std::string_view text);

    MacroHost& host_;
    common::SettingSink& settings_;
    MacroExpander expander_;
    MacroStore store_;
    AutoCq autoCq_;
    std::string sendNrText_;
    std::string contestNumber_;
    std::string autoCqTimes_ = "0705";
};

}  // namespace morvane::macros
