// Leaves the transmitter unkeyed however the process ends. Open ports
// register here; process-wide state because a signal handler has no other
// way to them.
//
// Termination signals (SIGINT, SIGTERM, SIGHUP, SIGQUIT, and SIGPIPE while
// it has its default action): the handler drops the serial lines at once
// (async-signal-safe), stops further key-downs and wakes a release thread,
// which releases the USB interface through its library (key up, close) on
// an ordinary thread and then ends the process with the same signal. A
// second termination signal while that runs ends the process at once.
// Crash signals (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT): the serial lines
// as above, then one last best-effort USB key-up from the handler itself.
// A normal exit (std::exit, return from main) releases like a termination.
#pragma once

#include <string>

namespace morvane::platform {

enum class ReleaseKind { Lines, Board };

// Installs the handlers and the release thread once; later calls do nothing.
void InstallEmergencyRelease();

// Registers an open port; returns a slot for Unregister, or -1 when all are
// taken. `lockPath` (may be empty) is the port's lock file, removed when a
// signal ends the process so that the next start finds no stale lock.
int RegisterForRelease(int fd, ReleaseKind kind, const std::string& lockPath = {});
void UnregisterForRelease(int slot);
// The port's use changed (lines or keyer board).
void SetReleaseKind(int slot, ReleaseKind kind);

// What the handler does for serial ports, callable directly
// (async-signal-safe): every registered port gets its lines cleared or the
// board's key-up and PTT-off.
void ReleaseAllPorts();

// A keying output whose release needs ordinary calls (the USB library).
class ExitRelease {
  public:
    virtual ~ExitRelease() = default;
    // Key up and close, on the release thread or at exit; must not wait long.
    virtual void ReleaseForExit() = 0;
};
void RegisterExitRelease(ExitRelease& target);
// Returns once no release of `target` is running.
void UnregisterExitRelease(ExitRelease& target);

// The USB library's write entry point and device id, for the crash
// handler's best-effort key-up; null to clear before the library goes.
using UsbWriteEntry = int (*)(int, int, int);
void SetUsbForCrashRelease(UsbWriteEntry write, int deviceId);

// False once a termination or crash has begun: no key-down or PTT-on may follow.
bool KeyingAllowed();

}  // namespace morvane::platform
