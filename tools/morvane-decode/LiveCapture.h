// Live decoding from a sound card: the program's capture thread and receive
// path on a PortAudio input, the text printed as it is decoded.
#pragma once

#include <string>

#include "receive/ReceivePath.h"

namespace morvane::tools {

// Prints the input devices --device takes, one a line. Exit status: 0, or 2
// when the sound system cannot start.
int ListCaptureDevices();

// Decodes `device` ("default" for the system's default input) until SIGINT,
// SIGTERM or SIGHUP (status 0), or until the device cannot be opened or is
// lost (the program's message on standard error, status 2).
int CaptureLive(const std::string& device, const receive::ReceivePathOptions& options);

}  // namespace morvane::tools
