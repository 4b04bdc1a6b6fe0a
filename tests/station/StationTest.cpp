// The whole station on virtual time: settings files through every entry,
// the receive hand-over while keying, Auto CQ on the one-second tick, call
// capture from the demo contact, the logging links and the traffic log.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "StationRig.h"
#include "settings/SettingsFile.h"
#include "synth/TextKeying.h"
#include "transmit/TrafficLog.h"

namespace morvane::station::test {
namespace {

namespace fs = std::filesystem;
using common::EntryId;

class TempDir {
  public:
    TempDir() {
        char pattern[] = "/tmp/morvane-station-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempDir() { fs::remove_all(path_); }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// "LKNNN...": the default options with the font letter changed.
std::string OptionsWith(std::size_t position, char letter) {
    std::string options(settings::kDefaultOptions);
    options[position] = letter;
    return options;
}

// A value for the entry that differs from what the station holds now.
std::string SampleFor(const common::EntryRow& entryRow, const std::string& current) {
    switch (entryRow.Index) {
        case common::Index(EntryId::OptionString):
            return OptionsWith(settings::option::FontSize, 'L');
        case common::Index(EntryId::KeyPort):
            return "COM3";
        case common::Index(EntryId::CaptureDevice):
            return "Silence";
        case common::Index(EntryId::TxSpeed):
            return "20";
        case common::Index(EntryId::InputVolume):
            return "8";
        case common::Index(EntryId::ThresholdDb):
            return "-30";
        case common::Index(EntryId::ToneCentre):
            return "732";
        case common::Index(EntryId::RxLanguage):
            return "JA";
        case common::Index(EntryId::TxClearDelay):
            return "07";
        case common::Index(EntryId::DotRatio):
            return "1.2";
        case common::Index(EntryId::DashRatio):
            return "3.4";
        case common::Index(EntryId::CharSpaceRatio):
            return "3.5";
        case common::Index(EntryId::WordSpaceRatio):
            return "8.0";
        case common::Index(EntryId::AutoCqTimes):
            return "1203";
        default:
            break;
    }
    auto words = common::EntryWords(entryRow);
    if (entryRow.Kind == common::EntryKind::Switch || entryRow.Kind == common::EntryKind::Choice) {
        for (std::string_view word : words) {
            if (word != current)
                return std::string(word);
        }
    }
    if (entryRow.Kind == common::EntryKind::Decimal)
        return std::to_string(100 + entryRow.Index);
    return common::EntryName(entryRow.Index) + " text";
}

// Every entry of the table: the operator's change reaches its target and
// its entry, a saved file brings a new station to the same state, and that
// station saves the same file again.
TEST(Station, EveryEntryIsWrittenAppliedAndReadBackThroughTheTable) {
    TempDir dir;
    StationRig first;
    std::vector<std::pair<int, std::string>> written;
    for (const common::EntryRow& entryRow : common::kEntryTable) {
        if (entryRow.Rule == common::ApplyRule::NotUsed)
            continue;
        const std::string before = first.Sta.SettingText(entryRow.Index);
        const std::string value = SampleFor(entryRow, before);
        ASSERT_NE(value, before) << common::EntryName(entryRow.Index);
        first.Sta.ChangeSetting(entryRow.Index, value);
        EXPECT_EQ(first.Sta.Document().Entry(entryRow.Index), value)
            << "no writer for " << common::EntryName(entryRow.Index);
        EXPECT_EQ(first.Sta.SettingText(entryRow.Index), value)
            << "does not reach its target: " << common::EntryName(entryRow.Index);
        written.emplace_back(entryRow.Index, value);
    }
    // Before a file was applied, changes never ask to be saved.
    EXPECT_FALSE(first.Sta.Document().IsModified());
    EXPECT_EQ(first.Port.Mode, "DTR");
    ASSERT_TRUE(first.Sta.SaveSettings(dir / "a.mrvn"));

    StationRig second;
    ASSERT_TRUE(second.Sta.OpenSettings(dir / "a.mrvn"));
    for (const auto& [index, value] : written) {
        EXPECT_EQ(second.Sta.SettingText(index), value)
            << "not applied from a file: " << common::EntryName(index);
    }
    EXPECT_FALSE(second.Sta.Document().IsModified());
    second.Sta.ChangeSetting(EntryId::MyCall, "JA1ZZZ");
    EXPECT_TRUE(second.Sta.Document().IsModified());
    second.Sta.ChangeSetting(EntryId::MyCall, common::EntryName(92) + " text");
    ASSERT_TRUE(second.Sta.SaveSettings(dir / "b.mrvn"));
    EXPECT_EQ(Slurp(dir / "a.mrvn"), Slurp(dir / "b.mrvn"));
    EXPECT_TRUE(second.Events("msg").empty());
    EXPECT_NE(second.Sta.Title().find("(a.mrvn)"), std::string::npos);
}

TEST(Station, KeyPortFailuresAndARejectedFileAreReportedAndTheRestApplies) {
    TempDir dir;
    StationRig rig;
    settings::SettingsDocument doc;
    doc.SetEntry("COM9", common::Index(EntryId::KeyPort));
    doc.SetEntry("UNO", common::Index(EntryId::KeyLine));
    doc.SetEntry("JA1ZZZ", common::Index(EntryId::MyCall));
    std::string error;
    ASSERT_TRUE(settings::SaveSettingsFile(dir / "bad-port.mrvn", doc, error)) << error;
    ASSERT_TRUE(rig.Sta.OpenSettings(dir / "bad-port.mrvn"));
    EXPECT_EQ(rig.Events("msg"), std::vector<std::string>{"ポートが開けませんでした。"});
    EXPECT_EQ(rig.Port.Mode, "UNO");
    EXPECT_EQ(rig.Sta.SettingText(common::Index(EntryId::MyCall)), "JA1ZZZ");

    std::ofstream(dir / "junk.mrvn") << "not a settings file";
    rig.Lines.clear();
    EXPECT_FALSE(rig.Sta.OpenSettings(dir / "junk.mrvn"));
    EXPECT_EQ(rig.Events("msg").size(), 1u);
}

// The traffic log starts when a file with "Save" chosen is applied and stops
// when "Save" is turned off; without a loaded file "Save" is refused.
TEST(Station, TrafficLogFollowsTheSaveOption) {
    TempDir dir;
    StationRig rig;
    const std::string save = OptionsWith(settings::option::SaveLog, 'S');
    rig.Sta.ChangeSetting(EntryId::OptionString, save);
    EXPECT_FALSE(rig.Sta.TrafficLogOn());
    ASSERT_EQ(rig.Events("msg").size(), 1u);
    EXPECT_TRUE(rig.Events("msg")[0].starts_with("Saveが選択されましたが"));
    EXPECT_EQ(rig.Sta.Options().Options[settings::option::SaveLog], 'N');

    settings::SettingsDocument doc;
    doc.SetEntry(save, common::Index(EntryId::OptionString));
    std::string error;
    ASSERT_TRUE(settings::SaveSettingsFile(dir / "log.mrvn", doc, error));
    ASSERT_TRUE(rig.Sta.OpenSettings(dir / "log.mrvn"));
    ASSERT_TRUE(rig.Sta.TrafficLogOn());
    const fs::path log = dir / "20261207[0930J].txt";
    ASSERT_TRUE(fs::exists(log));

    rig.Sta.AppendTransmit("TEST");
    ASSERT_TRUE(rig.Runner.RunUntilSent());
    rig.Sta.FinishOptionDialog(true, settings::kDefaultOptions, rig.Sta.Options().Texts);
    EXPECT_FALSE(rig.Sta.TrafficLogOn());
    const std::string bytes = Slurp(log);
    EXPECT_NE(bytes.find(transmit::ToLogBytes("TX> [09:30J] TEST")), std::string::npos)
        << ::testing::PrintToString(bytes);
    // Off means off: later traffic stays out of the file.
    rig.Sta.AppendTransmit("EE");
    ASSERT_TRUE(rig.Runner.RunUntilSent());
    rig.Sta.Shutdown();
    EXPECT_EQ(Slurp(log), bytes);
}

// Key Mode picks the English receive table wherever it is set from: a data
// file, an entry change or the combo. `.-..-.` reads as the quote in English
// and as ")" in the mixed table of the E/J modes.
TEST(Station, KeyModeChoosesTheEnglishReceiveTable) {
    TempDir dir;
    StationRig rig;
    const std::string quote = synth::PatternForCharacter("\"", synth::TextAlphabet::English);
    ASSERT_FALSE(quote.empty());
    auto keyed = synth::TextToEvents("TEST TEST ", synth::TextAlphabet::English, 15);
    double t = keyed.EndMs;
    synth::AppendPattern(quote, common::DotLengthMs(15), {}, t, keyed.Events);
    auto tail = synth::TextToEvents(" TEST", synth::TextAlphabet::English, 15, {}, t);
    keyed.Events.insert(keyed.Events.end(), tail.Events.begin(), tail.Events.end());
    rig.Capture.Keyed = keyed.Events;

    // What the receive window gets for the keyed text after the mode is set.
    const auto decoded = [&](const std::function<void()>& setMode) {
        setMode();
        rig.Lines.clear();
        rig.Sta.SelectCaptureDevice("Keyed");
        rig.Runner.AdvanceMs(static_cast<std::int64_t>(tail.EndMs) + 3000);
        rig.Sta.SelectCaptureDevice("Silence");
        rig.Sta.Pump();
        return rig.Joined("rx");
    };
    struct Case {
        const char* word;
        common::KeyMode mode;
        const char* sign;
    };
    const Case cases[] = {
        {"DIRECT", common::KeyMode::Direct, ")"}, {"TXENG", common::KeyMode::English, "\""},
        {"IME", common::KeyMode::Ime, ")"},       {"TXENG", common::KeyMode::English, "\""},
        {"KANA", common::KeyMode::Kana, ")"},     {"TXENG", common::KeyMode::English, "\""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        const auto expectSign = [&](const std::string& text, const char* how) {
            EXPECT_NE(text.find(std::string("TEST TEST ") + c.sign), std::string::npos)
                << how << ": " << text;
        };
        const fs::path file = dir / (std::string(c.word) + ".mrvn");
        expectSign(decoded([&] {
                       settings::SettingsDocument doc;
                       doc.SetEntry(c.word, common::Index(EntryId::KeyMode));
                       std::string error;
                       ASSERT_TRUE(settings::SaveSettingsFile(file, doc, error)) << error;
                       ASSERT_TRUE(rig.Sta.OpenSettings(file));
                   }),
                   "file");
        EXPECT_EQ(rig.Sta.SettingText(common::Index(EntryId::KeyMode)), c.word);
        expectSign(decoded([&] { rig.Sta.ChangeSetting(EntryId::KeyMode, c.word); }), "entry");
        expectSign(decoded([&] { rig.Sta.SetKeyMode(c.mode); }), "combo");
    }
}

// A view that paints only what the station reports shows the transmit text
// from start-up on, through typing, sending and clearing.
TEST(Station, TransmitTextReachesTheViewFromStartUp) {
    StationRig rig;
    ASSERT_EQ(rig.View.Transmit, std::vector<std::string>{"TX> "});
    const auto shown = [&] { return rig.View.Transmit.back(); };
    rig.Sta.AppendTransmit("EE");
    EXPECT_EQ(shown(), "TX> EE");
    ASSERT_TRUE(rig.Runner.RunUntilSent());
    rig.Sta.Pump();
    EXPECT_EQ(shown(), rig.Sta.TransmitText());
    rig.Sta.ClearTransmit();
    EXPECT_EQ(shown(), "TX> ");
    EXPECT_EQ(rig.Sta.TransmitText(), "TX> ");
    // Nothing changed, nothing reported.
    const std::size_t reports = rig.View.Transmit.size();
    rig.Sta.Pump();
    rig.Runner.AdvanceMs(2000);
    EXPECT_EQ(rig.View.Transmit.size(), reports);
}

// While the engine keys, the capture side is paused; when the text is used
// up, reception resumes with the work block cleared.
TEST(Station, KeyingPausesReceivingAndClearsTheWorkBlock) {
    StationRig rig;
    rig.Sta.SelectCaptureDevice("Silence");
    ASSERT_NE(rig.Sta.Chain(), nullptr);
    auto& options = rig.Sta.Chain()->Options();
    options.WorkBlockClearRequested = false;
    rig.Sta.AppendTransmit("EE");
    for (int tick = 0; tick < 200 && (tick < 3 || rig.Sta.Sending()); ++tick)
        rig.Sta.KeyingTick();
    rig.Sta.KeyingTick();
    ASSERT_FALSE(rig.Port.Actions.empty());
    for (const PortAction& action : rig.Port.Actions) {
        if (action.Action == "down") {
            EXPECT_FALSE(action.ReceiveEnabled) << action.Ms;
        }
    }
    EXPECT_TRUE(rig.Sta.ReceiveEnabled().load());
    EXPECT_TRUE(options.WorkBlockClearRequested.load());
    rig.Sta.Pump();
    EXPECT_NE(rig.Joined("rx").find("TX> EE"), std::string::npos) << rig.Joined("rx");
    EXPECT_EQ(rig.Joined("tx"), "EE");
}

// Interval 3 s, two repetitions: "CQ" twice with a pause counted by the
// one-second tick between them, then Auto CQ ends by itself.
TEST(Station, AutoCqRepeatsAfterItsPauseAndEnds) {
    StationRig rig;
    rig.Sta.ChangeSetting(EntryId::AutoCqText, "CQ");
    rig.Sta.ChangeSetting(EntryId::AutoCqTimes, "0302");
    rig.Sta.StartAutoCq();
    EXPECT_TRUE(rig.Sta.AutoCqRunning());
    rig.Runner.AdvanceMs(30'000);
    EXPECT_FALSE(rig.Sta.AutoCqRunning());
    EXPECT_EQ(rig.Joined("tx"), "CQCQ");
    std::vector<std::int64_t> downs, ups;
    for (const PortAction& action : rig.Port.Actions) {
        if (action.Action == "down")
            downs.push_back(action.Ms);
        if (action.Action == "up")
            ups.push_back(action.Ms);
    }
    ASSERT_EQ(downs.size(), 16u);  // C and Q have four elements each
    // The wait starts when the engine takes the last character of the text,
    // so the key is silent for the interval less the last Q (about 1 s).
    const std::int64_t pause = downs[8] - ups[7];
    EXPECT_GE(pause, 1000);
    EXPECT_LE(pause, 3000);
}

// The demo contact's first over decodes, and F4 takes the call sign nearest
// the end of the receive text into HisCall.
TEST(Station, CaptureKeyFillsTheCallFieldFromTheDecodedText) {
    StationRig rig;
    rig.Sta.SelectCaptureDevice("Demo");
    for (int s = 0; s < 60 && rig.Joined("rx").find("PSE K") == std::string::npos; ++s)
        rig.Runner.AdvanceMs(1000);
    ASSERT_NE(rig.Joined("rx").find("JA1ABC PSE K"), std::string::npos) << rig.Joined("rx");
    rig.Sta.CaptureCall();
    EXPECT_EQ(rig.Sta.Field(StationField::HisCall), "JA1ABC");
    EXPECT_EQ(rig.Events("field"), std::vector<std::string>{"HisCall JA1ABC"});
}

// The decoder choice belongs to the machine, not to the data file: it
// survives opening and clearing a file and never reaches a saved one, and a
// switch between overs takes effect on the running capture.
TEST(Station, DecoderChoiceSwitchesMidContactAndStaysOutOfTheDataFile) {
    using receive::DecoderKind;
    TempDir dir;
    StationRig rig;
    EXPECT_EQ(rig.Sta.Decoder(), DecoderKind::Standard);
    ASSERT_TRUE(rig.Sta.SaveSettings(dir / "before.mrvn"));
    rig.Sta.SetDecoder(DecoderKind::Weak);
    EXPECT_EQ(rig.Sta.Decoder(), DecoderKind::Weak);
    ASSERT_TRUE(rig.Sta.SaveSettings(dir / "after.mrvn"));
    EXPECT_EQ(Slurp(dir / "before.mrvn"), Slurp(dir / "after.mrvn"));
    ASSERT_TRUE(rig.Sta.OpenSettings(dir / "before.mrvn"));
    rig.Sta.NewSettings();
    EXPECT_EQ(rig.Sta.Decoder(), DecoderKind::Weak);

    rig.Sta.SelectCaptureDevice("Demo");
    auto until = [&rig](const std::string& text) {
        for (int s = 0; s < 60 && rig.Joined("rx").find(text) == std::string::npos; ++s)
            rig.Runner.AdvanceMs(1000);
    };
    until("PSE K");
    EXPECT_NE(rig.Joined("rx").find("JA1ABC PSE K"), std::string::npos) << rig.Joined("rx");
    rig.Sta.SetDecoder(DecoderKind::Standard);
    EXPECT_EQ(rig.Sta.Decoder(), DecoderKind::Standard);
    until("XYZ K");
    EXPECT_NE(rig.Joined("rx").find("DE JH2XYZ JH2XYZ K"), std::string::npos) << rig.Joined("rx");
}

// QSO, SAVE, Clear and T in contest mode with both logging programs linked.
TEST(Station, LinkOperationsReachHamlogAndCtestwin) {
    StationRig rig;
    rig.Sta.ChangeSetting(EntryId::OptionString, OptionsWith(settings::option::LogSoft, 'B'));
    rig.Sta.SetContest(true);
    const auto linked = rig.Lines;
    rig.Sta.SetField(StationField::HisCall, "JA1ABC");
    rig.Sta.SetField(StationField::RcvdNR, "599015");
    rig.Sta.QsoTransfer();
    const auto& hamlog = rig.Loggers.Hamlog;
    const auto has = [](const std::vector<std::string>& list, const std::string& item) {
        return std::find(list.begin(), list.end(), item) != list.end();
    };
    EXPECT_TRUE(has(hamlog, "196609 JA1ABC")) << ::testing::PrintToString(hamlog);
    EXPECT_TRUE(has(rig.Loggers.Ctestwin, "edit13 JA1ABC"));
    EXPECT_TRUE(has(rig.Loggers.Ctestwin, "enter"));

    rig.Lines.clear();
    rig.Sta.SaveTransfer();
    EXPECT_TRUE(has(hamlog, "524306"));  // HamLog's save command
    EXPECT_TRUE(has(rig.Loggers.Ctestwin, "save"));

    rig.Sta.ClearQso();
    EXPECT_TRUE(has(rig.Loggers.Ctestwin, "clear"));
    EXPECT_EQ(rig.Sta.Field(StationField::HisCall), "");
    EXPECT_TRUE(has(rig.Events("field"), "HisCall ")) << ::testing::PrintToString(rig.Lines);

    rig.Sta.SendTime();
    EXPECT_TRUE(has(hamlog, "2 26/12/07") || has(hamlog, "2 2026/12/07"))
        << ::testing::PrintToString(hamlog);

    // The title tells which programs are linked.
    EXPECT_NE(rig.Sta.Title().find("[Link to Hamlog & CTestWin]"), std::string::npos);
    EXPECT_TRUE(has(linked, "link hamlog up"));
    EXPECT_TRUE(has(linked, "link ctestwin up"));
    rig.Loggers.HamlogUp = false;
    rig.Lines.clear();
    rig.Sta.SetField(StationField::HisCall, "JH2XYZ");
    rig.Sta.QsoTransfer();
    EXPECT_EQ(rig.Events("msg"), std::vector<std::string>{"HamLogを起動して下さい。"});
    // The next title refresh, at most 11 ticks later, sees it gone.
    rig.Runner.AdvanceMs(11'000);
    EXPECT_TRUE(has(rig.Lines, "link hamlog down"));
    EXPECT_NE(rig.Sta.Title().find("[Link to CTestWin]"), std::string::npos);
}

}  // namespace
}  // namespace morvane::station::test
