#include "qso/CountryLookup.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "qso/CallSign.h"
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

struct Row {
    const char* in;
    const char* out;
};

TEST(CountryLookup, SpecialRulesForWnkR1And4) {
    // KH5KAB: the four-character row before KH5. KL is tried on the first two
    // for K only; for W the area digit decides; with no digit the first two
    // (NL). BA1AB: the one-letter row. Portable marks stay; the lookup reads
    // only the leading characters.
    // clang-format off
    const Row rows[] = {
        {"JA1ABC", "Japan"}, {"W6ABC", "USA"}, {"KH6ABC", "Hawaii"}, {"KL7ABC", "Alaska"},
        {"KH5KAB", "Kingman Reef"}, {"KH5AB", "Palmyra & Jarvis Is."}, {"KL1ABC", "Alaska"},
        {"WL1AB", "USA"}, {"NLABC", "Alaska"}, {"KABC", "-"}, {"R1FJA", "Franz Josef Land"},
        {"RW3ABC", "European Russia"}, {"RABC", "-"}, {"1A0KM", "Malta"}, {"1B1AB", "-"},
        {"4U1UN", "United Nations HQ"}, {"4U1ITU", "ITU HQ"}, {"4U1WB", "-"},
        {"4X4AB", "Israel"}, {"FR5AB", "Reunion I."}, {"FR/TAB", "Tromelin I."},
        {"VK5ABC", "ssAustralia"}, {"BY1AB", "China"}, {"BA1AB", "Chaina"}, {"", "-"},
        {"QQ1AB", "-"}, {"JA1ABC/P", "Japan"}, {"VK9ABC/QRP", "ssAustralia"},
        {"W6ABC/MM", "USA"}, {"JA1ABC/KH6", "Hawaii"}, {"DL1ABC/F", "France"},
        {"W1ABC/6", "USA"}};
    // clang-format on
    for (const Row& row : rows) {
        EXPECT_EQ(Country(row.in), row.out) << row.in;
    }
    // W, A, 6 builds the key W6.
    const std::pair<const char*, double> offsets[] = {
        {"WA6XYZ", 16}, {"W1AW", 19}, {"N7ABC", 17}, {"R9ABC", 8}, {"W1ABC/6", 16}};
    for (auto [call, hours] : offsets) {
        auto found = FindCountry(NormaliseLookupCall(call));
        ASSERT_TRUE(found) << call;
        EXPECT_EQ(found->StandardOffsetHours, hours) << call;
    }
    EXPECT_EQ(FindCountry("WA6XYZ")->SummerOffsetHours, 17);
    EXPECT_EQ(FindCountry("KA1ABC")->SummerOffsetHours, 20);
}

TEST(CountryLookup, PortableCallsAreNormalisedForTheLookup) {
    const Row rows[] = {
        {"JA1ABC/P", "JA1ABC/P"},     {"JA1ABC/QRP", "JA1ABC/QRP"}, {"W1ABC/MM", "W1ABC/MM"},
        {"JA1ABC/KH6", "KH6/JA1ABC"}, {"KH6/JA1ABC", "KH6/JA1ABC"}, {"W1ABC/6", "W6ABC"},
        {"JA1ABC/3", "JA3ABC"},       {"JA1ABC/0", "JA0ABC"},       {"W1ABC/0", "W0ABC"},
        {"DL1ABC/F", "F/DL1ABC"},     {"/JA1ABC", "/JA1ABC"}};
    for (const Row& row : rows) {
        EXPECT_EQ(NormaliseLookupCall(row.in), row.out) << row.in;
    }
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

TEST(ParseCallSign, AcceptsCallSignsAndDropsWhatSurroundsThem) {
    const Row rows[] = {
        {"JA1ABC", "JA1ABC"},     {"DEJA1ABC", "JA1ABC"},  // "DE" at the head of the last five
        {"CQDEK1AB", "K1AB"},                              // "DE" second and third of the last five
        {"DEK1AB", "K1AB"},        // four characters up to the digit, "DE" first
        {"XJA1AB", "JA1AB"},       // four characters: the last three are kept
        {"JA1ABC/1", "JA1ABC/1"},  // "/digit" is kept and is not the area digit
        {"JA1ABC/P", "JA1ABC"},    // other portable marks are cut
        {"JA1ABC/QRP", "JA1ABC"}, {"JA1ABCDE", "JA1ABC"},  // at most three suffix letters
        {"JA1ABCDE/2", "JA1ABC"},                      // a late "/" is cut with the surplus letters
        {"JA1A/2", "JA1A/2"},                          // an early "/digit" stays
        {"JA1AB/", "JA1AB"},      {"S21AB", "S21AB"},  // S is allowed before a digit
        {"Z21AB", "Z21AB"},       {"A21AB", "A21AB"},  // so are the ends of that set
        {"W1AB", "W1AB"},         {"21AB", "21AB"},
        {"0W1AB", "W1AB"},  // a leading character outside the set is dropped
        {"ZZDEW1AB", "W1AB"},     {"JA1 ABC", "JA1ABC"},  // blanks never split a call sign
        {"DE JA1ABC", "JA1ABC"},  {"\xEF\xBD\xB1JA1ABC", "JA1ABC"},  // ｱ counts as one character
    };
    for (const Row& row : rows) {
        auto call = ParseCallSign(row.in);
        ASSERT_TRUE(call.has_value()) << row.in;
        EXPECT_EQ(*call, row.out) << row.in;
    }
}

TEST(ParseCallSign, RejectsWordsThatAreNotCallSigns) {
    for (const char* word : {"", "   ", "X21AB", "Q1AB", "123", "ABCDEF", "J.1AB", "XXDEQ1AB",
                             "1ABC", "JA1", "J/1AB"}) {
        EXPECT_FALSE(ParseCallSign(word).has_value()) << '"' << word << '"';
    }
}

TEST(CaptureCallSign, FindsTheLastCandidateBetweenBlankPairsAndPrompts) {
    EXPECT_FALSE(CaptureCallSign("").has_value());
    EXPECT_EQ(CaptureCallSign("RX> CQ CQ DE JA1ABC JA1ABC K"), "JA1ABC");
    EXPECT_EQ(CaptureCallSign("RX> JA1ABC  DE JH2XYZ K"), "JH2XYZ");
    EXPECT_EQ(CaptureCallSign("RX> JA1ABC  TNX  "), "JA1ABC");  // rejected parts are cut away
    EXPECT_EQ(CaptureCallSign("RX> JA1 ABC"), "JA1ABC");
    // A prompt with fewer than three characters after it ends the search.
    EXPECT_FALSE(CaptureCallSign("RX> JA1ABC K RX> K").has_value());
}

TEST(CaptureCallSign, LengthAfterAPromptCountsCharactersAlreadyCutAway) {
    // Two blanks after the prompt are cut as an empty candidate, but they still
    // count: three characters after "RX>" let the search go on, two end it.
    EXPECT_EQ(CaptureCallSign("JA1ABC RX>   "), "JA1ABC");
    EXPECT_FALSE(CaptureCallSign("JA1ABC RX>  ").has_value());
}

TEST(CaptureCallSign, LooksOnlyAtTheLastThirtyCharacters) {
    const std::string tail = "  TNX FER NICE QSO OM GL";
    const std::string whole = "RX> 7J1ABC" + tail;
    ASSERT_EQ(whole.size(), 34u);
    EXPECT_EQ(CaptureCallSign(whole), "7J1ABC");
    // One more character pushes the "7" out: "J1" alone is no prefix.
    EXPECT_FALSE(CaptureCallSign(whole + ".").has_value());

    // Characters, not bytes: twenty kana after the call (60 bytes) keep it in view.
    std::string kana = "RX> 7J1ABC  ";
    for (int i = 0; i < 20; ++i)
        kana += "\xEF\xBE\x84";  // ﾄ
    EXPECT_EQ(CaptureCallSign(kana), "7J1ABC");
}

}  // namespace
}  // namespace morvane::qso
