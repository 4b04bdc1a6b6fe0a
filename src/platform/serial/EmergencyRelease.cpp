#include "platform/serial/EmergencyRelease.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <atomic>

namespace morvane::platform {

namespace {

constexpr int kSlots = 4;
constexpr std::array<int, 9> kFatalSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV,
                                           SIGBUS, SIGFPE,  SIGILL, SIGABRT};

// Process-wide on purpose: a signal handler has no other way to the ports.
std::array<std::atomic<int>, kSlots> g_fds{-1, -1, -1, -1};
std::array<std::atomic<int>, kSlots> g_kinds{};
std::atomic<bool> g_installed{false};

void OnFatalSignal(int signal) {
    ReleaseAllPorts();
    // Die of the same signal, with its default action.
    ::signal(signal, SIG_DFL);
    raise(signal);
}

}  // namespace

void ReleaseAllPorts() {
    static constexpr char kBoardRelease[] = {'b', 0, 0, 'e', 0, 0};
    for (int slot = 0; slot < kSlots; ++slot) {
        int fd = g_fds[slot].load();
        if (fd < 0)
            continue;
        if (g_kinds[slot].load() == static_cast<int>(ReleaseKind::Board)) {
            ssize_t ignored = write(fd, kBoardRelease, sizeof kBoardRelease);
            (void)ignored;
        } else {
            // ioctl is a plain system call on Linux; the lines drop at once.
            int lines = TIOCM_DTR | TIOCM_RTS;
            ioctl(fd, TIOCMBIC, &lines);
        }
    }
}

void InstallEmergencyRelease() {
    if (g_installed.exchange(true))
        return;
    struct sigaction action {};
    action.sa_handler = OnFatalSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (int signal : kFatalSignals)
        sigaction(signal, &action, nullptr);
}

int RegisterForRelease(int fd, ReleaseKind kind) {
    constexpr int kClaimed = -2;  // taken, not yet usable by the handler
    for (int slot = 0; slot < kSlots; ++slot) {
        int expected = -1;
        if (!g_fds[slot].compare_exchange_strong(expected, kClaimed))
            continue;
        g_kinds[slot].store(static_cast<int>(kind));
        g_fds[slot].store(fd);
        return slot;
    }
    return -1;
}

void SetReleaseKind(int slot, ReleaseKind kind) {
    if (slot >= 0 && slot < kSlots)
        g_kinds[slot].store(static_cast<int>(kind));
}

void UnregisterForRelease(int slot) {
    if (slot >= 0 && slot < kSlots)
        g_fds[slot].store(-1);
}

}  // namespace morvane::platform
