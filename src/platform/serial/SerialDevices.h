// The two SerialDevice implementations, used by OpenSerialDevice only.
#pragma once

#include "platform/serial/SerialDevice.h"

namespace morvane::platform::detail {

// Null when the serial library does not know or cannot open `name`.
std::unique_ptr<SerialDevice> OpenLibSerialPort(const std::string& name);
std::unique_ptr<SerialDevice> OpenPosixTty(const std::string& name);
std::vector<std::string> LibSerialPortNames();

}  // namespace morvane::platform::detail
