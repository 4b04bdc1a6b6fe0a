// The option string: completion, decoded effects, the dialog's working copy
// and the apply step after OK/Cancel.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>
#include <vector>

#include "settings/OptionDialog.h"

namespace morvane::settings {
namespace {

using C = OptionControl;

std::string With(std::string options, std::size_t pos, std::string_view text) {
    options.replace(pos, text.size(), text);
    return options;
}

TEST(OptionStringTest, ShortStoredStringIsCompletedFromTheCurrentOne) {
    const std::string current = "LHFEL" + std::string(25, 'Q');
    EXPECT_EQ(CompleteOptionString("SK", current), "SKFEL" + std::string(25, 'Q'));
    EXPECT_EQ(CompleteOptionString("", current), current);
    EXPECT_EQ(CompleteOptionString(std::string(29, 'Z'), current), std::string(29, 'Z') + "Q");
    EXPECT_EQ(CompleteOptionString(std::string(33, 'Z'), current), std::string(30, 'Z'));
}

// Every decoded effect on one line, so a whole decode compares at once:
// font, points, his-call points, kana/front, country name/English/DX time,
// clock/abroad/caption, TX-edit stop/exit copy, monitor/5NN, PTT lead,
// PTT by logger/fetch name, link mode.
std::string Summary(const OptionEffects& e) {
    std::ostringstream s;
    s << e.FontFamily << ' ' << e.TextPoints << ' ' << e.HisCallPoints << ' ' << e.Katakana
      << e.FrontDisplay << ' ' << e.CountryName << e.CountryEnglish << e.DxLocalTime << ' '
      << e.ClockMode << e.Abroad << e.LocationCaption << ' ' << e.TxEditStop << e.ExitCopy << ' '
      << e.MonitorMode << e.FiveNN << ' ' << e.PttLeadMs << ' ' << e.PttByLogger << e.FetchName
      << ' ' << e.LinkMode;
    return s.str();
}

TEST(OptionStringTest, EffectsOfTheDefaultAndOfChangedStrings) {
    //                          0         1         2
    //                          012345678901234567890123456789
    const std::string changed = "LHFEUUX001218NN0NEPTNDHGBCNCCS";
    const std::string defaults(kDefaultOptions);
    const std::tuple<std::string, char, const char*> rows[] = {
        {defaults, 'N', "ＭＳ ゴシック 15 10.5 10 N00 J0J 00 R1 0 00 1"},
        // The monitor letter turns the current mode off when it asks for it again.
        {defaults, 'R', "ＭＳ ゴシック 15 10.5 10 N00 J0J 00 N1 0 00 1"},
        {With(defaults, 19, "T"), 'R', "ＭＳ ゴシック 15 10.5 10 N00 J0J 00 T1 0 00 1"},
        // DX local time is on for any letter but "N".
        {changed, 'R', "Consolas 19 10.5 01 E11 U1L 11 T0 100 11 3"},
        {With(changed, 0, "S"), 'R', "Consolas 12 10.5 01 E11 U1L 11 T0 100 11 3"},
        {With(changed, 21, "F"), 'R', "Consolas 19 10.5 01 E11 U1L 11 T0 500 11 3"},
        {With(changed, 24, "X"), 'R', "Consolas 19 10.5 01 E11 U1L 11 T0 100 11 0"},
    };
    for (const auto& [options, currentMonitor, summary] : rows) {
        EXPECT_EQ(Summary(DecodeOptionEffects(options, currentMonitor)), summary)
            << options << " " << currentMonitor;
    }
}

std::vector<C> CheckedControls(const OptionDialogModel& model) {
    std::vector<C> out;
    for (int i = 0; i < static_cast<int>(C::Count); ++i) {
        if (model.IsChecked(static_cast<C>(i))) {
            out.push_back(static_cast<C>(i));
        }
    }
    return out;
}

TEST(OptionDialogTest, ControlsShowTheWorkingString) {
    OptionDialogModel defaults(kDefaultOptions);
    EXPECT_EQ(CheckedControls(defaults),
              (std::vector<C>{C::FontM, C::Katakana, C::ClockJst, C::LocationJapan, C::Zero0,
                              C::MonitorRx, C::FiveNN, C::PttOff, C::PttRtsDtr, C::LogHamlog,
                              C::ModeCw, C::TempBar}));
    EXPECT_EQ(defaults.HourValue(GreetingHour::GM), 0);
    EXPECT_EQ(defaults.HourValue(GreetingHour::GA), 12);
    EXPECT_EQ(defaults.HourValue(GreetingHour::GE), 18);

    // Unknown letters: fallback radios for 0, 1, 5, 22, 26 and 6; nothing for 15, 21, 3.
    OptionDialogModel odd("XXXXXXX021620XXXXXXSXXZZBXXXXS");
    EXPECT_EQ(CheckedControls(odd),
              (std::vector<C>{C::FontM, C::Katakana, C::ClockJst, C::LocationAbroad, C::MonitorRx,
                              C::PttRtsDtr, C::LogHamlog, C::LogCtestwin, C::TempBar, C::SaveLog}));
    EXPECT_EQ(odd.HourValue(GreetingHour::GM), 2);
    EXPECT_EQ(odd.HourValue(GreetingHour::GE), 20);
}

TEST(OptionDialogTest, EachClickRewritesOnlyItsOwnPosition) {
    const std::tuple<C, std::size_t, const char*> cases[] = {
        {C::FontS, 0, "S"},      {C::Hiragana, 1, "H"}, {C::FrontDisp, 2, "F"},
        {C::CountryJpn, 3, "J"}, {C::ClockUtc, 5, "U"}, {C::LocationAbroad, 6, "A"},
        {C::ZeroT, 15, "T"},     {C::SendCut, 16, "A"}, {C::MonitorTx, 19, "T"},
        {C::FiveNN, 20, "N"},    {C::Ptt200, 21, "E"},  {C::PttHamlog, 22, "H"},
        {C::ModeA1A, 25, "A"},   {C::TempMin, 26, "M"}, {C::Qsl, 28, "C"}};
    for (auto [control, position, letter] : cases) {
        OptionDialogModel model(kDefaultOptions);
        model.Click(control);
        EXPECT_EQ(model.Working(), With(std::string(kDefaultOptions), position, letter))
            << static_cast<int>(control);
    }

    OptionDialogModel model(kDefaultOptions);
    model.Click(C::LogCtestwin);
    EXPECT_EQ(model.Working()[24], 'B');
    model.Click(C::LogHamlog);
    EXPECT_EQ(model.Working()[24], 'C');
    model.Click(C::LogCtestwin);
    EXPECT_EQ(model.Working()[24], 'N');
    model.Click(C::ModeA1A);
    EXPECT_FALSE(model.IsChecked(C::ModeCw));
    model.Click(C::ModeA1A);
    EXPECT_EQ(model.Working()[25], 'N');
    model.Click(C::MonitorTx);
    model.Click(C::SaveLog);
    EXPECT_EQ(model.Working()[29], 'S');
    EXPECT_TRUE(model.IsChecked(C::MonitorRx));
    EXPECT_FALSE(model.IsChecked(C::MonitorTx));
    model.CommitHour(GreetingHour::GM, 3);
    model.CommitHour(GreetingHour::GA, 9);  // below the up-down range
    model.CommitHour(GreetingHour::GE, 20);
    EXPECT_EQ(model.Working().substr(7, 6), "031020");
}

TEST(OptionDialogTest, EnterOrderAndQslLimit) {
    OptionField field = OptionField::MyCall;
    std::vector<OptionField> visited;
    for (int i = 0; i < 5; ++i) {
        field = NextFieldOnEnter(field);
        visited.push_back(field);
    }
    EXPECT_EQ(visited, (std::vector<OptionField>{OptionField::MyName, OptionField::MyQTH,
                                                 OptionField::Others, OptionField::ContestName,
                                                 OptionField::MyCall}));
    EXPECT_EQ(NextFieldOnEnter(OptionField::Qsl), OptionField::Qsl);
    EXPECT_EQ(NextFieldOnEnter(OptionField::QslPrefix), OptionField::QslPrefix);
    EXPECT_EQ(CutQsl("ABCDE"), "ABC");
    EXPECT_EQ(CutQsl("ＱＳＬカード"), "ＱＳＬ");
    EXPECT_EQ(CutQsl("AB"), "AB");
}

class FakeOptionHost : public OptionDialogHost {
  public:
    void SetReceivePaused(bool paused) override { log.push_back(paused ? "pause" : "resume"); }
    char MonitorMode() const override { return 'N'; }
    void ApplyOptionEffects(const OptionEffects& e) override {
        log.push_back("effects " + e.FontFamily);
    }
    void ShowMessage(std::string_view text) override {
        log.push_back("message " + std::string(text));
    }
    bool StartTrafficLog(const std::filesystem::path& file, std::string_view header) override {
        log.push_back("log " + file.string() + " " + std::string(header));
        return logWorks;
    }
    void ResetSendMark() override { log.push_back("reset"); }
    void FocusTxEdit() override { log.push_back("focus"); }
    bool logWorks = true;
    std::vector<std::string> log;
};

class OptionApplyTest : public ::testing::Test {
  protected:
    void Finish(bool ok, std::string_view options, const OptionTexts& texts) {
        BeginOptionDialog(host);
        FinishOptionDialog(ok, options, texts, state, document, host, clock);
    }
    FakeOptionHost host;
    OptionState state;
    SettingsDocument document;
    macros::FixedClock clock{
        {.Local = {.Year = 2026, .Month = 12, .Day = 6, .Hour = 7, .Minute = 5}}};
};

TEST_F(OptionApplyTest, OkWithoutChangesAndCancelStoreNothing) {
    const std::vector<std::string> calls = {"pause", "reset", "resume", "focus"};
    document.SetSettingsApplied(true);
    Finish(true, kDefaultOptions, state.Texts);
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(document.SettingsEntries(), Entries{});
    EXPECT_EQ(host.log, calls);

    host.log.clear();
    Finish(false, "SHNNNJJ001218NN0NNNR9ANNHCNNNN", OptionTexts{.MyCall = "JA1ZZZ"});
    EXPECT_EQ(state.Options, kDefaultOptions);
    EXPECT_EQ(state.Texts.MyCall, "");
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(host.log, calls);
}

TEST_F(OptionApplyTest, ChangedOptionsAndTextsAreStoredQslCut) {
    OptionTexts texts{.MyCall = "JA1ZZZ", .Qsl = "JARLX", .QslPrefix = "8J"};
    Finish(true, With(std::string(kDefaultOptions), 27, "C"), texts);
    EXPECT_EQ(state.Options, With(std::string(kDefaultOptions), 27, "C"));
    EXPECT_EQ(document.Entry(91), state.Options);
    EXPECT_EQ(document.Entry(92), "JA1ZZZ");
    EXPECT_EQ(document.Entry(117), "JAR");
    EXPECT_EQ(state.Texts.Qsl, "JAR");
    EXPECT_EQ(document.Entry(142), "8J");
    EXPECT_EQ(document.Entry(93), "");
    EXPECT_FALSE(document.IsModified());  // no data file applied yet
    EXPECT_EQ(host.log[1], "effects Consolas");
}

TEST_F(OptionApplyTest, TrafficLogNeedsAFolderAndAFile) {
    std::string save = With(std::string(kDefaultOptions), 29, "S");
    Finish(true, save, state.Texts);
    EXPECT_EQ(document.Entry(91)[29], 'N');
    EXPECT_EQ(host.log[2], "message " + std::string(kSaveWithoutFolderMessage));

    state = OptionState{.DataFilePath = "/home/op/station.mrvn"};
    host.log.clear();
    Finish(true, save, state.Texts);
    EXPECT_EQ(state.Options[29], 'S');
    EXPECT_EQ(host.log[2], "log /home/op/20261206[0705J].txt MRVN 20261206[0705J]\r\n");

    state = OptionState{.DataFilePath = "/home/op/station.mrvn"};
    host.logWorks = false;
    host.log.clear();
    Finish(true, save, state.Texts);
    EXPECT_EQ(state.Options[29], 'N');
    EXPECT_EQ(host.log[3], "message " + std::string(kLogNotCreatedMessage));
}

}  // namespace
}  // namespace morvane::settings
