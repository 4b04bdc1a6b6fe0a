// A private PulseAudio daemon for the sound-card tests, with its own runtime
// and home folders and a null sink "cwsink" at 11025 Hz whose monitor is the
// default source. The process environment points at it, so ALSA's "pulse"
// device (and any program the test starts) records the sink.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "../TestSupport.h"

namespace morvane::test {

// In CI a sound server must be there: a test that cannot start one fails.
inline bool InCi() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

// Skips (at a desk) or fails (in CI) the current test when `problem` is set.
#define MORVANE_NEED_SOUND(problem)                              \
    do {                                                         \
        if (const std::optional<std::string> why_ = (problem)) { \
            if (::morvane::test::InCi())                         \
                FAIL() << "no sound server in CI: " << *why_;    \
            else                                                 \
                GTEST_SKIP() << "no sound server: " << *why_;    \
        }                                                        \
    } while (0)

class PulseServer {
  public:
    PulseServer() = default;
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;
    ~PulseServer() {
        // A test that failed while the daemon was stopped must not leave it so.
        Kill(SIGCONT);
        Kill(SIGTERM);
    }

    // Starts the daemon unless it runs; the reason it could not, or nothing.
    std::optional<std::string> Start() {
        using namespace std::chrono_literals;
        if (pid_ > 0 && Alive())
            return std::nullopt;
        if (std::system("command -v pulseaudio >/dev/null && command -v paplay >/dev/null") != 0)
            return "pulseaudio or paplay is not installed";
        fs::create_directories(root_ / "home/.config/pulse");
        fs::create_directories(root_ / "run");
        fs::permissions(root_ / "run", fs::perms::owner_all);
        // Without these the null sink moves itself to 48 kHz.
        std::ofstream(root_ / "home/.config/pulse/daemon.conf")
            << "default-sample-rate = 11025\nalternate-sample-rate = 11025\n";
        setenv("XDG_RUNTIME_DIR", (root_ / "run").c_str(), 1);
        setenv("HOME", (root_ / "home").c_str(), 1);
        std::error_code ignored;
        fs::remove(root_ / "run/pulse/pid", ignored);  // a killed daemon leaves it behind
        const std::string log = (root_ / "daemon.log").string();
        if (std::system(("pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit -n "
                         "--load=module-native-protocol-unix "
                         "--load='module-null-sink sink_name=cwsink rate=11025 channels=2' >" +
                         log + " 2>&1")
                            .c_str()) != 0)
            return "pulseaudio did not start: " + Slurp(log);
        pid_ = 0;
        for (int i = 0; i < 50 && pid_ <= 0; ++i) {
            std::ifstream(root_ / "run/pulse/pid") >> pid_;
            if (pid_ <= 0)
                std::this_thread::sleep_for(100ms);
        }
        if (pid_ <= 0)
            return "pulseaudio wrote no pid file: " + Slurp(log);
        if (std::system("pactl info >/dev/null 2>&1") != 0)
            return "pactl cannot reach the daemon";
        return std::nullopt;
    }

    // Sends `signal` to the daemon; for a terminating signal, waits (at most
    // 5 s) until it is gone. True when it is.
    bool Kill(int signal) {
        using namespace std::chrono_literals;
        if (pid_ <= 0)
            return true;
        kill(pid_, signal);
        if (signal == SIGSTOP || signal == SIGCONT)
            return false;
        for (int i = 0; i < 100 && Alive(); ++i)
            std::this_thread::sleep_for(50ms);
        if (Alive())
            return false;
        pid_ = 0;
        return true;
    }

    // Plays a sound file into the null sink; returns at once.
    std::thread Play(const fs::path& file) const {
        const std::string command = "paplay --device=cwsink '" + file.string() + "'";
        return std::thread([command] { [[maybe_unused]] int rc = std::system(command.c_str()); });
    }

    TempFolder Folder;

  private:
    // The daemon is not our child: once killed it may linger as a zombie
    // until its parent reaps it.
    bool Alive() const {
        std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
        std::string pid, name, state;
        return stat >> pid >> name >> state && state != "Z";
    }

    const fs::path& root_ = Folder.Path;
    pid_t pid_ = 0;
};

}  // namespace morvane::test
