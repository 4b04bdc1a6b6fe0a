#include "platform/timer/KeyingTicker.h"

namespace morvane::platform {

namespace {
constexpr std::int64_t kNsPerMs = 1'000'000;
}  // namespace

void KeyingTicker::Arm(std::int64_t nowNs, int periodMs) {
    periodNs_ = std::int64_t(periodMs) * kNsPerMs;
    deadlineNs_ = nowNs + periodNs_;
}

void KeyingTicker::RunStep(std::int64_t nowNs) {
    const std::int64_t base = nowNs - deadlineNs_ > kLateToleranceNs ? nowNs : deadlineNs_;
    if (std::optional<int> period = step_())
        periodNs_ = std::int64_t(*period) * kNsPerMs;
    deadlineNs_ = base + periodNs_;
}

}  // namespace morvane::platform
