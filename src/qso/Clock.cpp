#include "qso/Clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace morvane::qso {
namespace {

CivilTime FromTm(const std::tm& tm) {
    return CivilTime{.Year = tm.tm_year + 1900,
                     .Month = tm.tm_mon + 1,
                     .Day = tm.tm_mday,
                     .Hour = tm.tm_hour,
                     .Minute = tm.tm_min,
                     .Second = tm.tm_sec};
}

}  // namespace

ClockReading SystemClock::Now() const {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    std::tm local{};
    // The reentrant forms: other threads may read the clock at the same time.
#if defined(_WIN32)
    gmtime_s(&utc, &now);
    localtime_s(&local, &now);
#else
    gmtime_r(&now, &utc);
    localtime_r(&now, &local);
#endif
    return ClockReading{.Utc = FromTm(utc), .Local = FromTm(local)};
}

void SystemClock::SleepMs(int milliseconds) const {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace morvane::qso
