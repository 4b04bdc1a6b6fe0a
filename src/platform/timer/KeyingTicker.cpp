#include "platform/timer/KeyingTicker.h"

namespace morvane::platform {

namespace {
constexpr std::int64_t kNsPerMs = 1'000'000;
}  // namespace

void KeyingTicker::Arm(int periodMs) {
    periodNs_ = std::int64_t(periodMs) * kNsPerMs;
    deadlineNs_ = nowNs_() + periodNs_;
}

void KeyingTicker::RunStep() {
    if (std::optional<int> period = step_())
        periodNs_ = std::int64_t(*period) * kNsPerMs;
    const std::int64_t keyed = nowNs_();
    const std::int64_t base = keyed - deadlineNs_ > kLateToleranceNs ? keyed : deadlineNs_;
    deadlineNs_ = base + periodNs_;
}

}  // namespace morvane::platform
