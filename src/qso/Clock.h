// The wall clock as the QSO code sees it: one reading gives the same instant
// in UTC and in the computer's local time. Injected so that tests choose the
// time and never wait for real.
#pragma once

namespace morvane::qso {

struct CivilTime {
    int Year = 1970;
    int Month = 1;  // 1 to 12
    int Day = 1;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
};

struct ClockReading {
    CivilTime Utc;
    CivilTime Local;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual ClockReading Now() const = 0;
    virtual void SleepMs(int milliseconds) const = 0;
};

// The computer's clock and time zone.
class SystemClock final : public Clock {
  public:
    ClockReading Now() const override;
    void SleepMs(int milliseconds) const override;
};

}  // namespace morvane::qso
