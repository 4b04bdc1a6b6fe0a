#include "qso/LogTransfer.h"

#include <cstdio>

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
    if (HamlogLinked() && !QsoToHamlog(trigger))
        return;
    if (CtestwinLinked() && Settings.ContestMode && !QsoToCtestwin(trigger))
        return;
    ReturnFocus();
    view_.SetSaveEnabled(true);
    QsoSent = true;
    if (Settings.GetHisNameOn) {
        sleeper_.SleepMs(kNameRequestDelayMs);
        if (platform::WindowHandle hamlog = hamlog_.FindHamlog()) {
            hamlog_.Request(hamlog, kNameRequest, HamlogAwait::Name);
        }
    }
}

bool LogTransfer::QsoToHamlog(Trigger trigger) {
    const platform::WindowHandle hamlog = hamlog_.FindHamlog();
    if (hamlog == 0) {
        ReportError(LinkError::HamlogNotRunning, trigger);
        return false;
    }
    if (!hamlog_.ProbeHamlog()) {
        ReportError(LinkError::HamlogSelectionScreen, trigger);
        return false;
    }
    const std::string call = fields_.HisCall();
    if (call != LastCall)
        hamlog_.SendCommand(hamlog, kNewRecord);
    if (Settings.ModeOption == 'C')
        hamlog_.SendText(hamlog, kMode, "CW");
    if (Settings.ModeOption == 'A')
        hamlog_.SendText(hamlog, kMode, "A1A");
    if (!Settings.QslText.empty()) {
        hamlog_.SendText(hamlog, kQsl,
                         QslTextFor(Settings.QslText, Settings.QslEightCharacter, call));
    }
    SendQthAndReports(hamlog);
    if (Settings.ContestMode) {
        const std::string remarks1 = expander_.ExpandForHamlog(Settings.Remarks1Template);
        if (!remarks1.empty())
            hamlog_.SendText(hamlog, kRemarks1, remarks1);
        const std::string remarks2 = expander_.ExpandForHamlog(Settings.Remarks2Template);
        if (!remarks2.empty())
            hamlog_.SendText(hamlog, kRemarks2, remarks2);
    }
    if (common::Utf8Length(call) < 2)
        return true;
    hamlog_.SendCommand(hamlog, DomesticCommand(call));
    view_.SetTimeButtonEnabled(true);
    if (call == LastCall) {
        // The same station again: the record exists, give it the time now.
        SendTimeToHamlog();
        return true;
    }
    LastCall = call;
    hamlog_.SendText(hamlog, kCall, call);
    if (Settings.FrontDispOn)
        hamlog_.BringToFront(hamlog);
    return true;
}

void LogTransfer::SendQthAndReports(platform::WindowHandle hamlog) {
    if (!Settings.ContestMode) {
        if (!fields_.HisName().empty())
            hamlog_.SendText(hamlog, kName, fields_.HisName());
        const std::string& qth = fields_.HisQTH();
        if (auto code = QthAsNumber(qth)) {
            hamlog_.SendText(hamlog, Settings.FrontDispOn ? kQthCodeFront : kQthCode, *code);
        } else if (!qth.empty()) {
            hamlog_.SendText(hamlog, kQthText, qth);
        }
    }
    if (!fields_.HisRST.empty()) {
        hamlog_.SendText(hamlog, kHisRst, ReportDigits(common::Utf8Prefix(fields_.HisRST, 3)));
    }
    if (!fields_.MyRST.empty())
        hamlog_.SendText(hamlog, kMyRst, ReportDigits(fields_.MyRST));
}

bool LogTransfer::QsoToCtestwin(Trigger trigger) {
    const platform::WindowHandle ctestwin = ctestwin_.FindCtestwin();
    if (ctestwin == 0) {
        ReportError(LinkError::CtestwinNotRunning, trigger);
        return false;
    }
    ctestwin_.CollectEdits(ctestwin);
    ctestwin_.SetItemText(kCallItem, fields_.HisCall());
    std::string received = fields_.MyRST.empty() ? "" : ReportDigits(fields_.MyRST);
    received += Settings.RcvdNrDigits ? ReceivedNumberDigits(fields_.RcvdNR()) : fields_.RcvdNR();
    ctestwin_.SetItemText(kReceivedItem, received);
    ctestwin_.SetItemText(kSentItem,
                          WithoutBlanks(expander_.ExpandForCtestwin(Settings.SendNrTemplate)));
    ctestwin_.AppendButtons(ctestwin);
    ctestwin_.PressItem(kEnterItem);
    return true;
}

void LogTransfer::SaveInHamlog(Trigger trigger) {
    const platform::WindowHandle hamlog = hamlog_.FindHamlog();
    if (hamlog == 0) {
        ReportError(LinkError::HamlogNotRunningSave, trigger);
    } else if (!QsoSent) {
        ReportError(LinkError::NoDataSentToHamlog, trigger);
        view_.SetSaveEnabled(false);
    } else if (Settings.RcvdNrCheck && Settings.ContestMode && fields_.RcvdNR().empty()) {
        ReportError(LinkError::RcvdNrMissing, trigger);
        view_.SetSaveEnabled(false);
        QsoSent = false;
    } else if (hamlog_.ProbeHamlog()) {
        hamlog_.SendCommand(hamlog, kSave);
    } else {
        ReportError(LinkError::HamlogSelectionScreenSave, trigger);
    }
}

void LogTransfer::SaveTransfer(Trigger trigger) {
    if (Settings.LogLinkChoice == 0)
        return;
    if (HamlogLinked())
        SaveInHamlog(trigger);
    if (CtestwinLinked() && Settings.ContestMode) {
        if (const platform::WindowHandle ctestwin = ctestwin_.FindCtestwin()) {
            ctestwin_.CollectEdits(ctestwin);
            ctestwin_.AppendButtons(ctestwin);
            ctestwin_.PressItem(kSaveItem);
        } else {
            ReportError(LinkError::CtestwinNotRunning, trigger);
        }
    }
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
    if (HamlogLinked()) {
        if (const platform::WindowHandle hamlog = hamlog_.FindHamlog()) {
            if (!hamlog_.ProbeHamlog()) {
                view_.ShowMessageBox(TextOf(LinkError::HamlogSelectionScreen).Box,
                                     MessageIcon::None);
                return;
            }
            hamlog_.SendCommand(hamlog, kNewRecord);
        }
    }
    if (CtestwinLinked()) {
        const platform::WindowHandle ctestwin = ctestwin_.FindCtestwin();
        if (ctestwin == 0) {
            ReportError(LinkError::CtestwinNotRunning, Trigger::Operator);
            return;
        }
        ctestwin_.CollectEdits(ctestwin);
        ctestwin_.SetItemText(kCallItem, "");
        ctestwin_.SetItemText(kReceivedItem, "");
        ctestwin_.AppendButtons(ctestwin);
        ctestwin_.PressItem(kClearItem);
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

void LogTransfer::SendTimeToHamlog() {
    const platform::WindowHandle hamlog = hamlog_.FindHamlog();
    if (hamlog == 0) {
        view_.ShowMessageBox(kHamlogNotLinkedBox, MessageIcon::None);
        return;
    }
    if (!hamlog_.ProbeHamlog()) {
        view_.ShowMessageBox(TextOf(LinkError::HamlogSelectionScreen).Box, MessageIcon::None);
        return;
    }
    hamlog_.Request(hamlog, kSettingsRequest, HamlogAwait::Settings);
    const ClockReading now = clock_.Now();  // one instant for date and time
    const CivilTime& when = hamlog_.HamlogUtc ? now.Utc : now.Local;
    hamlog_.SendAscii(hamlog, kDate, Format(when, true));
    hamlog_.SendAscii(hamlog, kTime, Format(when, false) + (hamlog_.HamlogUtc ? "U" : "J"));
    if (Settings.FrontDispOn)
        hamlog_.BringToFront(hamlog);
    ReturnFocus();
}

}  // namespace morvane::qso
