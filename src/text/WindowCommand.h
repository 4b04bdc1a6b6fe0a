// Writes to the receive and monitor windows from threads that do not own
// them. The decoder (capture thread), the keying engine (timer thread) and
// the UI handlers push WindowCommands onto one WindowCommandQueue; the owner
// of the windows drains it and applies each command in order, so the label
// rules see the writes in the order they happened.
#pragma once

#include <optional>
#include <string>
#include <variant>

#include "common/MessageQueue.h"
#include "text/MonitorWindow.h"
#include "text/ReceiveWindow.h"

namespace morvane::text {

namespace command {
struct AppendReceived {
    std::string Text;
    // 0..1 from a decoder that rates its characters; none from one that does not.
    std::optional<float> Confidence = std::nullopt;
};
struct AppendWordSpace {};
struct EchoSent {  // receive window
    std::string Text;
};
struct EchoUnsendable {  // receive window
    std::string Text;
};
struct MonitorEchoSent {
    std::string Text;
};
struct MonitorEchoUnsendable {
    std::string Text;
};
struct StampTxTime {  // "[" + clock text + "] "
    std::string Stamp;
};
struct ClockLine {
    std::string Line;
};
struct CountryLine {
    std::string Line;
};
struct LinkMessage {
    std::string Message;
};
struct ClearReceive {};
struct ClearMonitor {};
}  // namespace command

using WindowCommand =
    std::variant<command::AppendReceived, command::AppendWordSpace, command::EchoSent,
                 command::EchoUnsendable, command::MonitorEchoSent, command::MonitorEchoUnsendable,
                 command::StampTxTime, command::ClockLine, command::CountryLine,
                 command::LinkMessage, command::ClearReceive, command::ClearMonitor>;

using WindowCommandQueue = common::MessageQueue<WindowCommand>;

// Carries out one command on the owner's windows.
void Apply(const WindowCommand& command, ReceiveWindow& receive, MonitorWindow& monitor);

// Applies everything queued so far, oldest first; returns how many.
std::size_t DrainInto(WindowCommandQueue& queue, ReceiveWindow& receive, MonitorWindow& monitor);

}  // namespace morvane::text
