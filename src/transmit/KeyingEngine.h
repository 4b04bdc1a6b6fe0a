// The keying engine: one `KeyingStep` per timer tick turns the transmit text
// into key and PTT actions, one element per tick, and tells the timer the
// period to re-arm with. It owns no thread and no clock: the timer thread (or
// a virtual-time runner in tests and tools) calls it.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "transmit/KeyModeLookup.h"
#include "transmit/KeyOutput.h"
#include "transmit/KeyingHooks.h"
#include "transmit/KeyingTiming.h"
#include "transmit/SendEcho.h"
#include "transmit/TransmitText.h"

namespace morvane::transmit {

// Period of the keying timer before the first character is sent, in ms.
inline constexpr int kInitialTimerPeriodMs = 57;
// PTT is released this long after the last key-up, in ms.
inline constexpr int kPttTailMs = 20;

struct KeyingEngineParts {
    TransmitText& Text;
    KeyOutput& Output;
    SendEcho& Echo;
    ReceiveHandOver& Receive;
    KeyingListener& Listener;
    AutoCqCounter* AutoCq = nullptr;  // none: Auto CQ never runs
};

class KeyingEngine {
  public:
    explicit KeyingEngine(KeyingEngineParts parts);

    // One timer tick. Returns the new timer period in ms when the timer is to
    // be re-armed, nothing when it keeps its period.
    std::optional<int> KeyingStep();

    // Settings, written by the user-interface thread.
    void SetSpeedIndex(int step);  // slider moved (`UpdateSpeedLabel` reads it)
    int SpeedIndex() const { return speedIndex_.load(); }
    void SetWeights(const Weights& weights);
    Weights CurrentWeights() const;
    void SetKeyMode(KeyMode mode);  // also clears the kana section and lookahead
    KeyMode CurrentKeyMode() const { return keyMode_.load(); }
    void SetKatakanaDisplay(bool katakana) { katakana_.store(katakana); }
    void SetPttLeadMs(int ms) { pttLeadMs_.store(ms); }
    void SetTxEditHold(bool hold) { txEditHold_.store(hold); }
    bool TxEditHold() const { return txEditHold_.load(); }
    void MarkTextCut() { textCutMark_.store(true); }
    void ClearTextCutMark() { textCutMark_.store(false); }
    void SetCaptureRunning(bool running) { captureRunning_.store(running); }
    // Forgets the speed saved by the first speed tag (speed keys, preset).
    void ClearSpeedSaved() { speedSaved_.store(false); }

    // For Auto CQ and the automatic clear: characters keyed so far, and whether
    // nothing is loaded or pending (all text sent, no romaji group waiting).
    std::uint64_t SentCharacterCount() const { return sentCharacters_.load(); }
    bool Idle() const { return idle_.load(); }
    int RomajiLookahead() const { return romajiLookahead_.load(); }

  private:
    void ReadText();
    std::string UnsentText() const;  // from `position_` to the end
    void CommitPosition();
    std::size_t SendableEnd() const;  // L - RomajiLookahead, at least 0
    void ReceiveAgain();              // ReceiveEnabled, ring index reset
    std::optional<int> PlayElement();
    std::optional<int> LoadNext();
    void ScanTags();
    void ApplyTag(const struct TransmitTag& tag);
    void ChangeSpeed(int step);
    void UpdateIdle();
    double DotMs() const { return DotLengthMs(speedIndex_.load()); }

    KeyingEngineParts parts_;

    std::atomic<int> speedIndex_{kDefaultSpeedStep};
    std::atomic<double> dotWeight_{1.0};
    std::atomic<double> dashWeight_{3.0};
    std::atomic<double> charSpaceWeight_{3.0};
    std::atomic<double> wordSpaceWeight_{7.0};
    std::atomic<KeyMode> keyMode_{KeyMode::English};
    std::atomic<bool> keyModeChanged_{false};
    std::atomic<bool> katakana_{true};
    std::atomic<int> pttLeadMs_{0};
    std::atomic<bool> txEditHold_{false};
    std::atomic<bool> textCutMark_{false};
    std::atomic<bool> captureRunning_{true};
    std::atomic<bool> speedSaved_{false};
    std::atomic<int> savedSpeedIndex_{kDefaultSpeedStep};
    std::atomic<std::uint64_t> sentCharacters_{0};
    std::atomic<bool> idle_{true};
    std::atomic<int> romajiLookahead_{0};

    // Keying-thread state.
    std::string txText_;
    std::vector<std::string_view> chars_;
    std::size_t position_ = kTransmitPrefixLength;
    std::uint64_t generation_ = 0;
    std::string currentChar_;
    std::string currentPattern_;
    std::size_t elementIndex_ = 0;
    bool patternActive_ = false;
    bool echoPending_ = false;
    RomajiState romaji_;
    std::string waitingText_;  // the unsent text when a romaji group began to wait
    bool pttHeld_ = false;
    bool pttTailPending_ = false;
    int pttTailPeriodMs_ = 0;
    bool restoreDotPeriod_ = false;
};

}  // namespace morvane::transmit
