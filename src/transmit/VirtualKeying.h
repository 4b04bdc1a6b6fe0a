// Runs the keying engine on virtual time and records what it keys: the tests
// and the "events" output of the command-line keyer check timing this way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "transmit/KeyOutput.h"
#include "transmit/KeyingEngine.h"

namespace morvane::transmit {

enum class KeyAction { Down, Up, PttOn, PttOff };

struct KeyEvent {
    std::int64_t TimeMs;
    KeyAction Action;
    bool operator==(const KeyEvent&) const = default;
};

// "down", "up", "ptt-on", "ptt-off".
const char* KeyActionName(KeyAction action);

// "123 down": the line format of the command-line keyer's event output.
std::string FormatKeyEvent(const KeyEvent& event);

// Time source for recorders, in ms since an arbitrary start.
class KeyingClock {
  public:
    virtual ~KeyingClock() = default;
    virtual std::int64_t NowMs() const = 0;
};

// Records every action with the clock's time.
class KeyEventRecorder final : public KeyOutput {
  public:
    explicit KeyEventRecorder(const KeyingClock& clock) : clock_(clock) {}
    void KeyDown() override { events_.push_back({clock_.NowMs(), KeyAction::Down}); }
    void KeyUp() override { events_.push_back({clock_.NowMs(), KeyAction::Up}); }
    void PttOn() override { events_.push_back({clock_.NowMs(), KeyAction::PttOn}); }
    void PttOff() override { events_.push_back({clock_.NowMs(), KeyAction::PttOff}); }
    const std::vector<KeyEvent>& Events() const { return events_; }
    // Events with times relative to the first one.
    std::vector<KeyEvent> FromFirst() const;

  private:
    const KeyingClock& clock_;
    std::vector<KeyEvent> events_;
};

// A keying timer on virtual time: each tick calls the engine, then advances
// the clock by the (possibly re-armed) period.
class VirtualKeyingTimer final : public KeyingClock {
  public:
    std::int64_t NowMs() const override { return nowMs_; }
    int PeriodMs() const { return periodMs_; }

    void Tick(KeyingEngine& engine);
    // Ticks until the engine has been idle for three ticks in a row or
    // `limitMs` of virtual time have passed. Returns false on the limit.
    bool RunUntilIdle(KeyingEngine& engine, std::int64_t limitMs = 3'600'000);

  private:
    std::int64_t nowMs_ = 0;
    int periodMs_ = kInitialTimerPeriodMs;
};

}  // namespace morvane::transmit
