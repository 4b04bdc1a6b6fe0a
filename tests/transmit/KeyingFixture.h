// A keying engine wired to recorders on virtual time, shared by the suites.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "text/WindowCommand.h"
#include "transmit/KeyingEngine.h"
#include "transmit/VirtualKeying.h"

namespace morvane::transmit {
inline void PrintTo(const KeyEvent& event, std::ostream* out) {
    *out << FormatKeyEvent(event);
}
}  // namespace morvane::transmit

namespace morvane::transmit::testing {

class RecordingReceive final : public ReceiveHandOver {
  public:
    void SetReceiveEnabled(bool enabled) override { ReceiveEnabled = enabled; }
    void ResetSpeedMeasurement() override { ++SpeedMeasurementResets; }
    void ResetSendMark() override { ++SendMarkResets; }
    void ResetElementTiming() override { ++ElementTimingResets; }
    bool ReceiveEnabled = true;
    int SpeedMeasurementResets = 0;
    int SendMarkResets = 0;
    int ElementTimingResets = 0;
};

class RecordingListener final : public KeyingListener {
  public:
    void SpeedStepChanged(int step) override { Speeds.push_back(step); }
    void WeightShown(char which, double value) override {
        Weights.push_back(std::string(1, which) + std::to_string(value).substr(0, 3));
    }
    void FunctionKeyTag(int key) override { Keys.push_back(key); }
    void CharacterFinished() override { ++Characters; }
    std::string ClockText() override { return "12:34:56"; }
    std::vector<int> Speeds;
    std::vector<std::string> Weights;
    std::vector<int> Keys;
    int Characters = 0;
};

struct KeyingRig {
    TransmitText Text;
    VirtualKeyingTimer Timer;
    KeyEventRecorder Output{Timer};
    text::WindowCommandQueue Windows;
    SendEcho Echo{Windows};
    RecordingReceive Receive;
    RecordingListener Listener;
    KeyingEngine Engine{{Text, Output, Echo, Receive, Listener}};

    // Sends `text` to the end; returns events relative to the first action.
    std::vector<KeyEvent> Send(const std::string& text) {
        Text.Append(text);
        Timer.RunUntilIdle(Engine, 600'000);
        return Output.FromFirst();
    }
};

// Morse as heard from key events: '.' or '-' by key-down length against the
// dot, ' ' between characters (a key-up of 2 dots or more).
std::string HeardMorse(const std::vector<KeyEvent>& events, double dotMs);

// The texts echoed as sent ("S:") or unsendable ("U:"), and stamps ("T:").
std::vector<std::string> EchoedTexts(text::WindowCommandQueue& windows);

}  // namespace morvane::transmit::testing
