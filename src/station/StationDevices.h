// The platform pieces the station drives, declared here and implemented in
// platform/ (sound cards, serial and USB keying, the keying timer thread,
// the logging programs' windows). The program builds them and hands them to
// the station; tests hand in fakes. The station never includes platform code.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/logger/LoggerWindows.h"
#include "receive/BlockSource.h"
#include "transmit/KeyOutput.h"

namespace morvane::station {

// Capture sources: sound devices by name (the demo source among them).
class CaptureDevices {
  public:
    virtual ~CaptureDevices() = default;
    // Names to offer, first the default one.
    virtual std::vector<std::string> DeviceNames() = 0;
    // Opens `name` (the first device when empty or unknown) and starts its
    // ring. Returns the message to show on failure.
    virtual std::optional<std::string> Open(std::string_view name) = 0;
    // The opened source; valid after a successful Open until Stop.
    virtual receive::BlockSource& Source() = 0;
    virtual void Stop() = 0;
};

// The keying port: a serial line, the keyer board or the USB interface.
// Key actions come from the keying thread, the rest from the view's thread.
class KeyingPort : public transmit::KeyOutput {
  public:
    // Ports that open now, then "USBIF" when the USB library answers.
    virtual std::vector<std::string> ProbePorts() = 0;
    // Opens "USBIF" or a serial port name; the message to show on failure.
    virtual std::string OpenPort(const std::string& item) = 0;
    virtual void SetLineMode(const std::string& mode) = 0;  // "RTS", "DTR", "UNO"
    virtual void ClosePorts() = 0;
};

// A periodic timer thread for the keying engine: `step` returns a new
// period in ms or nothing; `release` runs on that thread once it stops.
class KeyingTimer {
  public:
    virtual ~KeyingTimer() = default;
    virtual void Start(int initialPeriodMs) = 0;
    virtual void Stop() = 0;
};
using KeyingTimerFactory = std::function<std::unique_ptr<KeyingTimer>(
    std::function<std::optional<int>()> step, std::function<void()> release)>;

// The logging programs' windows and their code page (see qso/LogTransfer).
struct LoggerDesktop {
    platform::LoggerWindows* Windows = nullptr;  // none: no logging program is ever found
    const platform::SystemCodePage* CodePage = nullptr;
};

}  // namespace morvane::station
