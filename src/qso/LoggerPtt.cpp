#include "qso/LoggerPtt.h"

#include <chrono>

namespace morvane::qso {

LoggerPttOutput::LoggerPttOutput(transmit::KeyOutput& port, platform::LoggerWindows& windows,
                                 const std::atomic<bool>& linkUp)
    : port_(port),
      windows_(windows),
      linkUp_(linkUp),
      thread_([this](std::stop_token stop) { Run(stop); }) {}

void LoggerPttOutput::PttOn() {
    if (ThroughLogger())
        queue_.Push(kHamlogPttOn);
    else
        port_.PttOn();
}

void LoggerPttOutput::PttOff() {
    if (ThroughLogger())
        queue_.Push(kHamlogPttOff);
    else
        port_.PttOff();
}

void LoggerPttOutput::Run(std::stop_token stop) {
    constexpr auto kStopCheck = std::chrono::milliseconds(50);
    while (!stop.stop_requested()) {
        auto command = queue_.PopFor(kStopCheck);
        if (!command)
            continue;
        // Switches queued while HamLog kept us waiting are stale: only the
        // latest state is worth sending.
        const auto later = queue_.Drain();
        Send(later.empty() ? *command : later.back());
    }
    // The release at shutdown switches PTT off just before this object goes:
    // that last switch must still reach HamLog, or the rig keeps sending.
    if (const auto last = queue_.Drain(); !last.empty())
        Send(last.back());
}

void LoggerPttOutput::Send(std::uint32_t command) {
    // A missing window is no failure for the keying: PTT counts as switched.
    const platform::Deadline deadline = platform::DeadlineIn(kLinkOperationTimeout);
    const platform::WindowHandle hamlog = windows_.FindWindowByClass(kHamlogClass, deadline);
    if (hamlog != 0 && windows_.SendCopyData(hamlog, command, {}, deadline))
        ++sent_;
    else
        ++failed_;
}

}  // namespace morvane::qso
