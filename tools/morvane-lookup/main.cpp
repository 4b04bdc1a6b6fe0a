// morvane-lookup: the country lookup from the command line.
//   morvane-lookup [--at YYYY-MM-DDTHH:MM[:SS][Z]] CALL...
// One tab-separated line per call: the call as given, the call sign found in
// it (or "-"), the normalised lookup call, English name, Japanese name,
// standard and summer offset in hours, and the local time "HH:MM"; the
// country fields are "-" when no prefix matches.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "qso/CallSign.h"
#include "qso/Clock.h"
#include "qso/CountryLookup.h"

namespace {

using morvane::qso::CivilTime;

// Exactly `count` decimal digits at `at`, or -1.
int Digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size())
        return -1;
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

int DaysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// "YYYY-MM-DDTHH:MM[:SS][Z]" (or a blank for "T"), every field in range.
bool ParseUtc(std::string_view text, CivilTime& utc) {
    if (text.ends_with("Z"))
        text.remove_suffix(1);
    if ((text.size() != 16 && text.size() != 19) || text[4] != '-' || text[7] != '-' ||
        (text[10] != 'T' && text[10] != ' ') || text[13] != ':' ||
        (text.size() == 19 && text[16] != ':')) {
        return false;
    }
    const CivilTime parsed{.Year = Digits(text, 0, 4),
                           .Month = Digits(text, 5, 2),
                           .Day = Digits(text, 8, 2),
                           .Hour = Digits(text, 11, 2),
                           .Minute = Digits(text, 14, 2),
                           .Second = text.size() == 19 ? Digits(text, 17, 2) : 0};
    if (parsed.Year < 0 || parsed.Month < 1 || parsed.Month > 12 || parsed.Day < 1 ||
        parsed.Day > DaysInMonth(parsed.Year, parsed.Month) || parsed.Hour < 0 ||
        parsed.Hour > 23 || parsed.Minute < 0 || parsed.Minute > 59 || parsed.Second < 0 ||
        parsed.Second > 59) {
        return false;
    }
    utc = parsed;
    return true;
}

std::string Hours(double hours) {
    char text[16];
    std::snprintf(text, sizeof text, "%g", hours);
    return text;
}

void PrintLine(std::string_view given, const CivilTime& utc) {
    std::string call(given);
    for (char& c : call)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto parsed = morvane::qso::ParseCallSign(call);
    const std::string lookupCall = morvane::qso::NormaliseLookupCall(call);
    const auto country = morvane::qso::FindCountry(lookupCall);
    std::string line = std::string(given) + '\t' + (parsed ? *parsed : "-") + '\t' + lookupCall;
    if (!country) {
        line += "\t-\t-\t-\t-\t-";
    } else {
        const auto local = morvane::qso::DxLocalTime(utc, country->StandardOffsetHours,
                                                     country->SummerOffsetHours);
        char clock[8];
        std::snprintf(clock, sizeof clock, "%02d:%02d", local.Hour, local.Minute);
        line += '\t' + std::string(country->EnglishName) + '\t' +
                std::string(country->JapaneseName) + '\t' + Hours(country->StandardOffsetHours) +
                '\t' + Hours(country->SummerOffsetHours) + '\t' + clock;
    }
    std::printf("%s\n", line.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    CivilTime utc = morvane::macros::SystemClock().Now().Utc;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--at") == 0) {
        if (!ParseUtc(argv[2], utc)) {
            std::fprintf(stderr, "morvane-lookup: bad time \"%s\" (want 2026-07-01T15:00Z)\n",
                         argv[2]);
            return 2;
        }
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: morvane-lookup [--at YYYY-MM-DDTHH:MM[:SS][Z]] CALL...\n");
        return 2;
    }
    for (int i = first; i < argc; ++i)
        PrintLine(argv[i], utc);
    return 0;
}
