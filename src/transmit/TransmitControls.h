// What the controls around the transmit window do, without the widgets: the
// three clears, the automatic clear countdown, the speed keys and preset,
// the F12 manual key, the Key Mode change and the half-width kana rewrite.
// Everything here runs on the user-interface thread.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/SettingsEntries.h"
#include "text/WindowCommand.h"
#include "transmit/KeyingEngine.h"

namespace morvane::transmit {

// After every clear the automatic clear waits this long, in seconds.
inline constexpr int kAutoClearAfterClearS = 2000;

struct TransmitControlParts {
    KeyingEngine& Engine;
    TransmitText& Text;
    text::WindowCommandQueue& Windows;
    ReceiveHandOver& Receive;
    KeyOutput& Output;  // for the F12 manual key
    AutoCqCounter* AutoCq = nullptr;
    // Where a changed persistent setting is stored (preset speed, ratios,
    // Key Mode, automatic clear); none: nothing is stored.
    common::SettingSink* Settings = nullptr;
    // The rest of the station's engine hooks (function-key tags, clock,
    // combos); every hook is passed on to it after this class has acted.
    KeyingListener* Forward = nullptr;
};

// The two mode labels beside the Key Mode combo.
struct ModeLabels {
    std::string First;
    std::optional<std::string> Second;  // nothing: the label keeps its text
    bool operator==(const ModeLabels&) const = default;
};

class TransmitControls final : public KeyingListener {
  public:
    explicit TransmitControls(TransmitControlParts parts) : parts_(std::move(parts)) {}

    // Empty transmit window "TX> "; `stopAutoCq` false is the Auto CQ repeat's variant.
    void ClearTransmit(bool stopAutoCq = true);
    void ClearMonitor();
    void ClearReceive();
    // The TxClear(F9) button: Auto CQ stopped, both windows cleared, reception on.
    void TxClear();

    // The CLR box and the delay beside it (seconds).
    void SetTxClearAuto(bool on, bool store = true);
    // The delay field: `store` false when a settings file sets it.
    void SetAutoClearDelayS(int seconds, bool store = true);
    int AutoClearDelayS() const { return autoClearDelayS_.load(); }
    bool TxClearAuto() const { return txClearAuto_; }
    int AutoClearCountdown() const { return autoClearCountdown_.load(); }
    // One tick of the one-second timer.
    void OneSecondTick();

    // The speed slider moved to `step`: returns the label text ("100/Min").
    std::string UpdateSpeedLabel(int step);
    std::string SpeedLabel() const;
    std::string SpeedDown();                                              // F10
    std::string SpeedUp();                                                // F11
    void StoreSpeedPreset();                                              // Ctrl+F9
    std::string RecallSpeedPreset();                                      // Ctrl+F10
    std::string SpeedFromReceived(const std::string& receiveSpeedLabel);  // Ctrl+F11
    void SetSpeedPreset(int step) { speedPreset_ = step; }
    int SpeedPreset() const { return speedPreset_; }
    // A weight combo: 'D' dot, 'A' dash, 'C' char space, 'W' word space.
    std::string SelectWeight(char which, double value, bool store = true);

    // F12 down keys at once; the next key release lets go.
    void ManualKeyDown();
    void KeyReleased();
    bool ManualKeyIsDown() const { return manualKeyDown_; }

    // Key Mode combo (0..3); returns the labels to show. Only E/J Direct sets
    // the second label; the other modes empty the first and leave it.
    ModeLabels SelectKeyMode(KeyMode mode, bool store = true);
    // E/J Direct: the labels after a change of the transmit text, if they change.
    static std::optional<ModeLabels> DirectLabelsFor(std::string_view text);
    // E/J KANA: the text with a last half-width kana made full-width, if it was one.
    static std::optional<std::string> FullWidthLastKana(std::string_view text);

    // KeyingListener: the end of every sent character reloads the countdown.
    void CharacterFinished() override;
    void SpeedStepChanged(int step) override;
    void WeightShown(char which, double value) override;
    void FunctionKeyTag(int key) override;
    std::string ClockText() override;
    int ShownSpeedStep() const { return shownSpeedStep_.load(); }

  private:
    void Store(common::EntryId entry, std::string value);
    std::string MoveSpeed(int step);

    TransmitControlParts parts_;
    std::atomic<int> autoClearCountdown_{kAutoClearAfterClearS};
    std::atomic<int> autoClearDelayS_{10};
    bool txClearAuto_ = false;
    int speedPreset_ = kDefaultSpeedStep;
    bool manualKeyDown_ = false;
    std::atomic<int> shownSpeedStep_{kDefaultSpeedStep};
};

}  // namespace morvane::transmit
