// The narrow interfaces through which applying settings drives the rest of
// the station: keying port, capture, receive and transmit options, the
// window, and the macro side. Each is implemented by its own subsystem (or
// by the station window for fonts, captions and messages).
#pragma once

#include <string_view>

#include "common/KeyMode.h"
#include "settings/OptionString.h"

namespace morvane::settings {

enum class KeyLine { Rts, Dtr, Uno };
enum class InputChannel { Left, Right };
enum class LevelDisplay { Cw, Signal };
enum class GraphicMode { Sine, Synchro, Fft };
enum class RatioCombo { Dot, Dash, CharSpace, WordSpace };

// Entry 106: automatic tone tracking, tracking off, or a fixed centre.
struct ToneCentre {
    enum class Kind { Auto, AutoOff, Fixed } Mode = Kind::Auto;
    int Hz = 0;  // for Fixed
    bool operator==(const ToneCentre&) const = default;
};

class KeyingPortControl {
  public:
    virtual ~KeyingPortControl() = default;
    // "USBIF" or a serial port name ("COM3"); false when it cannot be opened.
    virtual bool OpenKeyingPort(std::string_view name) = 0;
    virtual void SetPortCaption(std::string_view caption) = 0;  // "USBIF4CW" / "COM Port"
    virtual void SelectPort(std::string_view name) = 0;
    virtual void SetKeyLine(KeyLine line) = 0;
};

class CaptureControl {
  public:
    virtual ~CaptureControl() = default;
    virtual void SelectCaptureDevice(std::string_view name) = 0;  // ignored when not present
    virtual void SelectInputChannel(InputChannel channel) = 0;    // restarts capture
};

class ReceiveOptions {
  public:
    virtual ~ReceiveOptions() = default;
    virtual void SetLevelDisplay(LevelDisplay mode) = 0;
    virtual void SetGraphicMode(GraphicMode mode) = 0;
    virtual void SetInputVolume(int position) = 0;  // slider 1 to 11
    virtual void SetNoiseReduction(int mode) = 0;   // 0 off, 1 or 2
    virtual void SetQrmFilter(bool on) = 0;
    virtual void SetThresholdDb(int db) = 0;
    virtual void SetToneCentre(const ToneCentre& centre) = 0;
    virtual void SetSpaceDelete(bool on) = 0;
    virtual void SetReceiveLanguage(char language, char autoSwitch) = 0;  // 'E' or 'J'
    virtual void SetExtend(bool on) = 0;
    virtual void SetAutoThreshold(bool on) = 0;
    virtual void SetAutoReceiveSpeed(bool on) = 0;
    virtual void ClearReceiveText() = 0;
};

class TransmitOptions {
  public:
    virtual ~TransmitOptions() = default;
    virtual void SetTypingMode(common::KeyMode mode) = 0;
    virtual void SetTxClearAuto(bool on) = 0;
    virtual void SetTxClearDelay(int seconds) = 0;
    // Selects the combo item equal to `item`; an item it does not hold changes nothing.
    virtual void SelectRatio(RatioCombo combo, std::string_view item) = 0;
    virtual void SetSpeedStep(int sliderPosition) = 0;  // through the keyer's speed update
};

class StationWindow {
  public:
    virtual ~StationWindow() = default;
    virtual void SetTitleFileName(std::string_view part) = 0;  // " (name.mrvn)"
    virtual void ShowMessage(std::string_view text) = 0;
    virtual char MonitorMode() const = 0;
    virtual void ApplyOptionEffects(const OptionEffects& effects) = 0;
    virtual void SetWebLink(int entry, std::string_view text) = 0;  // entries 126 to 141
};

class MacroSettingsTarget {
  public:
    virtual ~MacroSettingsTarget() = default;
    virtual void SetContestMode(bool on) = 0;  // with everything contest mode switches
    virtual bool ContestMode() const = 0;
    virtual void SetAutoCqText(std::string_view text) = 0;
    virtual void SetMacroText(int macro, std::string_view text) = 0;  // 1 to 30
    // 0 SendNR, 1 Remarks1, 2 Remarks2.
    virtual void SetContestTemplate(int which, std::string_view text) = 0;
    virtual void SetMacroCaption(int macro, std::string_view caption) = 0;
    virtual void SetMacroColour(int macro, int colour) = 0;
    virtual void SetAutoCqTimes(std::string_view times) = 0;  // "IIRR"
    virtual void SetContestNumber(std::string_view text) = 0;
    virtual void RefreshSendNr() = 0;
};

struct ApplyTargets {
    StationWindow& Window;
    MacroSettingsTarget& Macros;
    KeyingPortControl& Port;
    CaptureControl& Capture;
    ReceiveOptions& Receive;
    TransmitOptions& Transmit;
};

}  // namespace morvane::settings
