// Time for the QSO code: the station clock (one instant in UTC and local
// time) shared with the macros, and a sleeper for the link's short pause.
// Both are injected so that tests choose the time and never wait for real.
#pragma once

#include "macros/StationClock.h"

namespace morvane::qso {

using macros::CivilTime;
using macros::ClockReading;
using macros::StationClock;

class Sleeper {
  public:
    virtual ~Sleeper() = default;
    virtual void SleepMs(int milliseconds) const = 0;
};

class ThreadSleeper final : public Sleeper {
  public:
    void SleepMs(int milliseconds) const override;
};

}  // namespace morvane::qso
