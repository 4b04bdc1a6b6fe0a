// Child processes for the signal and stall tests, and a watchdog that turns
// a hang into a failure within seconds instead of a CTest timeout.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace morvane::test {

// Ends the whole test program with a message when the scope is not left in
// time: a test whose code under test hangs fails at once.
class Watchdog {
  public:
    Watchdog(std::chrono::milliseconds limit, std::string what)
        : what_(std::move(what)), thread_([this, limit] { Watch(limit); }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    void Watch(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, limit, [this] { return done_; }))
            return;
        std::fprintf(stderr, "watchdog: %s did not finish in %lld ms\n", what_.c_str(),
                     static_cast<long long>(limit.count()));
        std::fflush(stderr);
        std::_Exit(1);
    }
    std::string what_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};

// A program started with extra environment entries ("NAME=value"), its
// standard output and error in files. Killed if still running at the end.
class ChildProcess {
  public:
    ChildProcess(const std::string& program, std::vector<std::string> args,
                 const std::vector<std::string>& extraEnv, const std::string& outPath,
                 const std::string& errPath) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        std::vector<std::string> env(extraEnv);
        for (char** entry = environ; *entry != nullptr; ++entry)
            env.emplace_back(*entry);
        std::vector<char*> envp;
        for (std::string& entry : env)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~ChildProcess() {
        if (pid_ <= 0 || status_)
            return;
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    void Signal(int signal) const { kill(pid_, signal); }
    // Stops the process and returns once the kernel has stopped it (bounded).
    bool Stop() const {
        kill(pid_, SIGSTOP);
        for (int i = 0; i < 200; ++i) {
            int status = 0;
            if (waitpid(pid_, &status, WUNTRACED | WNOHANG) == pid_ && WIFSTOPPED(status))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    // The wait status once the process ended within `ms`; nothing (and the
    // process killed) when it did not.
    std::optional<int> Wait(int ms) {
        if (status_ || pid_ <= 0)
            return status_;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                status_ = status;
                return status_;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        status_ = status;
        return std::nullopt;
    }

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

}  // namespace morvane::test
