// Country (DXCC entity) and local time of the other station from the prefix
// of its call sign, with the line shown in the receive window and the local
// hour that the "AUTO" greeting asks for.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "qso/Clock.h"

namespace morvane::qso {

struct CountryInfo {
    std::string_view EnglishName;
    std::string_view JapaneseName;
    double StandardOffsetHours = 0;  // local minus UTC, 0 to 24 (west stored plus 24)
    double SummerOffsetHours = 0;    // used April to October
};

// The call written prefix first: "JA1ABC/KH6" becomes "KH6/JA1ABC", "W1ABC/6"
// becomes "W6ABC"; "/P", "/M", "/MM" and "/QRP" leave the call as it is.
std::string NormaliseLookupCall(std::string_view hisCall);

// The first table row whose key starts the normalised call, with the special
// rules for calls beginning 1, 4 (4U), W, N, K and R; nullopt when none.
std::optional<CountryInfo> FindCountry(std::string_view lookupCall);

struct LocalClockTime {
    int Hour = 0;    // 0 to 23
    int Minute = 0;  // 0 to 59
};

// Local time at the station for a UTC instant; the summer offset applies in
// the UTC months April to October.
LocalClockTime DxLocalTime(const CivilTime& utc, double standardOffsetHours,
                           double summerOffsetHours);

enum class CountryNameLanguage { None, English, Japanese };

struct DxDisplayOptions {
    bool ShowLocalTime = true;  // "DX Local time"
    CountryNameLanguage NameLanguage = CountryNameLanguage::English;
    bool LocationJapan = true;  // Location "Japan" (else "Abroad")
};

// The text `ShowDxInfo` appends to the receive window (green), e.g.
// "\r\n == 09:00 Japan ==", or nullopt when nothing is to be shown.
std::optional<std::string> FormatDxInfo(std::string_view englishName, std::string_view japaneseName,
                                        LocalClockTime local, const DxDisplayOptions& options);

// The lookup state of the form.
class CountryLookup {
  public:
    std::string LookupCall;       // the normalised copy of HisCall
    bool LookupPending = false;   // HisCall gained the focus; Enter may look up
    bool GreetingLookup = false;  // only compute DxLocalHour, show nothing
    int DxLocalHour = 25;         // 0 to 23; 25 when unknown

    // Looks up `hisCall` at `utcNow`. Gives the line to append in green, or
    // nullopt (nothing found, empty call, greeting lookup, hidden Japan line).
    std::optional<std::string> LookupCountry(std::string_view hisCall, const CivilTime& utcNow,
                                             const DxDisplayOptions& options);

    std::optional<std::string> ShowDxInfo(const CountryInfo& country, const CivilTime& utcNow,
                                          const DxDisplayOptions& options);
};

// The other station's local hour for the "AUTO" greeting: 0 to 23, or 25
// when the country is unknown or the call is empty.
int GreetingLocalHour(std::string_view hisCall, const CivilTime& utcNow);

}  // namespace morvane::qso
