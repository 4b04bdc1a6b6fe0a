// Test scaffolding for the links: a private runtime directory per test, the
// stand-ins as child processes with their output in a file, and recording
// fakes for the form.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>

#include <thread>

#include "../TestSupport.h"
#include "platform/logger/IconvCodePage.h"
#include "platform/logger/UnixLoggerWindows.h"
#include "qso/Clock.h"
#include "qso/LinkView.h"
#include "qso/LogTransfer.h"

extern char** environ;

namespace morvane::test {

// The usual bound of one request in these tests.
inline platform::Deadline Soon() {
    return platform::DeadlineIn(std::chrono::seconds(2));
}

// A fresh $XDG_RUNTIME_DIR for this test process; children inherit it.
struct RuntimeDir : TempFolder {
    RuntimeDir() { setenv("XDG_RUNTIME_DIR", Path.c_str(), 1); }
};

// A stand-in program running until destroyed; its standard output goes to a file.
class SimProcess {
  public:
    SimProcess(const std::string& program, std::vector<std::string> args, const std::string& log)
        : log_(log) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~SimProcess() {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGCONT);
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    // Stops the process and returns once the kernel has stopped it.
    void Pause() const {
        kill(pid_, SIGSTOP);
        int status = 0;
        waitpid(pid_, &status, WUNTRACED);
    }
    void Resume() const { kill(pid_, SIGCONT); }

    // Waits until the program says it is ready (bounded).
    bool WaitReady() const {
        for (int i = 0; i < 1000 && !Contains("ready"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return Contains("ready");
    }

    std::vector<std::string> Lines() const {
        std::ifstream in(log_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    // Lines starting with `prefix` (CTestWin's controls, saves, rejections).
    std::vector<std::string> Events(const std::string& prefix, bool strip = false) const {
        std::vector<std::string> out;
        for (const std::string& line : Lines())
            if (line.starts_with(prefix))
                out.push_back(strip ? line.substr(prefix.size()) : line);
        return out;
    }
    // The received copy-data, "cmd=... len=... text=..." per message.
    std::vector<std::string> Received() const { return Events("recv ", true); }
    bool Contains(const std::string& text) const {
        for (const std::string& line : Lines())
            if (line.find(text) != std::string::npos)
                return true;
        return false;
    }

  private:
    std::string log_;
    pid_t pid_ = -1;
};

struct RecordingView final : qso::LinkView {
    std::vector<std::string> calls;
    bool saveEnabled = false;
    bool timeEnabled = false;
    void ShowMessageBox(std::string_view text, qso::MessageIcon icon) override {
        calls.push_back(std::string(icon == qso::MessageIcon::Exclamation ? "box!:" : "box:") +
                        std::string(text));
    }
    void AppendWarningLine(std::string_view text) override {
        calls.push_back("warn:" + std::string(text));
    }
    void Beep() override { calls.push_back("beep"); }
    void SetSaveEnabled(bool enabled) override { saveEnabled = enabled; }
    void SetTimeButtonEnabled(bool enabled) override { timeEnabled = enabled; }
    void FocusTxEdit() override {}
};

// Expansion stand-in: marks the purpose so the test sees which one ran.
struct MarkingExpander final : qso::LogTemplateExpander {
    std::string ExpandForHamlog(std::string_view text) override {
        return text.empty() ? "" : "H[" + std::string(text) + "]";
    }
    std::string ExpandForCtestwin(std::string_view text) override {
        return text.empty() ? "" : "C " + std::string(text);
    }
};

// 2026-12-06 06:04 UTC, 15:04 in Japan; sleeping only counts.
struct FixedClock final : qso::StationClock, qso::Sleeper {
    mutable int slept = 0;
    qso::ClockReading Now() const override {
        return {.Local = {2026, 12, 6, 15, 4, 0}, .Utc = {2026, 12, 6, 6, 4, 0}};
    }
    void SleepMs(int ms) const override { slept += ms; }
};

struct NoAutoCq final : qso::QsoFieldEvents {
    bool AutoCqRunning() const override { return false; }
    void StopAutoCq() override {}
    void EmptyClipboard() override {}
};

// The program's side of the links, as "hWndMRVN" in a private runtime directory.
struct LinkRig {
    explicit LinkRig(platform::local::TransportOptions options = {})
        : windows("hWndMRVN", options) {}
    RuntimeDir dir;
    NoAutoCq events;
    qso::QsoFields fields{events};
    platform::UnixLoggerWindows windows;
    platform::IconvCodePage codePage;
    RecordingView view;
    MarkingExpander expander;
    FixedClock clock;
    qso::LogTransfer transfer{fields, windows, codePage, expander, view, clock, clock};
};

}  // namespace morvane::test
