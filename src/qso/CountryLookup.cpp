#include "qso/CountryLookup.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "common/Utf8.h"
#include "qso/CountryTable.h"

namespace morvane::qso {
namespace {

using Chars = std::vector<std::string_view>;

// Results for the United Nations and ITU headquarters, which no prefix gives.
constexpr CountryInfo kUnitedNationsHq{"United Nations HQ", "国際連合本部", 16, 17};
constexpr CountryInfo kItuHq{"ITU HQ", "国際電気通信連合本部", 1, 2};

bool IsDigit(std::string_view c) {
    return c.size() == 1 && c[0] >= '0' && c[0] <= '9';
}

std::string Join(const Chars& chars, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < to && i < chars.size(); ++i)
        out += chars[i];
    return out;
}

CountryInfo Info(const CountryRow& row) {
    return CountryInfo{row.EnglishName, row.JapaneseName, row.StandardOffsetHours,
                       row.SummerOffsetHours};
}

// The first row of one key length whose key equals `key`.
std::optional<CountryInfo> FindKey(std::string_view key) {
    for (const CountryRow& row : kCountryTable) {
        if (row.Key.size() == key.size() && row.Key == key)
            return Info(row);
    }
    return std::nullopt;
}

// The row whose key of `length` characters starts the call.
std::optional<CountryInfo> FindLeading(std::string_view call, std::size_t length) {
    if (call.size() < length)
        return std::nullopt;
    return FindKey(call.substr(0, length));
}

// The call-area digit: the third character when it is one, else the second.
std::optional<char> AreaDigit(std::string_view call) {
    if (call.size() > 2 && IsDigit(call.substr(2, 1)))
        return call[2];
    if (call.size() > 1 && IsDigit(call.substr(1, 1)))
        return call[1];
    return std::nullopt;
}

std::optional<CountryInfo> FindUnitedStates(std::string_view call) {
    const char first = call[0];
    if (first == 'K') {
        for (std::string_view key : {"KL", "KP"}) {
            if (call.substr(0, 2) == key)
                return FindKey(key);
        }
    }
    const std::optional<char> digit = AreaDigit(call);
    const std::string key = digit ? std::string{first, *digit} : std::string(call.substr(0, 2));
    // "KL" was tried above; the built key only meets the call-area rows.
    if (first == 'K' && !digit)
        return std::nullopt;
    return FindKey(key);
}

std::optional<CountryInfo> FindTwoCharacterRow(std::string_view call) {
    switch (call[0]) {
        case '1':
            return call.substr(0, 2) == "1A" ? FindKey("1A") : std::nullopt;
        case '4':
            if (call.substr(0, 2) != "4U")
                return FindLeading(call, 2);
            if (call.ends_with("ITU"))
                return kItuHq;
            if (call.ends_with("UN"))
                return kUnitedNationsHq;
            return std::nullopt;
        case 'W':
        case 'N':
        case 'K':
            return FindUnitedStates(call);
        case 'R': {
            const std::optional<char> digit = AreaDigit(call);
            if (!digit)
                return std::nullopt;
            return FindKey(std::string{'R', 'A', *digit});
        }
        default:
            return FindLeading(call, 2);
    }
}

}  // namespace

std::string NormaliseLookupCall(std::string_view hisCall) {
    const Chars call = common::SplitUtf8(hisCall);
    std::size_t k = 0;
    while (k < call.size() && call[k] != "/")
        ++k;
    if (k == call.size() || k == 0)
        return std::string(hisCall);
    const std::size_t n = call.size() - k;  // "/" and what follows it
    const std::string after = Join(call, k + 1, call.size());

    if (n == 2) {
        const std::string_view x = call[k + 1];
        if (x == "M" || x == "P")
            return std::string(hisCall);
        Chars base(call.begin(), call.end() - 2);
        auto digitAt = [&](std::size_t i) { return i < base.size() && IsDigit(base[i]); };
        if (x == "0" && digitAt(2)) {
            base[2] = x;
        } else if (digitAt(1)) {
            base[1] = x;
        } else if (IsDigit(x) && digitAt(2)) {
            base[2] = x;
        } else {
            return std::string(x) + "/" + Join(base, 0, base.size());
        }
        return Join(base, 0, base.size());
    }
    if ((n == 3 && after == "MM") || (n == 4 && after == "QRP"))
        return std::string(hisCall);
    const std::size_t m = n - 1;
    if (k < m)
        return std::string(hisCall);  // already written prefix first
    return after + "/" + Join(call, 0, k);
}

std::optional<CountryInfo> FindCountry(std::string_view call) {
    if (call.empty())
        return std::nullopt;
    for (std::size_t length : {4u, 3u}) {
        if (auto found = FindLeading(call, length))
            return found;
    }
    if (auto found = FindTwoCharacterRow(call))
        return found;
    switch (call[0]) {
        case 'B':
        case 'F':
        case 'G':
        case 'I':
        case 'M':
            return FindKey(call.substr(0, 1));
        default:
            return std::nullopt;
    }
}

LocalClockTime DxLocalTime(const CivilTime& utc, double standardOffsetHours,
                           double summerOffsetHours) {
    const bool summer = utc.Month >= 4 && utc.Month <= 10;
    const double offset = summer ? summerOffsetHours : standardOffsetHours;
    // In whole minutes: offsets are quarter hours, and truncating a double
    // fraction of an hour would show 01:00 at 01:01.
    constexpr int kDayMinutes = 24 * 60;
    const int offsetMinutes = static_cast<int>(std::lround(offset * 60));
    const int local = (utc.Hour * 60 + utc.Minute + offsetMinutes) % kDayMinutes;
    return LocalClockTime{.Hour = local / 60, .Minute = local % 60};
}

std::optional<std::string> FormatDxInfo(std::string_view englishName, std::string_view japaneseName,
                                        LocalClockTime local, const DxDisplayOptions& options) {
    std::string result;
    if (options.ShowLocalTime) {
        char clock[8];
        std::snprintf(clock, sizeof clock, "%02d:%02d", local.Hour, local.Minute);
        result = clock;
    }
    if (options.NameLanguage != CountryNameLanguage::None) {
        if (!result.empty())
            result += ' ';
        result += options.NameLanguage == CountryNameLanguage::English ? englishName : japaneseName;
    }
    if (result.empty())
        return std::nullopt;
    if (englishName == "Japan" && options.LocationJapan)
        return std::nullopt;
    return "\r\n == " + result + " ==";
}

std::optional<std::string> CountryLookup::ShowDxInfo(const CountryInfo& country,
                                                     const CivilTime& utcNow,
                                                     const DxDisplayOptions& options) {
    const LocalClockTime local =
        DxLocalTime(utcNow, country.StandardOffsetHours, country.SummerOffsetHours);
    if (GreetingLookup) {
        DxLocalHour = local.Hour;
        return std::nullopt;
    }
    return FormatDxInfo(country.EnglishName, country.JapaneseName, local, options);
}

std::optional<std::string> CountryLookup::LookupCountry(std::string_view hisCall,
                                                        const CivilTime& utcNow,
                                                        const DxDisplayOptions& options) {
    LookupPending = false;
    if (hisCall.empty())
        return std::nullopt;
    LookupCall = NormaliseLookupCall(hisCall);
    const std::optional<CountryInfo> country = FindCountry(LookupCall);
    if (!country)
        return std::nullopt;
    return ShowDxInfo(*country, utcNow, options);
}

int GreetingLocalHour(std::string_view hisCall, const CivilTime& utcNow) {
    CountryLookup lookup;
    lookup.GreetingLookup = true;
    lookup.DxLocalHour = 25;
    lookup.LookupCountry(hisCall, utcNow, DxDisplayOptions{});
    return lookup.DxLocalHour;
}

}  // namespace morvane::qso
