// The macro side of the station; see MacroController.h.
#include "macros/MacroController.h"

#include "common/Utf8.h"

namespace morvane::macros {

namespace {
constexpr std::string_view kFocusHisCallTag = "<VK_F1>";
using common::EntryId;
constexpr const auto& ContestWords() {
    return common::RowOf(EntryId::ContestMode).Words;
}
}  // namespace

void MacroController::Store(common::EntryId entry, std::string value) {
    settings_.StoreSetting(common::Index(entry), std::move(value));
}

MacroController::MacroController(MacroHost& host, common::SettingSink& settings,
                                 const StationClock& clock, GreetingHourSource& greetingHours,
                                 std::span<const decode::HalfWidthKanaRow> kanaTable)
    : host_(host), settings_(settings), expander_(clock, greetingHours, kanaTable) {}

ExpansionFields MacroController::Fields() {
    ExpansionFields fields = host_.QsoFields();
    fields.ContestMode = store_.ContestMode;
    fields.SendNrTemplate = store_.SendNrTemplate;
    fields.SendNrText = sendNrText_;
    fields.TestNR = contestNumber_;
    return fields;
}

std::string MacroController::ExpandForSending(std::string_view text) {
    return ToUpperAscii(expander_.Expand(text, Fields()));
}

int MacroController::AppendExpanded(std::string_view text) {
    std::string expanded = ExpandForSending(text);
    host_.AppendToTransmit(expanded);
    return static_cast<int>(common::Utf8Length(expanded));
}

void MacroController::SendMacroText() {
    std::string text = expander_.WorkText;
    if (text.find(kFocusHisCallTag) != std::string::npos) {
        host_.FocusHisCall();
    } else {
        host_.FocusTxEdit();
    }
    if (autoCq_.Running()) {
        StopAutoCqAndClear();
    }
    std::string expanded = ExpandForSending(text);
    if (!expanded.empty()) {
        host_.AppendToTransmit(expanded);
    }
}

void MacroController::FireMacro(int macro) {
    if (macro < 1 || macro > kMacroCount) {
        return;
    }
    expander_.WorkText = store_.MacroText[macro];
    SendMacroText();
}

void MacroController::ClickLabel(int label) {
    if (label >= 1 && label <= kLabelCount && store_.RoleOf(label) == LabelRole::Macro) {
        FireMacro(store_.MacroForLabel(label));
    }
}

void MacroController::SetBank(bool shift) {
    store_.MacroShift = shift;
    for (int label = 1; label <= kLabelCount; ++label) {
        host_.ShowLabel(label, store_.ViewOf(label));
    }
}

void MacroController::RefreshSendNr() {
    MacroExpander sendNr = expander_;  // Send purpose whatever a transfer has set
    sendNr.HamlogExpansion = false;
    sendNr.CtestwinExpansion = false;
    sendNrText_ = ToUpperAscii(sendNr.Expand(store_.SendNrTemplate, Fields()));
    host_.ShowSendNr(sendNrText_);
}

void MacroController::ShowContestLabels() {
    if (!store_.MacroShift) {
        for (int label = 13; label <= 15; ++label) {
            host_.ShowLabel(label, store_.ViewOf(label));
        }
    }
}

void MacroController::SetContestMode(bool on) {
    store_.ContestMode = on;
    if (on) {
        host_.SetQsoGroupCaptions("SendNR", "RcvdNR  (F3)");
        ShowContestLabels();
        host_.ShowContestFields(true);
        // Shown as expanded for sending; the stored SendNR text is left as it was.
        MacroExpander shown = expander_;
        shown.HamlogExpansion = false;
        shown.CtestwinExpansion = false;
        host_.ShowSendNr(shown.Expand(store_.SendNrTemplate, Fields()));
    } else {
        host_.SetQsoGroupCaptions("HisName (F2)", "HisQTH  (F3)");
        ShowContestLabels();
        host_.ShowContestFields(false);
    }
}

void MacroController::ToggleContest(bool on) {
    SetContestMode(on);
    Store(EntryId::ContestMode, std::string(on ? ContestWords()[0] : ContestWords()[1]));
    host_.FocusTxEdit();
}

void MacroController::ContestNumberChanged(std::string_view text) {
    contestNumber_ = text;
    Store(EntryId::ContestNumber, std::string(text));
    RefreshSendNr();
}

void MacroController::HisRstChanged() {
    if (store_.ContestMode) {
        RefreshSendNr();
    }
}

void MacroController::BeginEdit(int label) {
    host_.SetLabelEnabled(label, false);
}

void MacroController::AfterEdit(int label) {
    host_.ResetSendMark();
    host_.SetLabelEnabled(label, true);
    host_.FocusTxEdit();
}

void MacroController::FinishMacroDialog(int label, bool accepted, std::string_view text,
                                        std::string_view caption, int colour) {
    if (accepted) {
        int k = store_.MacroForLabel(label);
        if (text != store_.MacroText[k]) {
            store_.MacroText[k] = text;
            settings_.StoreSetting(common::MacroTextEntry(k), std::string(text));
        }
        if (caption != store_.MacroCaption[k]) {
            store_.MacroCaption[k] = caption;
            settings_.StoreSetting(common::MacroLabelEntry(k), std::string(caption));
        }
        store_.MacroColour[k] = colour;
        settings_.StoreSetting(common::MacroColourEntry(k), std::to_string(colour));
        host_.ShowLabel(label, store_.ViewOf(label));
    }
    AfterEdit(label);
}

void MacroController::FinishRemarksDialog(int label, bool accepted, std::string_view text) {
    std::string& remarks = label == 14 ? store_.Remarks1Template : store_.Remarks2Template;
    if (accepted && text != remarks) {
        remarks = text;
        settings_.StoreSetting(common::MacroTextEntry(label), std::string(text));
    }
    AfterEdit(label);
}

void MacroController::FinishSendNrDialog(int label, bool accepted, std::string_view text) {
    if (accepted && text != store_.SendNrTemplate) {
        store_.SendNrTemplate = text;
        settings_.StoreSetting(common::MacroTextEntry(13), std::string(text));
        RefreshSendNr();
    }
    AfterEdit(label);
}

void MacroController::FinishAutoCqDialog(bool accepted, std::string_view text,
                                         std::string_view times) {
    if (accepted) {
        if (text != store_.MacroText[0]) {
            store_.MacroText[0] = text;
            Store(EntryId::AutoCqText, std::string(text));
        }
        if (times != autoCqTimes_) {
            SetAutoCqTimes(times);
            Store(EntryId::AutoCqTimes, std::string(times));
        }
    }
    autoCq_.Stop();
    host_.SetAutoCqLabelEnabled(true);
    host_.ResetSendMark();
    host_.FocusTxEdit();
}

void MacroController::StartAutoCq() {
    if (autoCq_.Running()) {
        return;
    }
    host_.SetAutoCqLabelEnabled(false);
    const std::string& text = store_.MacroText[0];
    if (text.find(kFocusHisCallTag) != std::string::npos) {
        host_.EmptyHisCall();
        host_.FocusHisCall();
    } else {
        host_.FocusTxEdit();
    }
    std::string expanded = ExpandForSending(text);
    // Counted before the text reaches the engine, so no character is missed.
    autoCq_.Begin(static_cast<int>(common::Utf8Length(expanded)));
    host_.AppendToTransmit(expanded);
}

void MacroController::OnSecondTick() {
    switch (autoCq_.OnSecondTick()) {
        case AutoCq::Tick::Nothing:
            break;
        case AutoCq::Tick::SendAgain: {
            host_.ClearTransmitText();
            std::string expanded = ExpandForSending(store_.MacroText[0]);
            autoCq_.NextRepetition(static_cast<int>(common::Utf8Length(expanded)));
            host_.AppendToTransmit(expanded);
            break;
        }
        case AutoCq::Tick::Ended:
            host_.SetAutoCqLabelEnabled(true);
            host_.ClearTransmitText();
            host_.ClearMonitor();
            break;
    }
}

void MacroController::StopAutoCq() {
    autoCq_.Stop();
    host_.SetAutoCqLabelEnabled(true);
}

void MacroController::StopAutoCqAndClear() {
    StopAutoCq();
    host_.ClearTransmitText();
    host_.ClearMonitor();
}

void MacroController::OnHisCallChanged(std::string_view text) {
    if (!text.empty() && autoCq_.Running()) {
        StopAutoCqAndClear();
    }
}

void MacroController::RefreshLabelOf(int macro) {
    int label = macro - (store_.MacroShift ? kLabelCount : 0);
    if (label >= 1 && label <= kLabelCount) {
        host_.ShowLabel(label, store_.ViewOf(label));
    }
}

void MacroController::SetMacroText(int macro, std::string_view text) {
    if (macro >= 1 && macro <= kMacroCount) {
        store_.MacroText[macro] = text;
    }
}

void MacroController::SetContestTemplate(int which, std::string_view text) {
    std::string* templates[] = {&store_.SendNrTemplate, &store_.Remarks1Template,
                                &store_.Remarks2Template};
    if (which >= 0 && which < 3) {
        *templates[which] = text;
    }
}

void MacroController::SetMacroCaption(int macro, std::string_view caption) {
    if (macro >= 1 && macro <= kMacroCount) {
        store_.MacroCaption[macro] = caption;
        RefreshLabelOf(macro);
    }
}

void MacroController::SetMacroColour(int macro, int colour) {
    if (macro >= 1 && macro <= kMacroCount) {
        store_.MacroColour[macro] = colour;
        RefreshLabelOf(macro);
    }
}

void MacroController::SetAutoCqTimes(std::string_view times) {
    autoCqTimes_ = times;
    autoCq_.SetTimes(times);
}

void MacroController::SetContestNumber(std::string_view text) {
    contestNumber_ = text;
}

std::string MacroController::HoverText(int label) {
    std::string_view text;
    switch (label == 0 ? LabelRole::Macro : store_.RoleOf(label)) {
        case LabelRole::Macro:
            text = store_.MacroText[static_cast<std::size_t>(
                label == 0 ? 0 : store_.MacroForLabel(label))];
            break;
        case LabelRole::SendNr:
            text = store_.SendNrTemplate;
            break;
        case LabelRole::Remarks1:
            text = store_.Remarks1Template;
            break;
        case LabelRole::Remarks2:
            text = store_.Remarks2Template;
            break;
    }
    // A copy: showing a text must not disturb an expansion under way.
    MacroExpander shown = expander_;
    shown.HamlogExpansion = false;
    shown.CtestwinExpansion = false;
    return shown.Expand(text, Fields());
}

}  // namespace morvane::macros
