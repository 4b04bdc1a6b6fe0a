#include "KeyingFixture.h"

#include <variant>

namespace morvane::transmit::testing {

std::string HeardMorse(const std::vector<KeyEvent>& events, double dotMs) {
    std::string morse;
    std::int64_t downAt = -1;
    std::int64_t upAt = -1;
    for (const KeyEvent& event : events) {
        if (event.Action == KeyAction::Down) {
            if (upAt >= 0 && double(event.TimeMs - upAt) >= 2 * dotMs)
                morse += ' ';
            downAt = event.TimeMs;
        } else if (event.Action == KeyAction::Up && downAt >= 0) {
            morse += double(event.TimeMs - downAt) >= 2 * dotMs ? '-' : '.';
            upAt = event.TimeMs;
            downAt = -1;
        }
    }
    return morse;
}

std::vector<std::string> EchoedTexts(text::WindowCommandQueue& windows) {
    namespace command = text::command;
    std::vector<std::string> texts;
    for (const text::WindowCommand& item : windows.Drain()) {
        if (auto* sent = std::get_if<command::EchoSent>(&item))
            texts.push_back("S:" + sent->Text);
        if (auto* monitor = std::get_if<command::MonitorEchoSent>(&item))
            texts.push_back("M:" + monitor->Text);
        if (auto* bad = std::get_if<command::EchoUnsendable>(&item))
            texts.push_back("U:" + bad->Text);
        if (auto* stamp = std::get_if<command::StampTxTime>(&item))
            texts.push_back("T:" + stamp->Stamp);
    }
    return texts;
}

}  // namespace morvane::transmit::testing
