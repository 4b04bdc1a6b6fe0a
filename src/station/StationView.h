// What only a window can do for the station: message boxes, focus, labels,
// captions, title and colours, plus the text it shows. The station calls
// every method on the view's own thread (from the station's commands or
// from Pump), never from the capture or keying thread. A console
// implementation serves the headless program and the tests.
#pragma once

#include <string_view>

#include "macros/MacroStore.h"
#include "settings/OptionString.h"

namespace morvane::station {

enum class MessageIcon { None, Exclamation };

// The QSO fields by the names the operator and scripts use.
enum class StationField { HisCall, HisName, HisQTH, HisRST, MyRST, RcvdNR, Greeting, MyWX, MyTemp };
inline constexpr int kStationFieldCount = 9;

// The logging programs whose window the one-second tick looks for.
enum class LoggerLink { Hamlog, Ctestwin };

class StationView {
  public:
    virtual ~StationView() = default;

    // A modal message with one of the station's fixed texts.
    virtual void ShowMessage(std::string_view text, MessageIcon icon) = 0;
    virtual void Beep() = 0;

    // Keyboard focus back to the transmit text; the station only asks while
    // no QSO field is being edited.
    virtual void FocusTxEdit() = 0;
    virtual void FocusHisCall() = 0;

    virtual void SetTitle(std::string_view title) = 0;
    virtual void SetClockText(std::string_view text) = 0;
    virtual void SetPortCaption(std::string_view caption) = 0;      // "COM Port" / "USBIF4CW"
    virtual void SetTransmitSpeedLabel(std::string_view text) = 0;  // "100/Min"

    // Macro labels 1 to 15 of the bank shown; label 0 is "Auto CQ".
    virtual void ShowMacroLabel(int label, const macros::LabelView& view) = 0;
    virtual void SetMacroLabelEnabled(int label, bool enabled) = 0;
    virtual void ShowSendNr(std::string_view text) = 0;
    virtual void SetQsoGroupCaptions(std::string_view hisName, std::string_view hisQth) = 0;
    virtual void ShowContestFields(bool contest) = 0;
    virtual void SetLinkButtons(bool saveEnabled, bool timeEnabled) = 0;

    // Fonts, sizes and colours that the option string chooses.
    virtual void ApplyOptionEffects(const settings::OptionEffects& effects) = 0;

    // The program changed a field (capture, count-up, clear, a settings file).
    virtual void FieldChanged(StationField field, std::string_view value) = 0;
    // The country / local-time line of the lookup.
    virtual void LookupLine(std::string_view line) = 0;
    virtual void LinkChanged(LoggerLink link, bool up) = 0;

    // Text windows. The models live in the station (Station::ReceiveModel
    // and friends); these tell the view what changed since the last Pump.
    // `appended` is the new text at the end; `cleared` means the model was
    // emptied (or rewritten) first and should be repainted whole.
    virtual void ReceiveTextChanged(std::string_view appended, bool cleared) = 0;
    virtual void MonitorTextChanged(std::string_view appended, bool cleared) = 0;
    // Characters the keying engine has just started to key.
    virtual void CharactersKeyed(std::string_view text) = 0;
    // The transmit text was changed by the station (macro, clear, tag).
    virtual void TransmitTextChanged(std::string_view text) = 0;

    // --- receive side; a view without these controls ignores them ---
    // The receive speed label ("100/Min") and the slider position (0 to 31).
    virtual void ShowReceiveSpeed(std::string_view label, int step) {
        (void)label;
        (void)step;
    }
    // The decoder switched language on a bracket sign.
    virtual void ShowReceiveLanguage(bool japanese) { (void)japanese; }
    // A selection taken from the receive window leaves the clipboard empty.
    virtual void EmptyClipboard() {}

    // --- transmit side ---
    // E/J Direct's language labels: the short one ("Eng", "japanese") and
    // its long form ("English/J", "Japanese/E"); both empty outside Direct.
    virtual void ShowKeyModeLabels(std::string_view label, std::string_view longForm) {
        (void)label;
        (void)longForm;
    }
};

}  // namespace morvane::station
