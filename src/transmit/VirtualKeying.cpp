#include "transmit/VirtualKeying.h"

namespace morvane::transmit {

const char* KeyActionName(KeyAction action) {
    switch (action) {
        case KeyAction::Down:
            return "down";
        case KeyAction::Up:
            return "up";
        case KeyAction::PttOn:
            return "ptt-on";
        case KeyAction::PttOff:
            return "ptt-off";
    }
    return "";
}

std::string FormatKeyEvent(const KeyEvent& event) {
    return std::to_string(event.TimeMs) + " " + KeyActionName(event.Action);
}

std::vector<KeyEvent> KeyEventRecorder::FromFirst() const {
    std::vector<KeyEvent> shifted = events_;
    if (shifted.empty())
        return shifted;
    std::int64_t start = shifted.front().TimeMs;
    for (KeyEvent& event : shifted)
        event.TimeMs -= start;
    return shifted;
}

void VirtualKeyingTimer::Tick(KeyingEngine& engine) {
    if (auto period = engine.KeyingStep())
        periodMs_ = *period;
    nowMs_ += periodMs_;
}

bool VirtualKeyingTimer::RunUntilIdle(KeyingEngine& engine, std::int64_t limitMs) {
    std::int64_t end = nowMs_ + limitMs;
    int idleTicks = 0;
    while (nowMs_ < end) {
        Tick(engine);
        idleTicks = engine.Idle() ? idleTicks + 1 : 0;
        if (idleTicks >= 3)
            return true;
    }
    return false;
}

}  // namespace morvane::transmit
