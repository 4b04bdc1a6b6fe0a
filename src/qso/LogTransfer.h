// The four link operations of the contact: QSO (F6) fills the logging
// programs' input, SAVE (F7) stores the record and prepares the next
// contact, Clear (Esc) empties both sides, T sends the date and time to
// HamLog. Errors are reported in a message box, or as a red line with a beep
// when the operation came from a "<VK_F6>" / "<VK_F7>" tag in sent text.
//
// Call every operation on the thread that owns the fields (the form's); the
// keying engine posts its tags there instead of running them itself.
#pragma once

#include <string>
#include <string_view>

#include "qso/Clock.h"
#include "qso/CtestwinLink.h"
#include "qso/HamlogLink.h"
#include "qso/LinkErrors.h"
#include "qso/LinkView.h"
#include "qso/QsoFields.h"

namespace morvane::qso {

struct LinkSettings {
    int LogLinkChoice = 1;      // 0 none, 1 HamLog, 2 CTestWin, 3 both
    bool FrontDispOn = false;   // bring HamLog to the front after a transfer
    bool GetHisNameOn = false;  // ask HamLog for the name after a QSO
    bool ContestMode = false;
    bool RcvdNrCheck = false;   // SAVE refuses an empty RcvdNR in contest mode
    bool RcvdNrDigits = false;  // received numbers go to the loggers as digits
    char ModeOption = 'C';      // "C": mode "CW", "A": "A1A", else none
    std::string QslText = "J";
    char QslEightCharacter = 'N';  // for calls beginning 8N, 8J, 8K
    std::string Remarks1Template;
    std::string Remarks2Template;
    std::string SendNrTemplate;

    // The link settings held in the 30-character option string.
    void ApplyOptionString(std::string_view options);
};

// Where an operation was started: a key or button, or a tag in sent text.
enum class Trigger { Operator, Tag };

class LogTransfer {
  public:
    LogTransfer(QsoFields& fields, platform::LoggerWindows& windows,
                const platform::SystemCodePage& codePage, LogTemplateExpander& expander,
                LinkView& view, const StationClock& clock, const Sleeper& sleeper);

    LinkSettings Settings;

    void QsoTransfer(Trigger trigger = Trigger::Operator);
    void SaveTransfer(Trigger trigger = Trigger::Operator);
    void ClearQso();
    void SendTimeToHamlog();
    bool ProbeHamlog() { return hamlog_.ProbeHamlog(); }
    // Copy-data that arrived at this program's window; false: not a reply.
    bool OnCopyData(const platform::CopyDataMessage& message) {
        return hamlog_.OnCopyData(message);
    }

    HamlogLink& Hamlog() { return hamlog_; }
    CtestwinLink& Ctestwin() { return ctestwin_; }

    std::string LastCall;
    bool QsoSent = false;

  private:
    bool HamlogLinked() const { return Settings.LogLinkChoice == 1 || Settings.LogLinkChoice == 3; }
    bool CtestwinLinked() const {
        return Settings.LogLinkChoice == 2 || Settings.LogLinkChoice == 3;
    }
    // False when an error stopped the operation.
    bool QsoToHamlog(Trigger trigger);
    void SendQthAndReports(platform::WindowHandle hamlog);
    bool QsoToCtestwin(Trigger trigger);
    void SaveInHamlog(Trigger trigger);
    void ReportError(LinkError error, Trigger trigger);
    void ReturnFocus();

    QsoFields& fields_;
    LogTemplateExpander& expander_;
    LinkView& view_;
    const StationClock& clock_;
    const Sleeper& sleeper_;
    HamlogLink hamlog_;
    CtestwinLink ctestwin_;
};

}  // namespace morvane::qso
