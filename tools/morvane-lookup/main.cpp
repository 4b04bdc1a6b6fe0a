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

bool ParseUtc(const char* text, CivilTime& utc) {
    char separator = 0;
    int consumed = 0;
    const int fields = std::sscanf(text, "%4d-%2d-%2d%c%2d:%2d%n", &utc.Year, &utc.Month, &utc.Day,
                                   &separator, &utc.Hour, &utc.Minute, &consumed);
    if (fields != 6 || (separator != 'T' && separator != ' '))
        return false;
    std::string_view rest(text + consumed);
    if (rest.starts_with(":")) {
        if (std::sscanf(rest.data(), ":%2d%n", &utc.Second, &consumed) != 1)
            return false;
        rest.remove_prefix(static_cast<std::size_t>(consumed));
    }
    if (rest == "Z")
        rest = {};
    return rest.empty() && utc.Month >= 1 && utc.Month <= 12 && utc.Hour >= 0 && utc.Hour < 24 &&
           utc.Minute >= 0 && utc.Minute < 60;
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
