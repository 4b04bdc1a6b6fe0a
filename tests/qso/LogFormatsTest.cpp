#include "qso/LogFormats.h"

#include <gtest/gtest.h>

namespace morvane::qso {
namespace {

TEST(LogFormats, QthIsANumberOnlyWhenEveryCharacterConverts) {
    EXPECT_EQ(QthAsNumber("2O3A"), "2031");  // O as 0, A as 1
    EXPECT_EQ(QthAsNumber("1oNt"), "1090");  // lower case counts once upper-cased
    EXPECT_EQ(QthAsNumber("1001"), "1001");
    EXPECT_EQ(QthAsNumber("1234567"), "1234567");
    EXPECT_EQ(QthAsNumber("10010/b"), "10010B");  // ward letter kept, "/" dropped
    EXPECT_FALSE(QthAsNumber("100"));             // too short
    EXPECT_FALSE(QthAsNumber("12345678"));        // too long
    EXPECT_FALSE(QthAsNumber("OSAKA"));           // "S" and "K" have no digit
    EXPECT_FALSE(QthAsNumber("1001/B"));          // "/" must be sixth of seven
    EXPECT_FALSE(QthAsNumber("1001X/B"));
    EXPECT_FALSE(QthAsNumber("10010/1"));
}

TEST(LogFormats, QslMarkForEightStationsAndReports) {
    EXPECT_EQ(QslTextFor("J", 'N', "8J1ABC"), "JN");  // short text: first character + mark
    EXPECT_EQ(QslTextFor("JBE", 'N', "8N3XYZ"), "JNE");
    EXPECT_EQ(QslTextFor("JBE", 'N', "8K1AA"), "JNE");
    EXPECT_EQ(QslTextFor("JBE", 'N', "8M1AA"), "JBE");
    EXPECT_EQ(QslTextFor("J", 'N', "JA1ABC"), "J");
    EXPECT_EQ(ReportDigits("5NN"), "599");
    EXPECT_EQ(ReceivedNumberDigits("5nT a0o"), "590 100");
}

TEST(LogFormats, DomesticCommandComparesTheFirstTwoCharactersAsText) {
    for (const char* call : {"JA1ABC", "JS3CGH", "7J1AAA", "7N4XYZ", "8J1A", "8N3Z", "JH"}) {
        EXPECT_EQ(DomesticCommand(call), 26u) << call;
    }
    for (const char* call : {"JT1AB", "7I1AB", "7O1AB", "8I1AB", "8O1AB", "W1AW", "JZ"}) {
        EXPECT_EQ(DomesticCommand(call), 25u) << call;
    }
}

TEST(LogFormats, ContestNumberCountsUpKeepingItsWidth) {
    for (auto [from, to] : {std::pair<const char*, const char*>{"009", "010"},
                            {"0099", "0100"},
                            {"99", "100"},
                            {"1", "2"},
                            {"", ""}}) {
        EXPECT_EQ(CountUpContestNumber(from), to) << from;
    }
    // Against plain integer arithmetic for every width up to four digits.
    for (int value = 0; value < 10000; value += 7) {
        for (int width = 1; width <= 4; ++width) {
            char text[8];
            std::snprintf(text, sizeof text, "%0*d", width, value);
            char next[8];
            std::snprintf(next, sizeof next, "%0*d", width, value + 1);
            ASSERT_EQ(CountUpContestNumber(text), next) << text;
        }
    }
    EXPECT_EQ(PrintableAscii("26/12/06"), "26/12/06");
    EXPECT_FALSE(PrintableAscii("06:04\x01"));
    EXPECT_FALSE(PrintableAscii("\xE6\x97\xA5"));
}

}  // namespace
}  // namespace morvane::qso
