// A private PulseAudio daemon for capture tests: its own runtime and home
// folders, a null sink "cwsink" at 11025 Hz whose monitor is the default
// source, stopped by its PID. The process environment is pointed at it so
// that ALSA's "pulse" device (and so PortAudio) records from the sink.
#pragma once

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include <sys/types.h>

namespace morvane::platform::audio::testing {

class PulseServer {
  public:
    PulseServer() = default;
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;
    ~PulseServer() { Shutdown(); }

    // Starts the daemon; the reason it could not, or nothing.
    std::optional<std::string> Start() {
        namespace fs = std::filesystem;
        if (std::system(
                "command -v pulseaudio >/dev/null 2>&1 && command -v paplay >/dev/null 2>&1") != 0)
            return "pulseaudio or paplay is not installed";
        char pattern[] = "/tmp/morvane_pulse.XXXXXX";
        if (!mkdtemp(pattern))
            return "cannot create a temporary folder";
        root_ = pattern;
        fs::create_directories(root_ / "run");
        fs::permissions(root_ / "run", fs::perms::owner_all);
        fs::create_directories(root_ / "home/.config/pulse");
        // Without these the null sink moves itself to 48 kHz.
        std::ofstream(root_ / "home/.config/pulse/daemon.conf")
            << "default-sample-rate = 11025\nalternate-sample-rate = 11025\n";
        setenv("XDG_RUNTIME_DIR", (root_ / "run").c_str(), 1);
        setenv("HOME", (root_ / "home").c_str(), 1);
        const std::string command =
            "pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit -n "
            "--load=module-native-protocol-unix "
            "--load='module-null-sink sink_name=cwsink rate=11025 channels=2' "
            ">" +
            (root_ / "daemon.log").string() + " 2>&1";
        if (std::system(command.c_str()) != 0)
            return "pulseaudio did not start: " + Log();
        for (int i = 0; i < 50 && !pid_; ++i) {
            std::ifstream pidFile(root_ / "run/pulse/pid");
            pid_t pid = 0;
            if (pidFile >> pid && pid > 0)
                pid_ = pid;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (!pid_)
            return "pulseaudio wrote no pid file: " + Log();
        if (std::system("pactl info >/dev/null 2>&1") != 0)
            return "pactl cannot reach the daemon";
        return std::nullopt;
    }

    // Plays a sound file into the null sink; returns at once.
    std::thread Play(const std::filesystem::path& file) const {
        const std::string command = "paplay --device=cwsink '" + file.string() + "'";
        return std::thread([command] { [[maybe_unused]] int rc = std::system(command.c_str()); });
    }

    std::filesystem::path Folder() const { return root_; }

  private:
    std::string Log() const {
        std::ifstream log(root_ / "daemon.log");
        std::string line, all;
        while (std::getline(log, line))
            all += line + " | ";
        return all;
    }

    void Shutdown() {
        if (pid_) {
            kill(*pid_, SIGTERM);
            for (int i = 0; i < 50 && kill(*pid_, 0) == 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            pid_.reset();
        }
        if (!root_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(root_, ignored);
        }
    }

    std::filesystem::path root_;
    std::optional<pid_t> pid_;
};

}  // namespace morvane::platform::audio::testing
