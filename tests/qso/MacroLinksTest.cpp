#include "qso/MacroLinks.h"

#include <gtest/gtest.h>

namespace morvane::qso {
namespace {

struct NoEvents final : QsoFieldEvents {
    bool AutoCqRunning() const override { return false; }
    void StopAutoCq() override {}
    void EmptyClipboard() override {}
};

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
    NoEvents events;
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

}  // namespace
}  // namespace morvane::qso
