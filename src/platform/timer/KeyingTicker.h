// When the keying timer's next tick is due. On time, each deadline is the
// previous deadline plus the period, so the rhythm does not drift with
// wake-up latency. A tick that runs late (the process was stopped, the
// machine stalled) starts its element from the moment it actually runs: the
// element keeps its full length and the rest of the text is delayed, never
// sent in a burst to catch up.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace morvane::platform {

// A wake-up this much past its deadline still counts as on time: the
// elements are whole milliseconds, so an element shortened by less than one
// is within their resolution.
inline constexpr std::int64_t kLateToleranceNs = 1'000'000;

class KeyingTicker {
  public:
    // `step` returns a new period in ms, or nothing to keep the current one;
    // `nowNs` reads the clock the deadlines are on.
    KeyingTicker(std::function<std::optional<int>()> step, std::function<std::int64_t()> nowNs)
        : step_(std::move(step)), nowNs_(std::move(nowNs)) {}

    // The first tick comes `periodMs` from now.
    void Arm(int periodMs);
    std::int64_t DeadlineNs() const { return deadlineNs_; }
    // Runs the due step (call it at or after the deadline) and sets the next
    // deadline. Lateness is judged when the step has keyed, so a step that
    // was slow to get there also keeps its element whole.
    void RunStep();

  private:
    std::function<std::optional<int>()> step_;
    std::function<std::int64_t()> nowNs_;
    std::int64_t periodNs_ = 0;
    std::int64_t deadlineNs_ = 0;
};

}  // namespace morvane::platform
