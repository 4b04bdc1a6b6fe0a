#include "text/WindowCommand.h"

namespace morvane::text {

namespace {
template <class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
}  // namespace

void Apply(const WindowCommand& command, ReceiveWindow& receive, MonitorWindow& monitor) {
    std::visit(Overloaded{
                   [&](const command::AppendReceived& c) {
                       receive.AppendReceived(c.Text, c.Confidence.value_or(1.0f));
                   },
                   [&](const command::AppendWordSpace&) { receive.AppendWordSpace(); },
                   [&](const command::EchoSent& c) { receive.EchoSent(c.Text); },
                   [&](const command::EchoUnsendable& c) { receive.EchoUnsendable(c.Text); },
                   [&](const command::MonitorEchoSent& c) { monitor.EchoSent(c.Text); },
                   [&](const command::MonitorEchoUnsendable& c) { monitor.EchoUnsendable(c.Text); },
                   [&](const command::StampTxTime& c) { receive.StampTxTime(c.Stamp); },
                   [&](const command::ClockLine& c) { receive.AppendClockLine(c.Line); },
                   [&](const command::CountryLine& c) { receive.AppendCountryLine(c.Line); },
                   [&](const command::LinkMessage& c) { receive.AppendLinkMessage(c.Message); },
                   [&](const command::ClearReceive&) { receive.ClearReceive(); },
                   [&](const command::ClearMonitor&) { monitor.ClearMonitor(); },
               },
               command);
}

std::size_t DrainInto(WindowCommandQueue& queue, ReceiveWindow& receive, MonitorWindow& monitor) {
    std::vector<WindowCommand> commands = queue.Drain();
    for (const WindowCommand& command : commands)
        Apply(command, receive, monitor);
    return commands.size();
}

}  // namespace morvane::text
