// The computer's clock; see StationClock.h.
#include "macros/StationClock.h"

#include <ctime>

namespace morvane::macros {

namespace {

CivilTime FromTm(const std::tm& tm) {
    return {.Year = tm.tm_year + 1900,
            .Month = tm.tm_mon + 1,
            .Day = tm.tm_mday,
            .Hour = tm.tm_hour,
            .Minute = tm.tm_min,
            .Second = tm.tm_sec};
}

}  // namespace

ClockReading SystemClock::Now() const {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    std::tm utc{};
    // The re-entrant forms: the keying and capture threads may read the clock too.
    localtime_r(&now, &local);
    gmtime_r(&now, &utc);
    return {FromTm(local), FromTm(utc)};
}

}  // namespace morvane::macros
