// The four link operations of the contact: QSO (F6) fills the logging
// programs' input, SAVE (F7) stores the record and prepares the next
// contact, Clear (Esc) empties both sides, T sends the date and time to
// HamLog. Errors are reported in a message box, or as a red line with a beep
// when the operation came from a "<VK_F6>" / "<VK_F7>" tag in sent text.
//
// Threads: every operation, and OnCopyData as the copy-data handler, run on
// the one thread that owns the fields and the links (the form's); the keying
// engine posts its tags there instead of running them itself. An operation
// holds that thread up for `OperationTimeout` at most, however many messages
// it sends; a message that does not arrive in time is reported as the
// logging program not running, and nothing is marked as sent.
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
    // Ctrl+F1 to Ctrl+F4 (1 to 4): HamLog's reply fills HisCall, HisName or
    // HisQTH. Whichever programs are linked, it goes to HamLog when it runs;
    // when it does not, the key does nothing.
    void RequestFromHamlog(int functionKey);
    // True when HamLog answers and takes input (the title refresh's probe).
    bool ProbeHamlog() {
        return hamlog_.ProbeHamlog(platform::DeadlineIn(OperationTimeout)) ==
               HamlogProbe::Answering;
    }
    // Copy-data that arrived at this program's window; false: not a reply.
    bool OnCopyData(const platform::CopyDataMessage& message) {
        return hamlog_.OnCopyData(message);
    }

    HamlogLink& Hamlog() { return hamlog_; }
    CtestwinLink& Ctestwin() { return ctestwin_; }

    std::string LastCall;
    bool QsoSent = false;
    std::chrono::milliseconds OperationTimeout = kLinkOperationTimeout;

  private:
    using Deadline = platform::Deadline;
    enum class TimeResult { Sent, NotRunning, SelectionScreen };

    bool HamlogLinked() const { return Settings.LogLinkChoice == 1 || Settings.LogLinkChoice == 3; }
    bool CtestwinLinked() const {
        return Settings.LogLinkChoice == 2 || Settings.LogLinkChoice == 3;
    }
    // False when an error stopped the operation (and was reported).
    bool QsoToHamlog(Trigger trigger, Deadline deadline);
    // False when a message did not arrive.
    bool SendQsoFields(platform::WindowHandle hamlog, const std::string& call, Deadline deadline);
    bool QsoToCtestwin(Trigger trigger, Deadline deadline);
    void SaveInHamlog(Trigger trigger, Deadline deadline);
    void SaveInCtestwin(Trigger trigger, Deadline deadline);
    TimeResult TimeToHamlog(Deadline deadline);
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
