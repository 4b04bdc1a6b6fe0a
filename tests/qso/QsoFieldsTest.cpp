#include "qso/QsoFields.h"

#include <gtest/gtest.h>

#include "qso/LogFormats.h"
#include "qso/MacroLinks.h"

namespace morvane::qso {
namespace {

struct FakeEvents : QsoFieldEvents {
    bool running = false;
    int stops = 0;
    int clipboardEmptied = 0;
    bool AutoCqRunning() const override { return running; }
    void StopAutoCq() override {
        ++stops;
        running = false;
    }
    void EmptyClipboard() override { ++clipboardEmptied; }
};

class QsoFieldsTest : public ::testing::Test {
  protected:
    FakeEvents events;
    QsoFields fields{events};
};

TEST_F(QsoFieldsTest, SelectionWaitsForTheNextFieldToTakeIt) {
    fields.OnReceiveWindowFocusLost("RX> DE JA1 ABC K", 9, "JA1 ABC", /*spaceDel=*/true);
    EXPECT_EQ(fields.SelectionBuffer, "JA1ABC");
    EXPECT_EQ(fields.SelectionBufferCopy, "JA1ABC");
    EXPECT_EQ(events.clipboardEmptied, 1);

    fields.SetText(QsoField::HisQth, "TOKYO");
    fields.OnFocusGained(QsoField::HisQth);
    EXPECT_EQ(fields.HisQTH(), "JA1ABC");
    EXPECT_TRUE(fields.SelectionBuffer.empty());
    EXPECT_TRUE(fields.SelectionBufferCopy.empty());
    EXPECT_EQ(events.clipboardEmptied, 2);
    EXPECT_EQ(fields.InputTarget, "QTH");
    EXPECT_TRUE(fields.HasFocus(QsoField::HisQth));
    EXPECT_TRUE(fields.FieldHasFocus);

    fields.SetText(QsoField::HisQth, "OSAKA");
    fields.OnFocusLost(QsoField::HisQth);
    EXPECT_FALSE(fields.FieldHasFocus);
    EXPECT_EQ(fields.SavedCopy(QsoField::HisQth), "OSAKA");
    fields.ClearSavedCopies();
    EXPECT_TRUE(fields.SavedCopy(QsoField::HisQth).empty());

    // Without "Space Del" the selection keeps its blanks.
    fields.OnReceiveWindowFocusLost("", 0, "59 9", false);
    fields.OnFocusGained(QsoField::RcvdNr);
    EXPECT_EQ(fields.RcvdNR(), "59 9");
    EXPECT_EQ(fields.InputTarget, "R_NR");
}

TEST_F(QsoFieldsTest, ClickedCallSignIsForgottenButNotCopied) {
    fields.OnReceiveWindowFocusLost("RX> CQ DE JA1ABC K", 12, "", false);
    EXPECT_EQ(fields.ClickedWord, "JA1ABC");
    fields.OnFocusGained(QsoField::HisCall);
    EXPECT_TRUE(fields.ClickedWord.empty());
    EXPECT_TRUE(fields.HisCall().empty());

    fields.OnReceiveWindowFocusLost("RX> CQ DE JA1ABC K", 6, "", false);
    EXPECT_EQ(fields.ClickedWord, "CQ");
    fields.OnFocusGained(QsoField::HisCall);
    EXPECT_EQ(fields.ClickedWord, "CQ");
}

TEST(QsoFields, WordAtCaretStopsAtBlanksThePromptAndFifteenCharacters) {
    EXPECT_EQ(WordAtCaret("RX> CQ DE JA1ABC K", 10), "JA1ABC");  // caret at the word's start
    EXPECT_EQ(WordAtCaret("RX> CQ DE JA1ABC K", 16), "JA1ABC");  // caret on the blank after it
    EXPECT_EQ(WordAtCaret("RX>CQ", 5), "Q");                     // never into the prompt
    EXPECT_EQ(WordAtCaret("RX> CQ", 2), "");
    EXPECT_EQ(WordAtCaret("RX> ABCDEFGHIJKLMNOPQ", 8), "CDEFGHIJKLMNOPQ");  // 17 -> last 15
    EXPECT_EQ(WordAtCaret("RX> \xE3\x81\x82\xE3\x81\x84 X", 5), "\xE3\x81\x82\xE3\x81\x84");
}

TEST_F(QsoFieldsTest, HisCallChangeResetsThreeCharacterReportsAndStopsAutoCq) {
    fields.HisRST = "579";
    fields.MyRST = "599 5NN";
    fields.SetText(QsoField::HisCall, "J");
    EXPECT_EQ(fields.HisRST, "579");  // option off

    fields.Rst5nnReset = true;
    events.running = true;
    fields.SetText(QsoField::HisCall, "");
    EXPECT_EQ(fields.HisRST, "5NN");
    EXPECT_EQ(fields.MyRST, "599 5NN");
    EXPECT_EQ(events.stops, 0);  // empty call: Auto CQ goes on
    fields.SetText(QsoField::HisCall, "JA");
    EXPECT_EQ(events.stops, 1);

    // Characters, not bytes: one kana stays, three wide characters are reset.
    fields.HisRST = "\xE3\x81\x82";              // あ
    fields.MyRST = "5\xEF\xBC\xAE\xEF\xBC\xAE";  // 5ＮＮ
    fields.SetText(QsoField::HisCall, "JA1");
    EXPECT_EQ(fields.HisRST, "\xE3\x81\x82");
    EXPECT_EQ(fields.MyRST, "5NN");
}

TEST_F(QsoFieldsTest, CaptureKeyFillsHisCallAndStopsAutoCq) {
    fields.SetText(QsoField::HisCall, "JH2XYZ");
    events.running = true;
    fields.OnCaptureKey("");  // nothing received: the field stays
    EXPECT_EQ(fields.HisCall(), "JH2XYZ");
    EXPECT_EQ(events.stops, 1);
    fields.OnCaptureKey("RX> QRZ? DE JA1ABC K");
    EXPECT_EQ(fields.HisCall(), "JA1ABC");
    EXPECT_EQ(events.stops, 1);  // already stopped
}

TEST_F(QsoFieldsTest, TemperatureFieldEditsTheSelectedStation) {
    fields.MyTempText = "12";
    fields.HisTempText = "-3";
    EXPECT_EQ(fields.OnTemperatureFocusGained(), "12");
    EXPECT_EQ(fields.InputTarget, "Temp");
    fields.ShowHisTemp = true;
    EXPECT_EQ(fields.OnTemperatureFocusGained(), "-3");
    fields.OnTemperatureEdited("-4");
    EXPECT_EQ(fields.HisTempText, "-4");
    EXPECT_EQ(fields.MyTempText, "12");
    EXPECT_EQ(TwoDigitFieldText("5"), "05");
    EXPECT_EQ(TwoDigitFieldText("15"), "15");
    EXPECT_EQ(TwoDigitFieldText(""), "");
}

// 10:00 UTC in June: 19:00 in Japan, 03:00 in California (summer 17).
const ClockReading kJune{.Local = {2026, 6, 1, 19, 0, 0}, .Utc = {2026, 6, 1, 10, 0, 0}};

TEST(MacroLinks, AutoGreetingUsesTheCountryLookup) {
    macros::FixedClock clock(kJune);
    CountryGreetingHours hours(clock);
    EXPECT_EQ(hours.DxLocalHour("JA1ABC"), 19);
    EXPECT_EQ(hours.DxLocalHour("W6ABC"), 3);
    EXPECT_EQ(hours.DxLocalHour(""), 25);

    macros::MacroExpander expander(clock, hours);
    macros::ExpansionFields fields;
    fields.Greeting = "AUTO";
    fields.HisCall = "JA1ABC";
    EXPECT_EQ(expander.Expand("<Greeting>", fields), "GE");  // 19 is after GE at 18
    fields.HisCall = "W6ABC";
    EXPECT_EQ(expander.Expand("<Greeting>", fields), "GM");  // 3 is after GM at 0
    fields.HisCall = "QQ1AB";
    EXPECT_EQ(expander.Expand("<Greeting>", fields), "");  // unknown country
}

TEST(MacroLinks, TemplatesExpandInTheLoggersPurposes) {
    macros::FixedClock clock(kJune);
    CountryGreetingHours hours(clock);
    macros::MacroExpander expander(clock, hours);
    FakeEvents events;
    QsoFields qso(events);
    qso.HisRST = "5NN";
    qso.ContestNumber = "009";
    qso.SetText(QsoField::RcvdNr, "5NT");
    MacroTemplateExpander templates(expander, [&] {
        macros::ExpansionFields fields;
        CopyQsoFields(qso, fields);
        fields.ContestMode = true;
        fields.OptionString = "MKNNNJJ001218NA0NNNR9ANNHCNNNN";  // 14 "A": received as digits
        return fields;
    });
    EXPECT_EQ(templates.ExpandForCtestwin("<HisRST> <TestNR>"), "599 009");
    EXPECT_EQ(templates.ExpandForHamlog("<RcvdNR>"), "590");
    EXPECT_EQ(templates.ExpandForHamlog("<TestNR%4>"), "0009");  // width forms: HamLog only
    EXPECT_EQ(templates.ExpandForCtestwin("<TestNR%4>"), "<TestNR%4>");
    EXPECT_FALSE(expander.HamlogExpansion);
    EXPECT_FALSE(expander.CtestwinExpansion);
}

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
    // Characters, not bytes: the result stays whole UTF-8.
    EXPECT_EQ(QslTextFor("済", 'N', "8J1ABC"), "済N");
    EXPECT_EQ(QslTextFor("済み", 'N', "8J1ABC"), "済N");
    EXPECT_EQ(QslTextFor("J済E", 'N', "8N1ABC"), "JNE");
    EXPECT_EQ(QslTextFor("済みE", 'N', "8K1ABC"), "済NE");
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
    EXPECT_EQ(CountUpContestNumber(""), "");
    // Against plain integer arithmetic for every value and width up to four
    // digits: carries, and growing by a digit as 9, 99, 999 and 9999 do.
    for (int value = 0; value < 10000; ++value) {
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
