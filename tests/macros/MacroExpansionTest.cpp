// Tag expansion: order dependence, purposes, cut numbers, width forms and the
// AUTO greeting, with values worked out by hand from the tag rules.
#include <gtest/gtest.h>

#include <vector>

#include "macros/MacroExpansion.h"

namespace morvane::macros {
namespace {

class RecordingHours : public GreetingHourSource {
  public:
    int DxLocalHour(std::string_view hisCall) override {
        calls.emplace_back(hisCall);
        return hour;
    }
    int hour = 25;
    std::vector<std::string> calls;
};

// Option string with position `pos` changed.
std::string Options(std::initializer_list<std::pair<std::size_t, std::string_view>> changes) {
    std::string options(common::kDefaultOptions);
    for (auto [pos, text] : changes) {
        options.replace(pos, text.size(), text);
    }
    return options;
}

enum Purpose { kSend, kHamlog, kCtestwin };

struct Row {
    Purpose purpose;
    std::string_view text;
    std::string_view expanded;
};

class MacroExpansionTest : public ::testing::Test {
  protected:
    std::string Expand(Purpose purpose, std::string_view text) {
        expander.HamlogExpansion = purpose == kHamlog;
        expander.CtestwinExpansion = purpose == kCtestwin;
        return expander.Expand(text, fields);
    }
    std::string Send(std::string_view text) { return Expand(kSend, text); }
    void ExpectRows(std::initializer_list<Row> rows) {
        for (const Row& row : rows) {
            EXPECT_EQ(Expand(row.purpose, row.text), row.expanded)
                << row.purpose << " " << row.text;
        }
    }

    FixedClock clock{{.Local = {.Hour = 7, .Minute = 5}, .Utc = {.Hour = 22, .Minute = 5}}};
    RecordingHours hours;
    MacroExpander expander{clock, hours};
    ExpansionFields fields;
};

TEST_F(MacroExpansionTest, EveryOccurrenceExactCaseTrimAndReports) {
    fields.MyCall = "JA1ZZZ";
    fields.HisCall = "W1AW";
    fields.HisRST = "5NN";
    fields.MyRST = "4N9";
    ExpectRows({
        {kSend, "", ""},
        {kSend, " \t \r\n ", ""},
        {kSend, "  <HisCall> DE <MyCall> <MyCall> K  ", "W1AW DE JA1ZZZ JA1ZZZ K"},
        {kSend, "<hiscall> <MYCALL> <MyCall", "<hiscall> <MYCALL> <MyCall"},
        // Sending tags pass through for the keying engine.
        {kSend, "<C_Space3.0><+1 UP><VK_F1>", "<C_Space3.0><+1 UP><VK_F1>"},
        // Reports are digits only in transfers.
        {kSend, "<HisRST> <MyRST>", "5NN 4N9"},
        {kHamlog, "<HisRST> <MyRST>", "599 499"},
        {kCtestwin, "<HisRST> <MyRST>", "599 499"},
    });
}

TEST_F(MacroExpansionTest, InsertedTextIsSearchedOnlyForLaterTags) {
    fields.HisCall = "<HisCall>";  // its own tag: inserted once, as it stands
    fields.HisName = "<MyCall>";   // a later tag: expanded
    fields.MyCall = "<HisQTH>";    // an earlier tag: stays
    fields.HisQTH = "TOKYO";
    ExpectRows(
        {{kSend, "<HisCall> <HisName>", "<HisCall> <HisQTH>"}, {kSend, "<HisQTH>", "TOKYO"}});
}

TEST_F(MacroExpansionTest, ContestTagsOnlyInContestModeWithCutNumbers) {
    fields.TestNR = "109";
    fields.TestName = "ALLJA1";
    fields.RcvdNR = "5NT";
    const std::string text = "<TestNR> <TestName> <RcvdNR> <JST> <UTC>";
    EXPECT_EQ(Send(text), text);

    fields.ContestMode = true;
    fields.OptionString = Options({{15, "T"}, {16, "A"}});
    EXPECT_EQ(Send(text), "ATN ALLJA1 5NT 07:05 22:05");
    fields.OptionString = Options({{15, "O"}, {16, "N"}});
    EXPECT_EQ(Send("<TestNR>"), "1O9");
    fields.TestNR = "1000";
    fields.OptionString = Options({{15, "O"}, {16, "A"}});
    // Every zero is cut, not only leading ones; transfers insert the number as
    // typed and HamLog reads a cut RcvdNR back.
    ExpectRows({{kSend, "<TestNR>", "AOOO"}, {kCtestwin, "<TestNR> <RcvdNR>", "1000 5NT"}});
    fields.OptionString = Options({{14, "A"}});
    ExpectRows({{kHamlog, "<RcvdNR>", "590"}, {kSend, "<RcvdNR>", "5NT"}});
    fields.OptionString = Options({{14, "N"}});
    EXPECT_EQ(Expand(kHamlog, "<RcvdNR>"), "5NT");
}

TEST_F(MacroExpansionTest, SendNrTemplateReliesOnLaterSteps) {
    fields.ContestMode = true;
    fields.SendNrTemplate = "<HisRST> <TestNR>";
    fields.SendNrText = "5NN TTA";
    fields.HisRST = "5NN";
    fields.TestNR = "001";
    fields.OptionString = Options({{15, "T"}, {16, "A"}});
    ExpectRows({{kSend, "TU <SendNR>", "TU 5NN TTA"},
                {kHamlog, "<SendNR>", "599 001"},
                {kCtestwin, "<SendNR>", "599 001"}});
}

TEST_F(MacroExpansionTest, WidthFormsInHamlogTransferOnly) {
    fields.ContestMode = true;
    fields.TestNR = "12";
    fields.RcvdNR = "59N012";
    fields.HisRST = "5NN";
    fields.SendNrTemplate = "<HisRST> <TestNR>";
    fields.OptionString = Options({{14, "A"}, {15, "T"}});
    const char* malformed = "<RcvdNR%> <RcvdNR%1x> <RcvdNR%123> <SendNR%a> <TestNR%x>";
    ExpectRows({
        {kHamlog, "<TestNR%4>|<TestNR%1>|", "0012|12|"},
        {kHamlog, "<RcvdNR%15>|", "599012         |"},
        {kHamlog, "<RcvdNR%20>|<RcvdNR%08>|<RcvdNR%3>|", "599012         |599012  |599012|"},
        {kHamlog, "<SendNR%9>|", "599 12   |"},
        // The TestNR form is ten characters whatever its last one is.
        {kHamlog, "<TestNR%3Xa", "012a"},
        {kHamlog, "<TestNR%3あb", "012b"},
        // Malformed forms stay as they are.
        {kHamlog, malformed, malformed},
        {kHamlog, "<TestNR%4", "<TestNR%4"},
        // Outside the HamLog purpose the width forms are not tags.
        {kCtestwin, "<TestNR%4>", "<TestNR%4>"},
        {kSend, "<RcvdNR%15>", "<RcvdNR%15>"},
    });
}

TEST_F(MacroExpansionTest, AutoGreetingAtBoundaryHours) {
    // Greetings for local hours 0 to 25, "-" for none.
    auto everyHour = [](std::string_view options) {
        std::string out;
        for (int hour = 0; hour <= 25; ++hour) {
            std::string greeting = AutoGreeting(hour, options);
            out += (hour ? " " : "") + (greeting.empty() ? "-" : greeting);
        }
        return out;
    };
    EXPECT_EQ(everyHour(common::kDefaultOptions),
              "GM GM GM GM GM GM GM GM GM GM GM GM GA GA GA GA GA GA GE GE GE GE GE GE AUTO -");
    // A morning start of 3: the small hours still say good evening.
    EXPECT_EQ(everyHour(Options({{7, "03"}, {9, "10"}, {11, "16"}})),
              "GE GE GE GM GM GM GM GM GM GM GA GA GA GA GA GA GE GE GE GE GE GE GE GE AUTO -");

    fields.HisCall = "K1ABC";
    fields.Greeting = "AUTO";
    hours.hour = 19;
    EXPECT_EQ(Send("<Greeting> OM"), "GE OM");
    EXPECT_EQ(hours.calls, std::vector<std::string>{"K1ABC"});
    hours.hour = 25;
    EXPECT_EQ(Send("<Greeting> OM"), "OM");
    fields.Greeting = "GA";
    EXPECT_EQ(Send("<Greeting> <Greeting>"), "GA GA");
    EXPECT_EQ(Send("no greeting here"), "no greeting here");
    EXPECT_EQ(hours.calls.size(), 2u);  // the lookup runs only for AUTO and the tag
}

TEST_F(MacroExpansionTest, TemperaturesAndWeather) {
    fields.MyTemp = "-3";
    fields.HisTemp = "12";
    fields.MyWX = "FINE";
    fields.OptionString = Options({{26, "M"}});
    EXPECT_EQ(Send("<MyWX> <MyTemp> <HisWX><HisTemp>"), "FINE MIN3C 12C");
    fields.OptionString = Options({{26, "N"}});
    fields.Fahrenheit = true;
    EXPECT_EQ(Send("<MyTemp> <HisTemp>"), "-3F 12F");
    fields.MyTemp = "";
    EXPECT_EQ(Send("[<MyTemp>]"), "[]");
}

TEST_F(MacroExpansionTest, HalfWidthKanaBecomeFullWidthInKanaMode) {
    const decode::HalfWidthKanaRow rows[] = {
        {"", "", ""}, {"ｱ", "33133", "ア"}, {"ｶ", "1312", "カ"}};
    MacroExpander kana(clock, hours, rows);
    fields.TxInputMode = 3;
    kana.WorkText = "ｱｶｻ A";
    kana.ExpandMacroTags(fields);
    EXPECT_EQ(kana.WorkText, "アカｻ A");
    fields.TxInputMode = 2;
    kana.WorkText = "ｱｶ";
    kana.ExpandMacroTags(fields);
    EXPECT_EQ(kana.WorkText, "ｱｶ");
}

}  // namespace
}  // namespace morvane::macros
