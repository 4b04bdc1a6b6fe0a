// The keying timer thread as the station's keying timer.
#pragma once

#include <memory>

#include "platform/timer/KeyingTimerThread.h"
#include "station/StationDevices.h"

namespace morvane::platform {

class StationKeyingTimer final : public station::KeyingTimer {
  public:
    StationKeyingTimer(std::function<std::optional<int>()> step, std::function<void()> release)
        : timer_(std::move(step), std::move(release)) {}
    void Start(int initialPeriodMs) override { timer_.Start(initialPeriodMs); }
    void Stop() override { timer_.Stop(); }

    // For StationConfig::KeyingTimer.
    static std::unique_ptr<station::KeyingTimer> Make(std::function<std::optional<int>()> step,
                                                      std::function<void()> release) {
        return std::make_unique<StationKeyingTimer>(std::move(step), std::move(release));
    }

  private:
    KeyingTimerThread timer_;
};

}  // namespace morvane::platform
