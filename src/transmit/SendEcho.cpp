#include "transmit/SendEcho.h"

#include <string>

namespace morvane::transmit {

namespace command = text::command;

void SendEcho::EchoSent(std::string_view text) {
    switch (mode_.load()) {
        case EchoMode::Receive:
            windows_.Push(command::EchoSent{std::string(text)});
            break;
        case EchoMode::Monitor:
            windows_.Push(command::MonitorEchoSent{std::string(text)});
            break;
        case EchoMode::None:
            break;
    }
}

void SendEcho::EchoUnsendable(std::string_view text) {
    switch (mode_.load()) {
        case EchoMode::Receive:
            windows_.Push(command::EchoUnsendable{std::string(text)});
            break;
        case EchoMode::Monitor:
            windows_.Push(command::MonitorEchoUnsendable{std::string(text)});
            break;
        case EchoMode::None:
            break;
    }
}

void SendEcho::StampTime(std::string_view clockText) {
    if (mode_.load() != EchoMode::Receive)
        return;
    windows_.Push(command::StampTxTime{"[" + std::string(clockText) + "] "});
}

}  // namespace morvane::transmit
