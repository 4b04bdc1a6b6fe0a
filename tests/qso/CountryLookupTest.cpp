#include "qso/CountryLookup.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "qso/CountryTable.h"

namespace morvane::qso {
namespace {

CivilTime Utc(int month, int hour, int minute) {
    return CivilTime{.Year = 2026, .Month = month, .Day = 15, .Hour = hour, .Minute = minute};
}

std::string Country(std::string_view hisCall) {
    auto found = FindCountry(NormaliseLookupCall(hisCall));
    return found ? std::string(found->EnglishName) : std::string("-");
}

TEST(CountryTable, HasItsSectionsCountsAndTheOneDuplicate) {
    EXPECT_EQ(kCountryTable.size(), 1055u);
    std::size_t byLength[5] = {};
    std::set<std::string_view> keys;
    std::string oneLetter;
    for (std::size_t i = 0; i < kCountryTable.size(); ++i) {
        const CountryRow& row = kCountryTable[i];
        ASSERT_GE(row.Key.size(), 1u);
        ASSERT_LE(row.Key.size(), 4u);
        ++byLength[row.Key.size()];
        if (row.Key.size() == 1)
            oneLetter += row.Key;
        if (row.Key != "CE0") {
            EXPECT_TRUE(keys.insert(row.Key).second) << row.Key;
        }
        EXPECT_GE(row.StandardOffsetHours, 0);
        EXPECT_LE(row.SummerOffsetHours, 24);
        EXPECT_FALSE(row.EnglishName.empty());
        EXPECT_FALSE(row.JapaneseName.empty());
        if (i == 0)
            continue;
        // Sections by falling key length; one first character stands together.
        const CountryRow& before = kCountryTable[i - 1];
        ASSERT_GE(before.Key.size(), row.Key.size()) << row.Key;
        if (before.Key.size() == row.Key.size() && before.Key[0] != row.Key[0]) {
            for (std::size_t j = 0; j + 1 < i; ++j) {
                if (kCountryTable[j].Key.size() == row.Key.size()) {
                    EXPECT_NE(kCountryTable[j].Key[0], row.Key[0]) << row.Key << " split";
                }
            }
        }
    }
    EXPECT_EQ(byLength[4], 17u);
    EXPECT_EQ(oneLetter, "BFGIM");
    EXPECT_EQ(byLength[1] + byLength[2] + byLength[3] + byLength[4], 1055u);
    EXPECT_EQ(Country("CE0ABC"), "Easter I.");  // the first of the two CE0 rows
}

TEST(CountryLookup, SpecialRulesForWnkR1And4) {
    EXPECT_EQ(Country("JA1ABC"), "Japan");
    EXPECT_EQ(Country("W6ABC"), "USA");
    auto pacific = FindCountry("WA6XYZ");  // W, A, 6 builds the key W6
    ASSERT_TRUE(pacific);
    EXPECT_EQ(pacific->StandardOffsetHours, 16);
    EXPECT_EQ(pacific->SummerOffsetHours, 17);
    EXPECT_EQ(FindCountry("W1AW")->StandardOffsetHours, 19);
    EXPECT_EQ(FindCountry("KA1ABC")->SummerOffsetHours, 20);
    EXPECT_EQ(FindCountry("N7ABC")->StandardOffsetHours, 17);
    EXPECT_EQ(Country("KH6ABC"), "Hawaii");
    EXPECT_EQ(Country("KL7ABC"), "Alaska");
    EXPECT_EQ(Country("KH5KAB"), "Kingman Reef");  // four-character row before KH5
    EXPECT_EQ(Country("KH5AB"), "Palmyra & Jarvis Is.");
    EXPECT_EQ(Country("KL1ABC"), "Alaska");  // KL is tried on the first two for K only
    EXPECT_EQ(Country("WL1AB"), "USA");      // for W the area digit decides
    EXPECT_EQ(Country("NLABC"), "Alaska");   // no digit: the first two, NL
    EXPECT_EQ(Country("KABC"), "-");
    EXPECT_EQ(Country("R1FJA"), "Franz Josef Land");
    EXPECT_EQ(Country("RW3ABC"), "European Russia");
    auto siberia = FindCountry("R9ABC");
    ASSERT_TRUE(siberia);
    EXPECT_EQ(siberia->StandardOffsetHours, 8);
    EXPECT_EQ(Country("RABC"), "-");
    EXPECT_EQ(Country("1A0KM"), "Malta");
    EXPECT_EQ(Country("1B1AB"), "-");
    EXPECT_EQ(Country("4U1UN"), "United Nations HQ");
    EXPECT_EQ(Country("4U1ITU"), "ITU HQ");
    EXPECT_EQ(Country("4U1WB"), "-");
    EXPECT_EQ(Country("4X4AB"), "Israel");
    EXPECT_EQ(Country("FR5AB"), "Reunion I.");
    EXPECT_EQ(Country("FR/TAB"), "Tromelin I.");
    EXPECT_EQ(Country("VK5ABC"), "ssAustralia");
    EXPECT_EQ(Country("BY1AB"), "China");
    EXPECT_EQ(Country("BA1AB"), "Chaina");  // the one-letter row
    EXPECT_EQ(Country(""), "-");
    EXPECT_EQ(Country("QQ1AB"), "-");
}

TEST(CountryLookup, PortableCallsAreLookedUpByTheirPrefix) {
    // Portable marks stay; the lookup reads only the leading characters.
    EXPECT_EQ(NormaliseLookupCall("JA1ABC/P"), "JA1ABC/P");
    EXPECT_EQ(NormaliseLookupCall("JA1ABC/QRP"), "JA1ABC/QRP");
    EXPECT_EQ(NormaliseLookupCall("W1ABC/MM"), "W1ABC/MM");
    EXPECT_EQ(Country("JA1ABC/P"), "Japan");
    EXPECT_EQ(Country("VK9ABC/QRP"), "ssAustralia");
    EXPECT_EQ(Country("W6ABC/MM"), "USA");
    EXPECT_EQ(NormaliseLookupCall("JA1ABC/KH6"), "KH6/JA1ABC");
    EXPECT_EQ(NormaliseLookupCall("KH6/JA1ABC"), "KH6/JA1ABC");
    EXPECT_EQ(NormaliseLookupCall("W1ABC/6"), "W6ABC");
    EXPECT_EQ(NormaliseLookupCall("JA1ABC/3"), "JA3ABC");
    EXPECT_EQ(NormaliseLookupCall("JA1ABC/0"), "JA0ABC");
    EXPECT_EQ(NormaliseLookupCall("W1ABC/0"), "W0ABC");
    EXPECT_EQ(NormaliseLookupCall("DL1ABC/F"), "F/DL1ABC");
    EXPECT_EQ(NormaliseLookupCall("/JA1ABC"), "/JA1ABC");
    EXPECT_EQ(Country("JA1ABC/KH6"), "Hawaii");
    EXPECT_EQ(Country("DL1ABC/F"), "France");
    EXPECT_EQ(Country("W1ABC/6"), "USA");
    EXPECT_EQ(FindCountry(NormaliseLookupCall("W1ABC/6"))->StandardOffsetHours, 16);
}

TEST(CountryLookup, LocalTimeWrapsAtMidnightAndUsesSummerMonths) {
    auto at = [](CivilTime utc, double standard, double summer) {
        LocalClockTime t = DxLocalTime(utc, standard, summer);
        char text[8];
        std::snprintf(text, sizeof text, "%02d:%02d", t.Hour, t.Minute);
        return std::string(text);
    };
    EXPECT_EQ(at(Utc(1, 15, 0), 9, 9), "00:00");  // Japan at 15:00 UTC
    EXPECT_EQ(at(Utc(3, 20, 0), 16, 17), "12:00");
    EXPECT_EQ(at(Utc(4, 20, 0), 16, 17), "13:00");
    EXPECT_EQ(at(Utc(10, 20, 0), 16, 17), "13:00");
    EXPECT_EQ(at(Utc(11, 20, 0), 16, 17), "12:00");
    EXPECT_EQ(at(Utc(1, 10, 30), 5.75, 5.75), "16:15");
    EXPECT_EQ(at(Utc(1, 23, 45), 5.5, 5.5), "05:15");
    EXPECT_EQ(at(Utc(1, 3, 10), 19.5, 19.5), "22:40");
    EXPECT_EQ(at(Utc(1, 1, 1), 0, 1), "01:01");
    EXPECT_EQ(at(Utc(7, 23, 59), 0, 1), "00:59");
}

TEST(CountryLookup, LineDependsOnOptionsAndJapanIsHiddenAtHome) {
    CountryLookup lookup;
    DxDisplayOptions options;
    lookup.LookupPending = true;
    EXPECT_FALSE(lookup.LookupCountry("JA1ABC", Utc(1, 15, 0), options).has_value());
    EXPECT_FALSE(lookup.LookupPending);
    EXPECT_EQ(lookup.LookupCall, "JA1ABC");
    options.LocationJapan = false;
    EXPECT_EQ(lookup.LookupCountry("JA1ABC", Utc(1, 15, 0), options), "\r\n == 00:00 Japan ==");
    options.NameLanguage = CountryNameLanguage::Japanese;
    EXPECT_EQ(lookup.LookupCountry("JA1ABC/KH6", Utc(1, 22, 5), options),
              "\r\n == 12:05 ハワイ ==");
    EXPECT_EQ(lookup.LookupCall, "KH6/JA1ABC");
    options.ShowLocalTime = false;
    EXPECT_EQ(lookup.LookupCountry("W6ABC", Utc(1, 0, 0), options), "\r\n == アメリカ合衆国 ==");
    options.NameLanguage = CountryNameLanguage::None;
    EXPECT_FALSE(lookup.LookupCountry("W6ABC", Utc(1, 0, 0), options).has_value());
    options.ShowLocalTime = true;
    EXPECT_EQ(lookup.LookupCountry("W6ABC", Utc(1, 0, 0), options), "\r\n == 16:00 ==");
    EXPECT_FALSE(lookup.LookupCountry("", Utc(1, 0, 0), options).has_value());
}

TEST(CountryLookup, GreetingLookupOnlySetsTheLocalHour) {
    CountryLookup lookup;
    lookup.GreetingLookup = true;
    DxDisplayOptions abroad{.LocationJapan = false};
    EXPECT_FALSE(lookup.LookupCountry("VU2ABC", Utc(1, 23, 45), abroad).has_value());
    EXPECT_EQ(lookup.DxLocalHour, 5);
    EXPECT_EQ(GreetingLocalHour("JA1ABC", Utc(6, 10, 0)), 19);
    EXPECT_EQ(GreetingLocalHour("", Utc(6, 10, 0)), 25);
    EXPECT_EQ(GreetingLocalHour("QQ1AB", Utc(6, 10, 0)), 25);
}

}  // namespace
}  // namespace morvane::qso
