// One open serial port as the keying outputs use it: two modem lines, the
// keyer board's line settings and raw writes. The serial library lists the
// ports; they are opened through termios directly, because the port must be
// claimed (lock file, flock, exclusive mode) before anything touches its
// settings or lines, which the library's open does at once.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/serial/PortLockFile.h"

namespace morvane::platform {

class SerialDevice {
  public:
    virtual ~SerialDevice() = default;
    // Line control; false when the device refused (e.g. a pseudo-terminal).
    virtual bool SetRts(bool on) = 0;
    virtual bool SetDtr(bool on) = 0;
    // 115200 baud, 8 data bits, no parity, one stop bit, no flow control.
    virtual bool ConfigureBoard() = 0;
    // Writes all bytes; false on any failure.
    virtual bool Write(const void* data, std::size_t size) = 0;
    // The file descriptor, for the emergency release on fatal signals.
    virtual int Descriptor() const = 0;
};

struct SerialOpenResult {
    std::unique_ptr<SerialDevice> Device;  // null on failure
    // Another program holds the port (its lock file, a lock on the device or
    // exclusive mode): it was left as it was.
    bool Busy = false;
    // The lock file taken for the port (empty when none could be).
    std::string LockPath{};
    // Time from the open call's return to both lines being inactive again:
    // Linux raises DTR and RTS on open, which could key a transmitter.
    std::chrono::nanoseconds LineGlitch{0};
};

// Opens `name` (e.g. "/dev/ttyUSB0") for reading and writing, exclusively,
// and at once drives DTR and RTS inactive. A port another program holds is
// reported busy and not driven. `lockDir` holds the lock files.
SerialOpenResult OpenSerialDevice(const std::string& name,
                                  const std::string& lockDir = kDefaultLockDir);

// The serial ports present, by the names the serial library reports; no
// port is opened.
std::vector<std::string> ListSerialPorts();

}  // namespace morvane::platform
