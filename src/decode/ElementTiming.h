// Element timing: turns the per-tick mark/space decision into dots, dashes
// and gaps, builds each character's CodeNumber and hands finished characters
// to a CharacterSink; every 12th mark it re-estimates the sending speed and
// adapts both thresholds. Runs on the capture thread; the settings the UI
// changes (thresholds, Auto, slider, ring reset, SpeedValid) are atomics.
#pragma once

#include <array>
#include <atomic>
#include <string>

#include "decode/CharacterSink.h"
#include "decode/SpeedEstimate.h"
#include "decode/TickSink.h"

namespace morvane::decode {

// Receives accepted speed estimates (on the capture thread): move the
// receive slider and write the speed label.
class SpeedDisplay {
  public:
    virtual ~SpeedDisplay() = default;
    virtual void ShowReceiveSpeed(int charsPerMinute, int rxSpeedIndex) = 0;
};

// Result of a receive-speed control change on the UI thread.
struct RxSpeedControlResult {
    std::string SettingWord;  // "rxautoON"/"rxautoOFF"; empty for the slider
    std::string LabelText;    // new speed label; empty when unchanged
};

class ElementTiming : public TickSink {
  public:
    // Neither pointer is owned; `display` may be null.
    explicit ElementTiming(CharacterSink& sink, SpeedDisplay* display = nullptr);

    // One tick: speed measurement, then the element state machine. Levels in dB.
    void TimingStep(int SignalLevel, int Threshold) override;

    // UI thread: the receive "Auto" check box; unchecked takes the slider position.
    RxSpeedControlResult SetRxSpeedAuto(bool checked, int sliderPosition);
    // UI thread: the receive speed slider moved by hand (0..31).
    RxSpeedControlResult SetRxSpeedIndex(int sliderPosition);
    // End of sending (clearSpeedValid false) or F5 / "<VK_F5>" (true).
    void ResetSpeedMeasurement(bool clearSpeedValid);
    // Any thread (the keying engine after each character): the mark and gap
    // run lengths of the speed measurement restart at the next tick, so the
    // time spent sending does not enter the rings as one huge gap.
    void ResetElementTiming() { counterResetPending_ = true; }

    bool RxSpeedAuto() const { return rxSpeedAuto_; }
    bool SpeedValid() const { return speedValid_; }
    int DashThreshold() const { return dashThreshold_; }
    int CharGapThreshold() const { return charGapThreshold_; }
    int RxSpeedIndex() const { return rxSpeedIndex_; }
    int RingIndex() const { return ringIndex_; }
    // Capture-thread state, for tests and displays on that thread.
    long long CodeNumber() const { return codeNumber_; }
    int ElementCount() const { return elementCount_; }
    int ElementState() const { return elementState_; }

  private:
    enum State { kIdle = 0, kFirstMark = 1, kInnerGap = 2, kFurtherMark = 3 };

    void ElementStep(bool high);
    void AddElement();
    void CompleteAtElementLimit();
    ExtendedCharacter Current(bool partialFlush) const;
    void RunEstimate();

    CharacterSink& sink_;
    SpeedDisplay* display_;

    std::atomic<bool> rxSpeedAuto_{true};
    std::atomic<bool> speedValid_{true};
    std::atomic<int> dashThreshold_{ThresholdForSpeedIndex(kDefaultRxSpeedIndex)};
    std::atomic<int> charGapThreshold_{ThresholdForSpeedIndex(kDefaultRxSpeedIndex)};
    std::atomic<int> rxSpeedIndex_{kDefaultRxSpeedIndex};
    std::atomic<int> ringIndex_{0};
    std::atomic<bool> counterResetPending_{false};

    // Speed measurement.
    bool keyDown_ = false;
    int markRun_ = 0;
    int spaceRun_ = 0;
    LengthRing markRing_{};
    LengthRing spaceRing_{};

    // Decoding.
    int elementState_ = kIdle;
    int markCount_ = 0;
    int gapCount_ = 0;
    int elementCount_ = 1;
    long long codeNumber_ = 0;
    // Element lengths of the run. After a cut at the element limit the
    // remainder's own lengths stay in front (its code in codeNumber_, with
    // elementCount_ back at 1 standing for it), so a later split still sees
    // them: element i of the character is stored at carried_ + i.
    int carried_ = 0;
    std::array<int, 2 * kMaxCharacterElements> markLengths_{};
    std::array<int, 2 * kMaxCharacterElements> gapLengths_{};
    int spacesPrinted_ = 0;
};

}  // namespace morvane::decode
