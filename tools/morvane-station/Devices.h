// Key events as lines, for morvane-station's "--key events".
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "station/StationDevices.h"
#include "transmit/VirtualKeying.h"

namespace morvane::tools {

// Key actions as "key MS down" lines, ms since the first action. Called on
// the keying thread; `line` must be safe to call from there.
class KeyEventLines final : public transmit::KeyOutput {
  public:
    KeyEventLines(const transmit::KeyingClock& clock, std::function<void(std::string)> line)
        : clock_(clock), line_(std::move(line)) {}
    void KeyDown() override { Emit(transmit::KeyAction::Down); }
    void KeyUp() override { Emit(transmit::KeyAction::Up); }
    void PttOn() override { Emit(transmit::KeyAction::PttOn); }
    void PttOff() override { Emit(transmit::KeyAction::PttOff); }

  private:
    void Emit(transmit::KeyAction action);
    const transmit::KeyingClock& clock_;
    std::function<void(std::string)> line_;
    std::mutex mutex_;
    bool started_ = false;
    std::int64_t firstMs_ = 0;
};

// The wall clock in ms for key events.
class SteadyKeyingClock final : public transmit::KeyingClock {
  public:
    std::int64_t NowMs() const override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

}  // namespace morvane::tools
