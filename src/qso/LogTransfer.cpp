#include "qso/LogTransfer.h"

#include <cstdio>
#include <iterator>

#include "common/Utf8.h"
#include "qso/LogFormats.h"

namespace morvane::qso {
namespace {

// HamLog command numbers.
constexpr std::uint32_t kDate = 2;
constexpr std::uint32_t kTime = 3;
constexpr std::uint32_t kHisRst = 4;
constexpr std::uint32_t kMyRst = 5;
constexpr std::uint32_t kMode = 7;
constexpr std::uint32_t kQthCode = 8;
constexpr std::uint32_t kQthCodeFront = 0x20008;
constexpr std::uint32_t kQsl = 10;
constexpr std::uint32_t kName = 11;
constexpr std::uint32_t kQthText = 12;
constexpr std::uint32_t kRemarks1 = 13;
constexpr std::uint32_t kRemarks2 = 14;
constexpr std::uint32_t kNewRecord = 16;
constexpr std::uint32_t kCall = 0x30001;
constexpr std::uint32_t kSettingsRequest = 103;
constexpr std::uint32_t kNameRequest = 111;
constexpr std::uint32_t kSave = 0x80012;

// Places in CTestWin's list of edits followed by buttons.
constexpr std::size_t kSentItem = 0;
constexpr std::size_t kReceivedItem = 1;
constexpr std::size_t kCallItem = 13;
constexpr std::size_t kEnterItem = 14;
constexpr std::size_t kSaveItem = 15;
constexpr std::size_t kClearItem = 16;

constexpr int kNameRequestDelayMs = 500;

std::string Format(const CivilTime& t, bool date) {
    char text[16];
    if (date) {
        std::snprintf(text, sizeof text, "%02d/%02d/%02d", t.Year % 100, t.Month, t.Day);
    } else {
        std::snprintf(text, sizeof text, "%02d:%02d", t.Hour, t.Minute);
    }
    return text;
}

}  // namespace

void LinkSettings::ApplyOptionString(std::string_view options) {
    auto at = [&](std::size_t position) {
        return position < options.size() ? options[position] : ' ';
    };
    switch (at(24)) {
        case 'H':
            LogLinkChoice = 1;
            break;
        case 'C':
            LogLinkChoice = 2;
            break;
        case 'B':
            LogLinkChoice = 3;
            break;
        default:
            LogLinkChoice = 0;
            break;
    }
    FrontDispOn = at(2) == 'F';
    GetHisNameOn = at(23) == 'G';
    RcvdNrCheck = at(13) == 'R';
    RcvdNrDigits = at(14) == 'A';
    ModeOption = at(25);
}

LogTransfer::LogTransfer(QsoFields& fields, platform::LoggerWindows& windows,
                         const platform::SystemCodePage& codePage, LogTemplateExpander& expander,
                         LinkView& view, const StationClock& clock, const Sleeper& sleeper)
    : fields_(fields),
      expander_(expander),
      view_(view),
      clock_(clock),
      sleeper_(sleeper),
      hamlog_(windows, codePage, fields),
      ctestwin_(windows) {}

void LogTransfer::ReportError(LinkError error, Trigger trigger) {
    const LinkErrorText& text = TextOf(error);
    if (trigger == Trigger::Tag) {
        view_.AppendWarningLine(text.InLine);
        view_.Beep();
        return;
    }
    view_.ShowMessageBox(text.Box, text.Exclamation ? MessageIcon::Exclamation : MessageIcon::None);
}

void LogTransfer::ReturnFocus() {
    if (!fields_.FieldHasFocus)
        view_.FocusTxEdit();
}

void LogTransfer::QsoTransfer(Trigger trigger) {
    if (Settings.LogLinkChoice == 0)
        return;
    const Deadline deadline = platform::DeadlineIn(OperationTimeout);
    if (HamlogLinked() && !QsoToHamlog(trigger, deadline))
        return;
    if (CtestwinLinked() && Settings.ContestMode && !QsoToCtestwin(trigger, deadline))
        return;
    ReturnFocus();
    view_.SetSaveEnabled(true);
    QsoSent = true;
    if (Settings.GetHisNameOn) {
        // Within the operation's time: a HamLog too slow for it keeps its name.
        sleeper_.SleepMs(kNameRequestDelayMs);
        if (platform::WindowHandle hamlog = hamlog_.FindHamlog(deadline))
            hamlog_.Request(hamlog, kNameRequest, HamlogAwait::Name, deadline);
    }
}

bool LogTransfer::QsoToHamlog(Trigger trigger, Deadline deadline) {
    const platform::WindowHandle hamlog = hamlog_.FindHamlog(deadline);
    if (hamlog == 0) {
        ReportError(LinkError::HamlogNotRunning, trigger);
        return false;
    }
    switch (hamlog_.ProbeHamlog(deadline)) {
        case HamlogProbe::Answering:
            break;
        case HamlogProbe::SelectionScreen:
            ReportError(LinkError::HamlogSelectionScreen, trigger);
            return false;
        case HamlogProbe::NoAnswer:
            ReportError(LinkError::HamlogNotRunning, trigger);
            return false;
    }
    const std::string call = fields_.HisCall();
    if (!SendQsoFields(hamlog, call, deadline)) {
        ReportError(LinkError::HamlogNotRunning, trigger);
        return false;
    }
    if (common::Utf8Length(call) < 2)
        return true;
    if (!hamlog_.SendCommand(hamlog, DomesticCommand(call), deadline)) {
        ReportError(LinkError::HamlogNotRunning, trigger);
        return false;
    }
    view_.SetTimeButtonEnabled(true);
    if (call == LastCall) {
        // The same station again: the record exists, give it the time now.
        // Reported in the QSO's own form (in-line for a tag), unlike T's boxes.
        switch (TimeToHamlog(deadline)) {
            case TimeResult::Sent:
                return true;
            case TimeResult::SelectionScreen:
                ReportError(LinkError::HamlogSelectionScreen, trigger);
                return false;
            case TimeResult::NotRunning:
                ReportError(LinkError::HamlogNotRunning, trigger);
                return false;
        }
    }
    if (!hamlog_.SendText(hamlog, kCall, call, deadline)) {
        ReportError(LinkError::HamlogNotRunning, trigger);
        return false;
    }
    LastCall = call;
    if (Settings.FrontDispOn)
        hamlog_.BringToFront(hamlog, deadline);
    return true;
}

bool LogTransfer::SendQsoFields(platform::WindowHandle hamlog, const std::string& call,
                                Deadline deadline) {
    auto text = [&](std::uint32_t command, std::string_view value) {
        return hamlog_.SendText(hamlog, command, value, deadline);
    };
    if (call != LastCall && !hamlog_.SendCommand(hamlog, kNewRecord, deadline))
        return false;
    if (Settings.ModeOption == 'C' && !text(kMode, "CW"))
        return false;
    if (Settings.ModeOption == 'A' && !text(kMode, "A1A"))
        return false;
    if (!Settings.QslText.empty() &&
        !text(kQsl, QslTextFor(Settings.QslText, Settings.QslEightCharacter, call))) {
        return false;
    }
    if (!Settings.ContestMode) {
        if (!fields_.HisName().empty() && !text(kName, fields_.HisName()))
            return false;
        const std::string& qth = fields_.HisQTH();
        if (auto code = QthAsNumber(qth)) {
            if (!text(Settings.FrontDispOn ? kQthCodeFront : kQthCode, *code))
                return false;
        } else if (!qth.empty() && !text(kQthText, qth)) {
            return false;
        }
    }
    if (!fields_.HisRST.empty() &&
        !text(kHisRst, ReportDigits(common::Utf8Prefix(fields_.HisRST, 3)))) {
        return false;
    }
    if (!fields_.MyRST.empty() && !text(kMyRst, ReportDigits(fields_.MyRST)))
        return false;
    if (Settings.ContestMode) {
        const std::string remarks1 = expander_.ExpandForHamlog(Settings.Remarks1Template);
        if (!remarks1.empty() && !text(kRemarks1, remarks1))
            return false;
        const std::string remarks2 = expander_.ExpandForHamlog(Settings.Remarks2Template);
        if (!remarks2.empty() && !text(kRemarks2, remarks2))
            return false;
    }
    return true;
}

bool LogTransfer::QsoToCtestwin(Trigger trigger, Deadline deadline) {
    const platform::WindowHandle ctestwin = ctestwin_.FindCtestwin(deadline);
    bool arrived = ctestwin != 0;
    if (arrived) {
        ctestwin_.CollectEdits(ctestwin, deadline);
        std::string received = fields_.MyRST.empty() ? "" : ReportDigits(fields_.MyRST);
        received +=
            Settings.RcvdNrDigits ? ReceivedNumberDigits(fields_.RcvdNR()) : fields_.RcvdNR();
        arrived =
            ctestwin_.SetItemText(kCallItem, fields_.HisCall(), deadline) &&
            ctestwin_.SetItemText(kReceivedItem, received, deadline) &&
            ctestwin_.SetItemText(
                kSentItem, WithoutBlanks(expander_.ExpandForCtestwin(Settings.SendNrTemplate)),
                deadline);
    }
    if (arrived) {
        ctestwin_.AppendButtons(ctestwin, deadline);
        arrived = ctestwin_.PressItem(kEnterItem, deadline);
    }
    if (!arrived)
        ReportError(LinkError::CtestwinNotRunning, trigger);
    return arrived;
}

void LogTransfer::SaveInHamlog(Trigger trigger, Deadline deadline) {
    const platform::WindowHandle hamlog = hamlog_.FindHamlog(deadline);
    if (hamlog == 0) {
        ReportError(LinkError::HamlogNotRunningSave, trigger);
        return;
    }
    if (!QsoSent) {
        ReportError(LinkError::NoDataSentToHamlog, trigger);
        view_.SetSaveEnabled(false);
        return;
    }
    if (Settings.RcvdNrCheck && Settings.ContestMode && fields_.RcvdNR().empty()) {
        ReportError(LinkError::RcvdNrMissing, trigger);
        view_.SetSaveEnabled(false);
        QsoSent = false;
        return;
    }
    switch (hamlog_.ProbeHamlog(deadline)) {
        case HamlogProbe::Answering:
            if (!hamlog_.SendCommand(hamlog, kSave, deadline))
                ReportError(LinkError::HamlogNotRunningSave, trigger);
            break;
        case HamlogProbe::SelectionScreen:
            ReportError(LinkError::HamlogSelectionScreenSave, trigger);
            break;
        case HamlogProbe::NoAnswer:
            ReportError(LinkError::HamlogNotRunningSave, trigger);
            break;
    }
}

void LogTransfer::SaveInCtestwin(Trigger trigger, Deadline deadline) {
    const platform::WindowHandle ctestwin = ctestwin_.FindCtestwin(deadline);
    bool arrived = ctestwin != 0;
    if (arrived) {
        ctestwin_.CollectEdits(ctestwin, deadline);
        ctestwin_.AppendButtons(ctestwin, deadline);
        arrived = ctestwin_.PressItem(kSaveItem, deadline);
    }
    if (!arrived)
        ReportError(LinkError::CtestwinNotRunning, trigger);
}

void LogTransfer::SaveTransfer(Trigger trigger) {
    if (Settings.LogLinkChoice == 0)
        return;
    const Deadline deadline = platform::DeadlineIn(OperationTimeout);
    if (HamlogLinked())
        SaveInHamlog(trigger, deadline);
    if (CtestwinLinked() && Settings.ContestMode)
        SaveInCtestwin(trigger, deadline);
    // The next contact starts here whatever the loggers said.
    fields_.SetText(QsoField::HisCall, "");
    fields_.SetText(QsoField::HisName, "");
    if (Settings.ContestMode) {
        fields_.ContestNumber = CountUpContestNumber(fields_.ContestNumber);
        fields_.SetText(QsoField::RcvdNr, "");
    } else {
        fields_.SetText(QsoField::HisQth, "");
    }
    LastCall.clear();
    QsoSent = false;
    fields_.ClearSavedCopies();
    view_.SetTimeButtonEnabled(false);
    view_.SetSaveEnabled(false);
    ReturnFocus();
}

void LogTransfer::ClearQso() {
    const Deadline deadline = platform::DeadlineIn(OperationTimeout);
    if (HamlogLinked()) {
        // A HamLog that stops answering is skipped like one not running.
        if (const platform::WindowHandle hamlog = hamlog_.FindHamlog(deadline)) {
            switch (hamlog_.ProbeHamlog(deadline)) {
                case HamlogProbe::Answering:
                    hamlog_.SendCommand(hamlog, kNewRecord, deadline);
                    break;
                case HamlogProbe::SelectionScreen:
                    view_.ShowMessageBox(TextOf(LinkError::HamlogSelectionScreen).Box,
                                         MessageIcon::None);
                    return;
                case HamlogProbe::NoAnswer:
                    break;
            }
        }
    }
    if (CtestwinLinked()) {
        const platform::WindowHandle ctestwin = ctestwin_.FindCtestwin(deadline);
        bool arrived = ctestwin != 0;
        if (arrived) {
            ctestwin_.CollectEdits(ctestwin, deadline);
            arrived = ctestwin_.SetItemText(kCallItem, "", deadline) &&
                      ctestwin_.SetItemText(kReceivedItem, "", deadline);
        }
        if (arrived) {
            ctestwin_.AppendButtons(ctestwin, deadline);
            arrived = ctestwin_.PressItem(kClearItem, deadline);
        }
        if (!arrived) {
            ReportError(LinkError::CtestwinNotRunning, Trigger::Operator);
            return;
        }
    }
    fields_.SetText(QsoField::HisCall, "");
    fields_.SetText(QsoField::HisName, "");
    fields_.SetText(Settings.ContestMode ? QsoField::RcvdNr : QsoField::HisQth, "");
    LastCall.clear();
    QsoSent = false;
    view_.SetTimeButtonEnabled(false);
    view_.SetSaveEnabled(false);
    ReturnFocus();
}

LogTransfer::TimeResult LogTransfer::TimeToHamlog(Deadline deadline) {
    const platform::WindowHandle hamlog = hamlog_.FindHamlog(deadline);
    if (hamlog == 0)
        return TimeResult::NotRunning;
    switch (hamlog_.ProbeHamlog(deadline)) {
        case HamlogProbe::Answering:
            break;
        case HamlogProbe::SelectionScreen:
            return TimeResult::SelectionScreen;
        case HamlogProbe::NoAnswer:
            return TimeResult::NotRunning;
    }
    if (!hamlog_.Request(hamlog, kSettingsRequest, HamlogAwait::Settings, deadline))
        return TimeResult::NotRunning;
    const ClockReading now = clock_.Now();  // one instant for date and time
    const CivilTime& when = hamlog_.HamlogUtc ? now.Utc : now.Local;
    if (!hamlog_.SendAscii(hamlog, kDate, Format(when, true), deadline) ||
        !hamlog_.SendAscii(hamlog, kTime, Format(when, false) + (hamlog_.HamlogUtc ? "U" : "J"),
                           deadline)) {
        return TimeResult::NotRunning;
    }
    if (Settings.FrontDispOn)
        hamlog_.BringToFront(hamlog, deadline);
    return TimeResult::Sent;
}

void LogTransfer::SendTimeToHamlog() {
    switch (TimeToHamlog(platform::DeadlineIn(OperationTimeout))) {
        case TimeResult::Sent:
            ReturnFocus();
            break;
        case TimeResult::NotRunning:
            view_.ShowMessageBox(kHamlogNotLinkedBox, MessageIcon::None);
            break;
        case TimeResult::SelectionScreen:
            view_.ShowMessageBox(TextOf(LinkError::HamlogSelectionScreen).Box, MessageIcon::None);
            break;
    }
}

void LogTransfer::RequestFromHamlog(int functionKey) {
    if (functionKey < 1 || functionKey > static_cast<int>(std::size(kHamlogKeyRequests)))
        return;
    const HamlogKeyRequest& request = kHamlogKeyRequests[functionKey - 1];
    const Deadline deadline = platform::DeadlineIn(OperationTimeout);
    if (platform::WindowHandle hamlog = hamlog_.FindHamlog(deadline))
        hamlog_.Request(hamlog, request.Command, request.Await, deadline);
}

}  // namespace morvane::qso
