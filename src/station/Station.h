// The station without a window: owns every subsystem and wires them in
// start-up order (settings document, QSO fields, capture and the receive
// path, keying engine with its timer and port, macros and Auto CQ, logging
// links, traffic log, clocks). A window or the headless program maps its
// controls onto the commands below and paints from the models.
//
// Threads:
//  - view thread: every public method here, Pump() at block rate (about
//    every 100 ms) and OneSecondTick() once a second. Only this thread
//    touches the view, the settings document, the QSO fields and the macros.
//  - capture thread: reads the capture source and runs the receive path
//    while `ReceiveEnabled` is set; decoded text goes to a window-command
//    queue; level and spectrum pictures to snapshots.
//  - keying thread: steps the keying engine; echoes go to the same queue,
//    function-key tags ("<VK_F6>") and "character finished" to a station
//    queue; both are drained by Pump on the view thread.
//  Flags crossing threads (ReceiveEnabled, speed, weights, key mode, Auto
//  CQ counters) are atomics; neither worker ever waits on the view.
//
// On virtual time there are no threads: a runner (VirtualStation) calls
// KeyingTick, CaptureBlock, OneSecondTick and Pump in deadline order.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/KeyMode.h"
#include "common/SettingsEntries.h"
#include "macros/StationClock.h"
#include "receive/BlockSource.h"
#include "receive/ReceivePath.h"
#include "receive/SignalChain.h"
#include "settings/OptionDialog.h"
#include "settings/SettingsDocument.h"
#include "station/StationDevices.h"
#include "station/StationView.h"
#include "text/MonitorWindow.h"
#include "text/ReceiveWindow.h"

namespace morvane::station {

struct StationConfig {
    CaptureDevices* Capture = nullptr;  // none: no receiving
    KeyingPort* Port = nullptr;         // none: keying goes nowhere
    // Extra output beside the port (sidetone, event recorder); may be null.
    transmit::KeyOutput* KeyMonitor = nullptr;
    // Empty: virtual time, the caller steps the station (VirtualStation).
    KeyingTimerFactory KeyingTimer{};
    LoggerDesktop Loggers{};
    const macros::StationClock* Clock = nullptr;  // none: the system clock
};

// Clock display modes of the one-second tick.
enum class ClockMode { Utc, Local, Stopwatch, StopwatchReset };

class Station {
  public:
    Station(StationConfig config, StationView& view);
    ~Station();  // Shutdown() when not done yet
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // Start-up: devices listed, keying timer started, "RX> " / "TX> " /
    // "Monitor> " written, key ports probed, title set. Capture starts on
    // the first device (the demo source when there is no other).
    void Start();
    // Shutdown in order: last traffic-log piece, receive stopped, keying
    // timer stopped (key released), USB closed, capture stopped, port closed.
    void Shutdown();

    // --- drained on the view thread ---
    // Applies queued window commands and deferred keying events and tells
    // the view what changed. Returns how many items were handled.
    std::size_t Pump();
    void OneSecondTick();

    // --- settings ---
    // Loads and applies a data file; false (and a message) when it cannot be read.
    bool OpenSettings(const std::filesystem::path& file);
    bool SaveSettings(const std::filesystem::path& file);
    void NewSettings();  // Ctrl+N: empty document, applied
    // One setting changed by the operator: applied to its target and stored
    // in its entry (the same rule a data file's entry goes through).
    void ChangeSetting(common::EntryId entry, std::string_view value);
    void ChangeSetting(int entryIndex, std::string_view value);  // macro, label and link ranges
    // The entry text of the state the station is in now, read back from the
    // subsystem that holds it (what a save after the change would store).
    std::string SettingText(int entryIndex) const;
    const settings::SettingsDocument& Document() const { return document_; }
    const settings::OptionState& Options() const { return options_; }
    // The option dialog closed (OK or Cancel).
    void FinishOptionDialog(bool accepted, std::string_view options,
                            const settings::OptionTexts& texts);
    void BeginOptionDialog();

    // Whether the traffic log is being written.
    bool TrafficLogOn() const;

    // --- capture ---
    // Opens a capture device by name ("" or unknown: the first one) and
    // starts capture; a failure shows its message.
    void SelectCaptureDevice(std::string_view name);
    void SelectInputChannel(int channel);  // 0 left, 1 right; capture restarts
    // Which decoder turns the audio into text, from the next block on. An
    // operator's preference of this machine, not of the station's data
    // file: opening, saving or clearing a data file leaves it alone.
    void SetDecoder(receive::DecoderKind kind);
    receive::DecoderKind Decoder() const;
    // The weak decoder prints no character under this confidence (0..1);
    // like the decoder choice, a preference of this machine.
    void SetSquelch(double level);
    double Squelch() const;

    // --- keying port ---
    void SelectKeyPort(std::string_view item);  // "USBIF" or a serial port name
    void SelectKeyLine(std::string_view mode);  // "RTS", "DTR", "UNO"

    // --- transmit ---
    void AppendTransmit(std::string_view text);  // typed text or a script's "send"
    void ClearTransmit();                        // TX clear only
    void TxClear();                              // F9: Auto CQ stopped, windows cleared
    void ClearReceive();
    void ClearMonitor();
    void SetKeyMode(common::KeyMode mode);
    void SetSpeedStep(int step);  // 0 to 31
    void SpeedDown();
    void SpeedUp();
    int SpeedStep() const;
    void ManualKeyDown();  // F12
    void KeyReleased();
    // True while text waits to be keyed or is being keyed.
    bool Sending() const;
    std::string TransmitText() const;

    // --- transmit window and keyboard (StationTransmit.cpp) ---
    // The operator edited the transmit window; `edited` is its whole text.
    // Only the unsent part may change; an edit of what was sent is refused
    // and the window shown the text again. Removing unsent text marks the
    // cut for the keying engine.
    void EditTransmit(std::string_view edited);
    // TX Edit: nothing new is keyed while it is on.
    void SetTxEditHold(bool on);
    bool TxEditHold() const;
    void ResetSpeedMeasurement();             // F5: the receive speed is measured anew
    void RequestFromHamlog(int functionKey);  // Ctrl+F1 to Ctrl+F4
    void StoreSpeedPreset();                  // Ctrl+F9: the speed now, stored
    void RecallSpeedPreset();                 // Ctrl+F10
    int SpeedPreset() const;
    // Ctrl+F11: the transmit speed from the receive speed label ("85/Min").
    void SpeedFromReceived(std::string_view receiveSpeedLabel);
    // A dialog closed: reception restarts from a clean work block.
    void ResetSendMark();
    // The hover text of a macro label of the bank shown (0: "Auto CQ").
    std::string MacroHoverText(int label);

    // --- macros ---
    void FireMacro(int label);  // 1 to 15 of the bank shown
    void SetBank(int bank);     // 1 or 2
    void StartAutoCq();
    void StopAutoCq();
    bool AutoCqRunning() const;
    void SetContest(bool on);

    // --- QSO ---
    void SetField(StationField field, std::string_view value);
    std::string Field(StationField field) const;
    void LookupHisCall();  // Enter in HisCall
    void CaptureCall();    // F4: the call sign nearest the end of the receive text
    void QsoTransfer();    // F6
    void SaveTransfer();   // F7
    void ClearQso();       // Esc
    void SendTime();       // T
    void SetFieldFocus(StationField field, bool focused);

    // --- receive window and receive controls ---
    // The operator entered the receive window: received text is held back.
    void ReceiveFocusGained();
    // The operator left it with characters [selectionStart, selectionEnd) of
    // ReceiveModel() selected (equal: the caret there, nothing selected). A
    // selection waits for a QSO field and for the ENG/JPN re-reading; without
    // one the word at the caret is picked. Then the held text is shown.
    void ReceiveFocusLost(std::size_t selectionStart, std::size_t selectionEnd);
    // ENG or JPN (F8 picks the other one): re-reads the text selected at the
    // last focus loss in the other alphabet when there is one, else switches
    // the decode language. Returns whether the buttons show Japanese.
    bool PressLanguageButton(bool japanese);
    // What the language buttons show: the last press or automatic switch.
    bool ReceiveJapanese() const;
    // The receive speed slider moved by hand (0 to 31): the thresholds follow
    // that speed at once; with Auto on the next estimate moves them again.
    void SetReceiveSpeedStep(int step);
    int ReceiveSpeedStep() const;

    // --- models the view paints from (view thread only) ---
    const text::TextWindow& ReceiveModel() const;
    const text::TextWindow& MonitorModel() const;
    std::string ClockText() const { return clockText_; }
    std::string Title() const { return title_; }
    ClockMode CurrentClockMode() const { return clockMode_; }
    // A clock button. "U" and "J" also stamp a clock line into the receive
    // window when the options' clock is theirs.
    void SetClockMode(ClockMode mode);
    std::vector<std::string> CaptureDeviceNames() const { return captureNames_; }
    std::vector<std::string> KeyPortNames() const { return portNames_; }
    // Level and spectrum pictures and their labels (SignalChain's snapshots,
    // published by the capture thread; read with ReadIfNewer at block rate)
    // and its options (atomics). Null while no capture source is open.
    receive::SignalChain* Chain();

    // --- atomics any thread may read ---
    const std::atomic<bool>& ReceiveEnabled() const { return receiveEnabled_; }

    // --- virtual time (no KeyingTimer in the config) ---
    // One keying timer tick; the new period in ms when it is re-armed.
    std::optional<int> KeyingTick();
    // One capture half on the receive path, as the capture thread would.
    void CaptureBlock(std::span<const std::int16_t, receive::kHalfSamples> frames);
    // The capture source opened by Start or by applying a data file.
    receive::BlockSource* CaptureSource();

  private:
    void RefreshClock();  // the clock text by the clock mode
    // Speed estimates and automatic language switches since the last Pump.
    void ReportReceiveControls();
    void ShowDirectModeLanguage(std::string_view text);

    struct Parts;
    std::unique_ptr<Parts> parts_;
    StationView& view_;
    settings::SettingsDocument document_;
    settings::OptionState options_;
    std::atomic<bool> receiveEnabled_{true};
    std::string clockText_;
    std::string title_;
    ClockMode clockMode_ = ClockMode::Local;
    std::vector<std::string> captureNames_;
    std::vector<std::string> portNames_;
};

}  // namespace morvane::station
