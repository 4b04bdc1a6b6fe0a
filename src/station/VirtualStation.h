// Runs a station on virtual time: keying ticks, capture halves and the
// one-second tick happen in deadline order on the calling thread, and the
// clock jumps from one deadline to the next, so minutes of operating take
// milliseconds and every run is the same. The station must have been built
// without a keying timer.
#pragma once

#include <cstdint>

#include "station/Station.h"
#include "transmit/VirtualKeying.h"

namespace morvane::station {

class VirtualStation final : public transmit::KeyingClock {
  public:
    explicit VirtualStation(Station& station) : station_(station) {}

    std::int64_t NowMs() const override { return nowMs_; }

    // Lets `ms` of virtual time pass.
    void AdvanceMs(std::int64_t ms);
    // Until the transmit text has been keyed (and the key released), at most
    // `limitMs`; false on the limit.
    bool RunUntilSent(std::int64_t limitMs = 600'000);

  private:
    void RunUntil(std::int64_t endMs);
    void CaptureOneBlock();

    Station& station_;
    std::int64_t nowMs_ = 0;
    std::int64_t keyingDueMs_ = transmit::kInitialTimerPeriodMs;
    int keyingPeriodMs_ = transmit::kInitialTimerPeriodMs;
    std::int64_t blocksRead_ = 0;
    bool captureEnded_ = false;
    std::int64_t secondDueMs_ = 1000;
};

}  // namespace morvane::station
