#include "platform/serial/EmergencyRelease.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/usb/UsbKeyLibrary.h"

namespace morvane::platform {

namespace {

constexpr int kSlots = 4;
constexpr std::array<int, 4> kTerminationSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr std::array<int, 5> kCrashSignals{SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// Read by the signal handlers: lock-free atomics only.
std::array<std::atomic<int>, kSlots> g_fds{-1, -1, -1, -1};
std::array<std::atomic<int>, kSlots> g_kinds{};
// Written before the slot's descriptor is published, read only after it.
std::array<std::array<char, 256>, kSlots> g_lockPaths{};
std::atomic<UsbWriteEntry> g_usbWrite{nullptr};
std::atomic<int> g_usbId{-1};
std::atomic<bool> g_keyingAllowed{true};
std::atomic<int> g_terminating{0};   // the first termination signal
std::atomic<int> g_wakeFd{-1};       // write end of the release thread's pipe
std::atomic<pid_t> g_releasePid{0};  // the process the release thread runs in
std::once_flag g_installed;

// Ordinary-thread state of the release thread and exit.
struct ExitTargets {
    std::mutex Mutex;
    std::vector<ExitRelease*> Targets;
};
ExitTargets& Targets() {
    static ExitTargets targets;
    return targets;
}

void ReleaseExitTargets() {
    ExitTargets& targets = Targets();
    std::lock_guard lock(targets.Mutex);
    for (ExitRelease* target : targets.Targets)
        target->ReleaseForExit();
}

void UsbBestEffortKeyUp() {
    UsbWriteEntry write = g_usbWrite.load();
    if (write != nullptr)
        write(g_usbId.load(), 0, kUsbKeyUpValue);
}

void RemoveLockFiles() {
    for (int slot = 0; slot < kSlots; ++slot) {
        if (g_fds[slot].load() >= 0 && g_lockPaths[slot][0] != '\0')
            unlink(g_lockPaths[slot].data());
    }
}

[[noreturn]] void DieOf(int signal) {
    RemoveLockFiles();
    ::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
    _exit(128 + signal);  // a signal whose default is to be ignored
}

void OnCrashSignal(int signal) {
    g_keyingAllowed.store(false);
    ReleaseAllPorts();
    UsbBestEffortKeyUp();
    DieOf(signal);
}

void OnTerminationSignal(int signal) {
    g_keyingAllowed.store(false);
    ReleaseAllPorts();
    int first = 0;
    const int fd = g_wakeFd.load();
    // Without a release thread in this process (a forked child), or on a
    // second signal, nothing can wait for one: release what is safe and go.
    if (!g_terminating.compare_exchange_strong(first, signal) || fd < 0 ||
        g_releasePid.load() != getpid()) {
        UsbBestEffortKeyUp();
        DieOf(signal);
    }
    const char byte = static_cast<char>(signal);
    ssize_t ignored = write(fd, &byte, 1);
    (void)ignored;
}

void ReleaseThread(int readFd) {
    char byte = 0;
    for (;;) {
        const ssize_t got = read(readFd, &byte, 1);
        if (got == 1)
            break;
        if (got == 0 || errno != EINTR) {
            g_wakeFd.store(-1);  // the handlers now release and end on their own
            return;
        }
    }
    ReleaseExitTargets();
    // Again, after the USB release: a key action that was under way when
    // the signal came may have raised a line since.
    ReleaseAllPorts();
    DieOf(static_cast<unsigned char>(byte));
}

void ReleaseAtExit() {
    g_keyingAllowed.store(false);
    ReleaseExitTargets();
    ReleaseAllPorts();
}

void Install() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) == 0) {
        fcntl(fds[1], F_SETFL, O_NONBLOCK);  // the handler never blocks
        g_wakeFd.store(fds[1]);
        g_releasePid.store(getpid());
        // The thread only waits for a signal; the process may end under it.
        std::thread(ReleaseThread, fds[0]).detach();
    }
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    for (int signal : kCrashSignals)
        sigaddset(&action.sa_mask, signal);
    action.sa_handler = OnTerminationSignal;
    for (int signal : kTerminationSignals)
        sigaction(signal, &action, nullptr);
    struct sigaction pipe {};
    if (sigaction(SIGPIPE, nullptr, &pipe) == 0 && pipe.sa_handler == SIG_DFL)
        sigaction(SIGPIPE, &action, nullptr);
    action.sa_handler = OnCrashSignal;
    action.sa_flags = SA_RESETHAND;
    for (int signal : kCrashSignals)
        sigaction(signal, &action, nullptr);
    std::atexit(ReleaseAtExit);
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
    std::call_once(g_installed, Install);
}

int RegisterForRelease(int fd, ReleaseKind kind, const std::string& lockPath) {
    constexpr int kClaimed = -2;  // taken, not yet usable by the handler
    for (int slot = 0; slot < kSlots; ++slot) {
        int expected = -1;
        if (!g_fds[slot].compare_exchange_strong(expected, kClaimed))
            continue;
        g_kinds[slot].store(static_cast<int>(kind));
        // A path too long for the slot is not removed (it is then only stale).
        std::array<char, 256>& path = g_lockPaths[slot];
        path[0] = '\0';
        if (lockPath.size() < path.size())
            lockPath.copy(path.data(), lockPath.size());
        path[lockPath.size() < path.size() ? lockPath.size() : 0] = '\0';
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

void RegisterExitRelease(ExitRelease& target) {
    ExitTargets& targets = Targets();
    std::lock_guard lock(targets.Mutex);
    targets.Targets.push_back(&target);
}

void UnregisterExitRelease(ExitRelease& target) {
    ExitTargets& targets = Targets();
    std::lock_guard lock(targets.Mutex);
    std::erase(targets.Targets, &target);
}

void SetUsbForCrashRelease(UsbWriteEntry write, int deviceId) {
    g_usbWrite.store(nullptr);
    g_usbId.store(deviceId);
    g_usbWrite.store(write);
}

bool KeyingAllowed() {
    return g_keyingAllowed.load();
}

}  // namespace morvane::platform
