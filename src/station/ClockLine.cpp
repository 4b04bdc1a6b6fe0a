#include "station/ClockLine.h"

#include <array>
#include <cstdio>

namespace morvane::station {

namespace {

constexpr std::array<const char*, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// 0 Sunday .. 6 Saturday, proleptic Gregorian (days-from-civil).
int Weekday(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const long days = era * 146097L + dayOfEra - 719468L;  // 0 is 1970-01-01, a Thursday
    return static_cast<int>(((days % 7) + 11) % 7);
}

}  // namespace

std::string ClockLineText(const macros::CivilTime& time, std::string_view zone) {
    const int month = time.Month >= 1 && time.Month <= 12 ? time.Month : 1;
    char line[80];
    std::snprintf(line, sizeof line, " == %02d:%02d %.*s, %s, %s %02d %d ==\r\n", time.Hour,
                  time.Minute, static_cast<int>(zone.size()), zone.data(),
                  kWeekdays[static_cast<std::size_t>(Weekday(time.Year, month, time.Day))],
                  kMonths[static_cast<std::size_t>(month - 1)], time.Day, time.Year);
    return line;
}

}  // namespace morvane::station
