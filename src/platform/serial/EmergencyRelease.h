// Releases key and PTT if the process dies from a fatal signal while a port
// is open. The handler can only reach the port through process-wide state,
// so open ports register their descriptor here (lock-free atomics only).
#pragma once

namespace morvane::platform {

enum class ReleaseKind { Lines, Board };

// Installs the handlers for SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS,
// SIGFPE, SIGILL and SIGABRT once; later calls do nothing.
void InstallEmergencyRelease();

// Registers an open port; returns a slot for Unregister, or -1 when all are taken.
int RegisterForRelease(int fd, ReleaseKind kind);
void UnregisterForRelease(int slot);
// The port's use changed (lines or keyer board).
void SetReleaseKind(int slot, ReleaseKind kind);

// What the handler does, callable directly (async-signal-safe): every
// registered port gets its lines cleared or the board's key-up and PTT-off.
void ReleaseAllPorts();

}  // namespace morvane::platform
