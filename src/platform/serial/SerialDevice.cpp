#include "platform/serial/SerialDevice.h"

#include "platform/serial/SerialDevices.h"

namespace morvane::platform {

SerialOpenResult OpenSerialDevice(const std::string& name) {
    auto opened = std::chrono::steady_clock::now();
    std::unique_ptr<SerialDevice> device = detail::OpenLibSerialPort(name);
    if (!device) {
        opened = std::chrono::steady_clock::now();
        device = detail::OpenPosixTty(name);
    }
    if (!device)
        return {};
    // Lines that cannot be set (pseudo-terminals have none) are not an error.
    device->SetDtr(false);
    device->SetRts(false);
    return {std::move(device), std::chrono::steady_clock::now() - opened};
}

std::vector<std::string> ListSerialPorts() {
    return detail::LibSerialPortNames();
}

}  // namespace morvane::platform
