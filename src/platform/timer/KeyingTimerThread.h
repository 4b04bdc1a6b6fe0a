// The keying timer: a dedicated thread that sleeps to absolute deadlines on
// the monotonic clock and calls one step per tick. A step may re-arm the
// timer with a new period; KeyingTicker decides when the next tick is due.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>

namespace morvane::platform {

class KeyingTimerThread {
  public:
    // `step` runs once per tick and returns a new period in ms, or nothing to
    // keep the current one. `release` runs on the timer thread after the last
    // step when the thread stops (key up, PTT off).
    KeyingTimerThread(std::function<std::optional<int>()> step, std::function<void()> release);
    ~KeyingTimerThread();
    KeyingTimerThread(const KeyingTimerThread&) = delete;
    KeyingTimerThread& operator=(const KeyingTimerThread&) = delete;

    // Starts ticking; the first tick comes `initialPeriodMs` from now.
    void Start(int initialPeriodMs);
    // Stops after the step under way (if any) and releases; waits for the thread.
    void Stop();
    // True when the thread got a real-time scheduling priority.
    bool Elevated() const { return elevated_.load(); }

  private:
    void Run(std::stop_token stop, int initialPeriodMs);

    std::function<std::optional<int>()> step_;
    std::function<void()> release_;
    std::atomic<bool> elevated_{false};
    std::jthread thread_;
};

}  // namespace morvane::platform
