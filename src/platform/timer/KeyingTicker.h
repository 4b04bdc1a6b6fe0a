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
    // `step` returns a new period in ms, or nothing to keep the current one.
    explicit KeyingTicker(std::function<std::optional<int>()> step) : step_(std::move(step)) {}

    // The first tick comes `periodMs` after `nowNs`.
    void Arm(std::int64_t nowNs, int periodMs);
    std::int64_t DeadlineNs() const { return deadlineNs_; }
    // Runs the due step at `nowNs` (at or after the deadline) and sets the
    // next deadline.
    void RunStep(std::int64_t nowNs);

  private:
    std::function<std::optional<int>()> step_;
    std::int64_t periodNs_ = 0;
    std::int64_t deadlineNs_ = 0;
};

}  // namespace morvane::platform
