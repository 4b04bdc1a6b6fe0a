// The station's transmit side: the transmit text, the keying engine with the
// Auto CQ counter, the controls around the transmit window, and what the
// keying thread reports back (speed and weight tags, function-key tags),
// queued for the view thread.
#pragma once

#include <mutex>
#include <string>
#include <variant>

#include "common/MessageQueue.h"
#include "macros/AutoCqEngineCounter.h"
#include "settings/ApplyTargets.h"
#include "station/StationReceiver.h"
#include "transmit/KeyingEngine.h"
#include "transmit/TransmitControls.h"

namespace morvane::station {

namespace keying_event {
struct FunctionKey {
    int Key;  // 1, 5, 6 or 7
};
struct SpeedStep {
    int Step;
};
struct Weight {
    char Which;
    double Value;
};
}  // namespace keying_event
using KeyingEvent =
    std::variant<keying_event::FunctionKey, keying_event::SpeedStep, keying_event::Weight>;

// Hooks the engine calls on the keying thread; they only queue.
class KeyingEvents final : public transmit::KeyingListener {
  public:
    void SpeedStepChanged(int step) override { queue.Push(keying_event::SpeedStep{step}); }
    void WeightShown(char which, double value) override {
        queue.Push(keying_event::Weight{which, value});
    }
    void FunctionKeyTag(int key) override { queue.Push(keying_event::FunctionKey{key}); }
    std::string ClockText() override;
    void SetClockText(std::string text);

    common::MessageQueue<KeyingEvent> queue;

  private:
    std::mutex mutex_;
    std::string clockText_;
};

// Both outputs of the keying thread: the port and an optional monitor.
class StationKeyOutput final : public transmit::KeyOutput {
  public:
    StationKeyOutput(transmit::KeyOutput* port, transmit::KeyOutput* monitor)
        : port_(port), monitor_(monitor) {}
    void KeyDown() override { Each(&transmit::KeyOutput::KeyDown); }
    void KeyUp() override { Each(&transmit::KeyOutput::KeyUp); }
    void PttOn() override { Each(&transmit::KeyOutput::PttOn); }
    void PttOff() override { Each(&transmit::KeyOutput::PttOff); }

  private:
    void Each(void (transmit::KeyOutput::*action)()) {
        if (port_ != nullptr)
            (port_->*action)();
        if (monitor_ != nullptr)
            (monitor_->*action)();
    }
    transmit::KeyOutput* port_;
    transmit::KeyOutput* monitor_;
};

class StationKeying final : public settings::TransmitOptions {
  public:
    StationKeying(transmit::KeyOutput* port, transmit::KeyOutput* monitor,
                  text::WindowCommandQueue& windows, StationReceiver& receiver,
                  macros::MacroController& macros, common::SettingSink& settings);

    transmit::TransmitText& Text() { return text_; }
    transmit::KeyingEngine& Engine() { return engine_; }
    transmit::TransmitControls& Controls() { return controls_; }
    transmit::SendEcho& Echo() { return echo_; }
    transmit::KeyOutput& Output() { return output_; }
    KeyingEvents& Events() { return events_; }

    // settings::TransmitOptions: applied without storing. The Key Mode also
    // picks the receive table, so it goes to the receiver too.
    void SetTypingMode(common::KeyMode mode) override;
    void SetTxClearAuto(bool on) override { controls_.SetTxClearAuto(on, false); }
    void SetTxClearDelay(int seconds) override { controls_.SetAutoClearDelayS(seconds, false); }
    void SelectRatio(settings::RatioCombo combo, std::string_view item) override;
    void SetSpeedStep(int sliderPosition) override;

  private:
    StationReceiver& receiver_;
    transmit::TransmitText text_;
    transmit::SendEcho echo_;
    StationKeyOutput output_;
    macros::AutoCqEngineCounter autoCqCounter_;
    KeyingEvents events_;
    transmit::KeyingEngine engine_;
    transmit::TransmitControls controls_;
};

}  // namespace morvane::station
