// The wall clock as the station sees it: local time and UTC of one instant.
// Behind an interface so that greetings, the <JST>/<UTC> tags and log names
// can be tested at any hour.
#pragma once

namespace morvane::macros {

struct CivilTime {
    int Year = 1970;
    int Month = 1;  // 1 to 12
    int Day = 1;    // 1 to 31
    int Hour = 0;   // 0 to 23
    int Minute = 0;
    int Second = 0;
};

struct ClockReading {
    CivilTime Local{};
    CivilTime Utc{};
};

class StationClock {
  public:
    virtual ~StationClock() = default;
    virtual ClockReading Now() const = 0;
};

// The computer's clock and time zone.
class SystemClock : public StationClock {
  public:
    ClockReading Now() const override;
};

// A clock that stays where a test puts it.
class FixedClock : public StationClock {
  public:
    explicit FixedClock(ClockReading reading) : reading_(reading) {}
    void Set(ClockReading reading) { reading_ = reading; }
    ClockReading Now() const override { return reading_; }

  private:
    ClockReading reading_;
};

}  // namespace morvane::macros
