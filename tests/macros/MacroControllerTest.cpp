// Macro labels, banks, contest mode, the SendNR text, firing macros and the
// editing dialogs' lists and OK rules, against a host that records calls; and
// Auto CQ on virtual time with the real keying engine: the engine takes the
// text and counts it down, a one-second timer counts the pause. Repetitions,
// pauses and every early stop are checked against the times things happen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

#include "macros/AutoCqEngineCounter.h"
#include "macros/MacroController.h"
#include "macros/MacroDialogs.h"
#include "settings/SettingsDocument.h"
#include "text/WindowCommand.h"
#include "transmit/KeyingEngine.h"
#include "transmit/TransmitControls.h"
#include "transmit/VirtualKeying.h"

namespace morvane::macros {
namespace {

class NoHours : public GreetingHourSource {
  public:
    int DxLocalHour(std::string_view) override { return 25; }
};

class FakeMacroHost : public MacroHost {
  public:
    virtual ~FakeMacroHost() = default;
    virtual void Log(std::string text) { log.push_back(std::move(text)); }
    ExpansionFields QsoFields() override { return fields; }
    void FocusHisCall() override { Log("focus hiscall"); }
    void FocusTxEdit() override { Log("focus tx"); }
    void EmptyHisCall() override { Log("empty hiscall"); }
    void AppendToTransmit(std::string_view text) override { Log("append " + std::string(text)); }
    void ClearTransmitText() override { Log("clear tx"); }
    void ClearMonitor() override { Log("clear monitor"); }
    void SetAutoCqLabelEnabled(bool on) override {
        Log(on ? "autocq label on" : "autocq label off");
    }
    void SetLabelEnabled(int label, bool on) override {
        Log("label" + std::to_string(label) + (on ? " on" : " off"));
    }
    void ShowLabel(int label, const LabelView& view) override {
        Log("show" + std::to_string(label) + " " + view.Caption + " " +
            std::to_string(view.Colour));
    }
    void ShowSendNr(std::string_view text) override { Log("sendnr " + std::string(text)); }
    void SetQsoGroupCaptions(std::string_view a, std::string_view b) override {
        Log("groups " + std::string(a) + "|" + std::string(b));
    }
    void ShowContestFields(bool contest) override {
        Log(contest ? "contest fields" : "qso fields");
    }
    void ResetSendMark() override { Log("reset mark"); }

    ExpansionFields fields;
    std::vector<std::string> log;
};

class MacroControllerTest : public ::testing::Test {
  protected:
    FixedClock clock{{}};
    NoHours hours;
    FakeMacroHost host;
    settings::SettingsDocument document;
    MacroController macros{host, document, clock, hours};
};

TEST_F(MacroControllerTest, LabelsShowTheBankAndContestCaptions) {
    MacroStore& store = macros.Store();
    store.MacroCaption[13] = "TU";
    store.MacroColour[13] = 2;
    EXPECT_EQ(store.ViewOf(13), (LabelView{"TU", 2}));
    EXPECT_EQ(store.ViewOf(1), (LabelView{"macro1", 0}));
    store.MacroShift = true;
    EXPECT_EQ(store.ViewOf(13), (LabelView{"macro28", 0}));
    store.ContestMode = true;
    EXPECT_EQ(store.RoleOf(13), LabelRole::Macro);  // bank 2 edits macro 28 in any mode
    store.MacroShift = false;
    EXPECT_EQ(store.RoleOf(13), LabelRole::SendNr);
    EXPECT_EQ(store.RoleOf(14), LabelRole::Remarks1);
    EXPECT_EQ(store.RoleOf(15), LabelRole::Remarks2);
    EXPECT_EQ(store.RoleOf(12), LabelRole::Macro);
    EXPECT_EQ(store.ViewOf(15), (LabelView{"Remarks2", 4}));
    EXPECT_EQ(PaletteColour(4), (Rgb{255, 0, 0}));
    EXPECT_EQ(PaletteColour(6), (Rgb{0, 0, 0}));
    EXPECT_EQ(PaletteColour(-1), (Rgb{0, 0, 0}));
}

// Macro 30 sits on the last label of bank 2: its defaults, its settings and
// clicks reach that label, and a macro of the hidden bank touches no label.
TEST_F(MacroControllerTest, LastLabelOfTheSecondBank) {
    MacroStore& store = macros.Store();
    store.MacroShift = true;
    EXPECT_EQ(store.ViewOf(15), (LabelView{"macro30", 0}));
    store.MacroShift = false;
    macros.SetMacroCaption(30, "TEST");
    macros.SetMacroColour(30, 5);
    EXPECT_TRUE(host.log.empty());
    macros.SetBank(true);
    ASSERT_EQ(host.log.size(), 15u);
    EXPECT_EQ(host.log.back(), "show15 TEST 5");
    EXPECT_EQ(PaletteColour(store.ViewOf(15).Colour), (Rgb{255, 0, 255}));

    host.log.clear();
    macros.SetMacroCaption(15, "hidden");
    macros.SetMacroColour(1, 2);
    macros.SetMacroCaption(30, "CQ");
    EXPECT_EQ(host.log, (std::vector<std::string>{"show15 CQ 5"}));

    host.log.clear();
    store.MacroText[30] = "cq test";
    macros.ClickLabel(15);
    EXPECT_EQ(host.log, (std::vector<std::string>{"focus tx", "append CQ TEST"}));
    macros.SetBank(false);
    host.log.clear();
    macros.ClickLabel(15);
    macros.FireMacro(31);
    EXPECT_EQ(host.log, (std::vector<std::string>{"focus tx"}));  // macro 15 is empty

    // Each contest template goes to its own place.
    const char* texts[] = {"<HisRST>", "<RcvdNR>", "<TestNR>"};
    for (int which = 0; which < 3; ++which)
        macros.SetContestTemplate(which, texts[which]);
    EXPECT_EQ(store.SendNrTemplate, "<HisRST>");
    EXPECT_EQ(store.Remarks1Template, "<RcvdNR>");
    EXPECT_EQ(store.Remarks2Template, "<TestNR>");
    macros.FinishRemarksDialog(14, true, "R1");
    macros.FinishRemarksDialog(15, true, "R2");
    EXPECT_EQ(store.Remarks1Template, "R1");
    EXPECT_EQ(store.Remarks2Template, "R2");
}

TEST_F(MacroControllerTest, FiredMacrosArriveUpperCaseWithFocusByVkF1) {
    host.fields.HisCall = "w1aw";
    macros.Store().MacroText[2] = "<HisCall> de <MyCall> tu<C_Space3.0>";
    host.fields.MyCall = "ja1zzz";
    macros.ClickLabel(2);
    EXPECT_EQ(host.log,
              (std::vector<std::string>{"focus tx", "append W1AW DE JA1ZZZ TU<C_SPACE3.0>"}));

    host.log.clear();
    macros.Store().MacroText[28] = "qrz?<VK_F1>";
    macros.SetBank(true);
    host.log.clear();
    macros.ClickLabel(13);
    EXPECT_EQ(host.log, (std::vector<std::string>{"focus hiscall", "append QRZ?<VK_F1>"}));

    host.log.clear();
    macros.FireMacro(5);  // empty: nothing appended
    EXPECT_EQ(host.log, (std::vector<std::string>{"focus tx"}));

    macros.SetBank(false);
    macros.Store().MacroText[13] = "ignored";
    macros.ToggleContest(true);
    host.log.clear();
    macros.ClickLabel(13);
    EXPECT_TRUE(host.log.empty());
}

TEST_F(MacroControllerTest, ContestSwitchLabelsFieldsAndSendNr) {
    macros.Store().MacroCaption[14] = "73";
    macros.Store().SendNrTemplate = "<HisRST> nr<TestNR>";
    host.fields.HisRST = "5NN";
    host.fields.OptionString = "MKNNNJJ001218NNTANNR9ANNHCNNNN";  // 0=T, 1=A 9=N
    macros.SetContestNumber("109");
    macros.ToggleContest(true);
    EXPECT_EQ(document.Entry(124), "ContestON");
    EXPECT_EQ(host.log,
              (std::vector<std::string>{"groups SendNR|RcvdNR  (F3)", "show13 <SendNR> 4",
                                        "show14 Remarks1 4", "show15 Remarks2 4", "contest fields",
                                        "sendnr 5NN nrATN", "focus tx"}));
    EXPECT_EQ(macros.SendNrText(), "");  // shown, not stored

    host.log.clear();
    macros.HisRstChanged();
    EXPECT_EQ(macros.SendNrText(), "5NN NRATN");
    macros.ContestNumberChanged("110");
    EXPECT_EQ(document.Entry(125), "110");
    EXPECT_EQ(macros.SendNrText(), "5NN NRAAT");

    host.log.clear();
    macros.ToggleContest(false);
    EXPECT_EQ(document.Entry(124), "ContestOFF");
    EXPECT_EQ(host.log, (std::vector<std::string>{"groups HisName (F2)|HisQTH  (F3)",
                                                  "show13 macro13 0", "show14 73 0",
                                                  "show15 macro15 0", "qso fields", "focus tx"}));
    host.log.clear();
    macros.HisRstChanged();              // only in contest mode
    macros.ContestNumberChanged("111");  // in any mode
    // Outside contest mode the contest tags stay (and are upper-cased).
    EXPECT_EQ(host.log, (std::vector<std::string>{"sendnr 5NN NR<TESTNR>"}));
}

TEST_F(MacroControllerTest, DialogOkRulesAndEntries) {
    document.SetSettingsApplied(true);
    macros.BeginEdit(7);
    macros.FinishMacroDialog(7, true, "", "macro7", 3);  // text and caption unchanged
    EXPECT_EQ(document.Entry(7), "");
    EXPECT_EQ(document.Entry(37), "");
    EXPECT_EQ(document.Entry(67), "3");
    EXPECT_EQ(host.log, (std::vector<std::string>{"label7 off", "show7 macro7 3", "reset mark",
                                                  "label7 on", "focus tx"}));
    macros.FinishMacroDialog(7, true, "CQ", "Call", 3);
    EXPECT_EQ(document.Entry(7), "CQ");
    EXPECT_EQ(document.Entry(37), "Call");
    macros.FinishMacroDialog(7, false, "XX", "YY", 1);
    EXPECT_EQ(macros.Store().MacroText[7], "CQ");
    EXPECT_EQ(macros.Store().MacroColour[7], 3);

    macros.ToggleContest(true);
    macros.FinishRemarksDialog(14, true, "<RcvdNR%15>");
    macros.FinishRemarksDialog(15, false, "dropped");
    EXPECT_EQ(document.Entry(14), "<RcvdNR%15>");
    EXPECT_EQ(document.Entry(15), "");
    host.fields.HisRST = "599";
    host.log.clear();
    macros.FinishSendNrDialog(13, true, "<HisRST>");
    EXPECT_EQ(document.Entry(13), "<HisRST>");
    EXPECT_EQ(host.log.front(), "sendnr 599");
    EXPECT_EQ(macros.Store().MacroText[13], "");  // the template, not macro 13
}

TEST(MacroDialogsTest, ListsHeadingsAndInsertion) {
    EXPECT_EQ(MacroDialogHeading(7, true), "Macro7 for TEST");
    EXPECT_TRUE(IsContestHeading(MacroDialogHeading(30, true)));
    EXPECT_FALSE(IsContestHeading(MacroDialogHeading(30, false)));
    std::vector<std::string_view> contest = MacroTagList(true);
    std::vector<std::string_view> plain = MacroTagList(false);
    ASSERT_EQ(contest.size(), 21u);
    ASSERT_EQ(plain.size(), 19u);
    EXPECT_EQ(contest[2], " <RcvdNR>");
    EXPECT_EQ(contest[5], " <TestName>");
    EXPECT_EQ(plain[2], " <HisName>");
    EXPECT_EQ(plain[4], " <MyCall>");
    EXPECT_EQ(plain.back(), " <VK_F7>");
    EXPECT_EQ(RatioTagList()[6], "");
    EXPECT_EQ(SpaceTagList()[0], "<C_Space3.0>");
    EXPECT_EQ(RemarksTagList()[kRemarksInitialItem], " <SendNR%15>");
    EXPECT_EQ(AutoCqTagList(false).size(), 4u);
    EXPECT_EQ(AutoCqTagList(true).back(), " <TestName>");

    int colour = 3;
    for (int press = 0; press < 6; ++press) {
        colour = NextCaptionColour(colour);
    }
    EXPECT_EQ(colour, 3);

    std::string text = "CQ  K";
    EXPECT_EQ(InsertTagAtCaret(text, 3, 3, " <MyCall>"), 11u);
    EXPECT_EQ(text, "CQ <MyCall> K");
    EXPECT_EQ(InsertTagAtCaret(text, 3, 11, "<C_Space3.0>"), 15u);
    EXPECT_EQ(text, "CQ <C_Space3.0> K");
}

TEST(MacroDialogsTest, RemarksWidthWarnings) {
    EXPECT_EQ(RemarksWidthWarning("<TestNR%12>", " <TestNR%9>"), "最大桁数は9です。");
    EXPECT_EQ(RemarksWidthWarning("<TestNR%9>", " <TestNR%9>"), std::nullopt);
    EXPECT_EQ(RemarksWidthWarning("<RcvdNR%12>", " <RcvdNR%15>"), std::nullopt);
    EXPECT_EQ(RemarksWidthWarning("<RcvdNR%16>", " <RcvdNR%15>"), "最大桁数は15です。");
    EXPECT_EQ(RemarksWidthWarning("<SendNR%99>", " <SendNR%15>"), "最大桁数は15です。");
    EXPECT_EQ(RemarksWidthWarning("<SendNR%99", " <SendNR%15>"), std::nullopt);
    EXPECT_EQ(RemarksWidthWarning("<TestNR%99>", " <SendNR%15>"), "最大桁数は15です。");
    EXPECT_EQ(RemarksWidthWarning("<MyCall>", " <TestNR%9>"), std::nullopt);
}

TEST(MacroDialogsTest, AutoCqTimesText) {
    EXPECT_EQ(AutoCqHiddenText("0705", false), "0705");
    EXPECT_EQ(AutoCqHiddenText("070512", true), "0705 for TEST");
    AutoCqSpinners spinners = SpinnersFromTimes("0705 for TEST");
    EXPECT_EQ(spinners.Interval, 7);
    EXPECT_EQ(spinners.Repeat, 5);
    EXPECT_EQ(TimesFromSpinners(12, 3), "1203");
    EXPECT_EQ(TimesFromSpinners(1, 7), "0107");
    spinners = SpinnersFromTimes("9999");
    EXPECT_EQ(spinners.Interval, 30);
    EXPECT_EQ(spinners.Repeat, 7);
}

class Receive final : public transmit::ReceiveHandOver {
  public:
    void SetReceiveEnabled(bool) override {}
    void ResetSpeedMeasurement() override {}
    void ResetSendMark() override {}
    void ResetElementTiming() override {}
};

// The station around the controller: the transmit window is the engine's text
// and every call is logged with the virtual time it happened at.
class Station : public FakeMacroHost {
  public:
    struct Event {
        std::int64_t TimeMs;
        std::string What;
        int SecondTicks = 0;  // one-second timer ticks before (or during) it
    };

    void AppendToTransmit(std::string_view text) override {
        text_.Append(text);
        FakeMacroHost::AppendToTransmit(text);
    }
    void ClearTransmitText() override {
        text_.Clear();
        FakeMacroHost::ClearTransmitText();
    }
    void FocusTxEdit() override {}  // the stops are checked by the event that follows them
    void Log(std::string what) override {
        events.push_back({timer.NowMs(), std::move(what), secondTicks_});
    }

    // Runs the keying timer and, on every whole second, the window timer.
    void RunFor(std::int64_t ms) {
        std::int64_t end = timer.NowMs() + ms;
        while (timer.NowMs() < end) {
            bool waiting = autoCq().Waiting();
            timer.Tick(engine);
            if (!waiting && autoCq().Waiting()) {
                Log("consumed");
            }
            while (timer.NowMs() >= nextSecondMs_) {
                nextSecondMs_ += 1000;
                ++secondTicks_;
                macros.OnSecondTick();
            }
        }
    }

    std::vector<std::int64_t> TimesOf(std::string_view what) const {
        std::vector<std::int64_t> times;
        for (const Event& e : events) {
            if (e.What == what) {
                times.push_back(e.TimeMs);
            }
        }
        return times;
    }

    std::vector<int> SecondTicksOf(std::string_view what) const {
        std::vector<int> ticks;
        for (const Event& e : events) {
            if (e.What == what) {
                ticks.push_back(e.SecondTicks);
            }
        }
        return ticks;
    }

    AutoCq& autoCq() { return macros.AutoCqCounters(); }
    const std::vector<transmit::KeyEvent>& KeyEvents() const { return output_.Events(); }

    std::vector<Event> events;
    transmit::VirtualKeyingTimer timer;

  private:
    transmit::TransmitText text_;
    transmit::KeyEventRecorder output_{timer};
    text::WindowCommandQueue windows_;
    transmit::SendEcho echo_{windows_};
    Receive receive_;
    transmit::KeyingListener listener_;
    FixedClock clock_{{}};
    NoHours hours_;
    settings::SettingsDocument document_;
    std::int64_t nextSecondMs_ = 1000;
    int secondTicks_ = 0;

  public:
    MacroController macros{*this, document_, clock_, hours_};

  private:
    AutoCqEngineCounter counter_{macros};

  public:
    transmit::KeyingEngine engine{{text_, output_, echo_, receive_, listener_, &counter_}};
    transmit::TransmitControls controls{{engine, text_, windows_, receive_, output_, &counter_}};
};

void Prepare(Station& station, std::string text, std::string_view times) {
    station.fields.MyCall = "ja1zzz";
    station.macros.Store().MacroText[0] = std::move(text);
    station.macros.SetAutoCqTimes(times);
}

TEST(AutoCqTest, RepeatsWithPausesAndEndsOnTheTickAfterTheLastText) {
    for (auto [times, repeats] : {std::pair<const char*, std::size_t>{"0701", 1}, {"0703", 3}}) {
        Station rig;
        Prepare(rig, "cq de <MyCall> k", times);
        rig.macros.StartAutoCq();
        EXPECT_EQ(rig.autoCq().Remaining(), 14);  // "CQ DE JA1ZZZ K"
        rig.macros.StartAutoCq();                 // a click while it runs does nothing
        rig.RunFor(60'000);
        std::vector<std::int64_t> sent = rig.TimesOf("append CQ DE JA1ZZZ K");
        std::vector<std::int64_t> consumed = rig.TimesOf("consumed");
        ASSERT_EQ(sent.size(), repeats) << times;
        ASSERT_EQ(consumed.size(), repeats) << times;
        // The pause is the interval in one-second ticks, counted from the tick
        // after the text was used up.
        std::vector<int> sentTick = rig.SecondTicksOf("append CQ DE JA1ZZZ K");
        std::vector<int> consumedTick = rig.SecondTicksOf("consumed");
        for (std::size_t i = 0; i < repeats; ++i) {
            EXPECT_GT(consumed[i], sent[i]) << times;
            if (i + 1 < repeats) {
                EXPECT_EQ(sentTick[i + 1] - consumedTick[i], 7) << times << i;
            }
        }
        // After the last one: cleared on the next tick.
        std::vector<std::int64_t> ended = rig.TimesOf("autocq label on");
        ASSERT_EQ(ended.size(), 1u) << times;
        EXPECT_GT(ended[0], consumed.back()) << times;
        EXPECT_EQ(rig.SecondTicksOf("autocq label on")[0] - consumedTick.back(), 1) << times;
        EXPECT_EQ(rig.TimesOf("clear monitor"), ended) << times;
        // Cleared before each repetition after the first, and at the end.
        std::vector<std::int64_t> cleared = rig.TimesOf("clear tx");
        ASSERT_EQ(cleared.size(), repeats) << times;
        EXPECT_EQ(cleared.back(), ended[0]) << times;
        EXPECT_FALSE(rig.autoCq().Running()) << times;
    }
}

// Every character the engine takes counts, whatever it makes of it: a romaji
// group of two or three letters, a small tsu, an unsendable character, and
// every tag by its length. A count that never reaches 0 never ends the
// repetition; one that overshoots ends it early.
TEST(AutoCqTest, EveryCharacterTakenCountsTowardsTheRepetition) {
    using enum transmit::KeyMode;
    const std::pair<transmit::KeyMode, const char*> cases[] = {
        {English, "cq<+1 UP> de <MyCall><DOT1.2> k<ORIGINAL>"},
        {English, "cq % de <MyCall>"},
        {Direct, "<konbanwa> de <MyCall>"},
        {Direct, "<kka kya nn>k"},
    };
    for (const auto& [mode, text] : cases) {
        Station rig;
        rig.engine.SetKeyMode(mode);
        Prepare(rig, text, "0302");
        rig.macros.StartAutoCq();
        rig.RunFor(60'000);
        std::vector<std::int64_t> consumed = rig.TimesOf("consumed");
        ASSERT_EQ(consumed.size(), 2u) << text;
        EXPECT_EQ(rig.autoCq().Remaining(), 0) << text;
        EXPECT_EQ(rig.TimesOf("autocq label on").size(), 1u) << text;
        // Finished with the last character (or a tag after it), not before:
        // nothing else is keyed until the next repetition.
        std::vector<std::int64_t> sent;
        for (const Station::Event& e : rig.events) {
            if (e.What.starts_with("append "))
                sent.push_back(e.TimeMs);
        }
        ASSERT_EQ(sent.size(), 2u) << text;
        std::int64_t lastDown = 0;
        for (const transmit::KeyEvent& e : rig.KeyEvents()) {
            if (e.Action == transmit::KeyAction::Down && e.TimeMs < sent[1])
                lastDown = e.TimeMs;
        }
        EXPECT_LT(std::abs(lastDown - consumed[0]), 1000) << text;
    }
}

// With PTT in use, an Auto CQ text ending in a tag has PTT released a dot less
// 20 ms before the next tick, even when typed text follows it.
TEST(AutoCqTest, TextEndingInATagReleasesPttBeforeTypedText) {
    Station rig;
    Prepare(rig, "e<dot1.0>", "0701");
    rig.engine.SetPttLeadMs(50);
    rig.macros.StartAutoCq();
    rig.AppendToTransmit("T");
    rig.RunFor(3000);
    using A = transmit::KeyAction;
    // E: PTT lead 50, dot 60, end of character 120, then PTT off; 40 + one dot
    // later T starts with a new lead. T: dash 180, gap 120 less the 20 ms tail.
    std::vector<transmit::KeyEvent> expected{{0, A::PttOn},    {50, A::Down},   {110, A::Up},
                                             {230, A::PttOff}, {330, A::PttOn}, {380, A::Down},
                                             {560, A::Up},     {580, A::PttOff}};
    std::vector<transmit::KeyEvent> keyed = rig.KeyEvents();
    for (transmit::KeyEvent& e : keyed)
        e.TimeMs -= rig.KeyEvents().front().TimeMs;
    EXPECT_EQ(keyed, expected);
}

TEST(AutoCqTest, EarlyStopsEnableTheLabelAtOnce) {
    struct Case {
        const char* name;
        void (*stop)(Station&);
    };
    const Case cases[] = {
        {"macro fired",
         [](Station& s) {
             s.macros.Store().MacroText[1] = "tu";
             s.macros.FireMacro(1);
         }},
        {"HisCall typed", [](Station& s) { s.macros.OnHisCallChanged("JA"); }},
        {"F4 or F9", [](Station& s) { s.macros.StopAutoCqAndClear(); }},
        {"dialog closed", [](Station& s) { s.macros.FinishAutoCqDialog(false, "", "0705"); }},
        {"TxClear button", [](Station& s) { s.controls.TxClear(); }},
        {"transmit window cleared", [](Station& s) { s.controls.ClearTransmit(); }},
    };
    for (const Case& c : cases) {
        Station rig;
        Prepare(rig, "cq cq", "0205");
        rig.macros.StartAutoCq();
        rig.RunFor(5'000);
        ASSERT_TRUE(rig.autoCq().Running()) << c.name;
        rig.macros.OnHisCallChanged("");  // an emptied HisCall does not stop it
        ASSERT_TRUE(rig.autoCq().Running()) << c.name;
        std::size_t before = rig.events.size();
        std::size_t sentBefore = rig.TimesOf("append CQ CQ").size();
        c.stop(rig);
        EXPECT_FALSE(rig.autoCq().Running()) << c.name;
        EXPECT_FALSE(rig.autoCq().Waiting()) << c.name;
        ASSERT_GT(rig.events.size(), before) << c.name;
        EXPECT_EQ(rig.events[before].What, "autocq label on") << c.name;
        EXPECT_EQ(rig.TimesOf("autocq label on").size(), 1u) << c.name;
        rig.RunFor(20'000);
        EXPECT_EQ(rig.TimesOf("append CQ CQ").size(), sentBefore) << c.name;
    }
    // The Auto CQ repeat's own clear leaves it running and the label off.
    Station rig;
    Prepare(rig, "cq cq", "0205");
    rig.macros.StartAutoCq();
    rig.controls.ClearTransmit(false);
    EXPECT_TRUE(rig.autoCq().Running());
    EXPECT_TRUE(rig.TimesOf("autocq label on").empty());
}

TEST(AutoCqTest, FocusHisCallTextAndDialogTimes) {
    Station station;
    Prepare(station, "cq <VK_F1>", "0705");
    station.macros.StartAutoCq();
    ASSERT_GE(station.events.size(), 3u);
    EXPECT_EQ(station.events[0].What, "autocq label off");
    EXPECT_EQ(station.events[1].What, "empty hiscall");
    EXPECT_EQ(station.events[2].What, "focus hiscall");

    station.macros.FinishAutoCqDialog(true, "cq test", "1203");
    EXPECT_EQ(station.macros.AutoCqTimes(), "1203");
    EXPECT_EQ(station.autoCq().Interval(), 12);
    EXPECT_EQ(station.autoCq().Repeat(), 3);
    EXPECT_EQ(station.macros.Store().MacroText[0], "cq test");
    EXPECT_FALSE(station.autoCq().Running());
}

// The keying thread counts down while the window timer counts the pause; run
// under ThreadSanitizer this shows the counters are shared without races.
TEST(AutoCqThreadsTest, KeyingAndTimerThreadsShareTheCounters) {
    AutoCq autoCq;
    autoCq.SetTimes("0103");
    autoCq.Begin(5);
    std::thread keying([&autoCq] {
        while (autoCq.Running()) {
            if (!autoCq.Waiting() && autoCq.CountDown(1) < 1) {
                autoCq.MarkFinished();
            }
            std::this_thread::yield();
        }
    });
    int repetitions = 1;
    for (AutoCq::Tick tick = AutoCq::Tick::Nothing; tick != AutoCq::Tick::Ended;) {
        tick = autoCq.OnSecondTick();
        if (tick == AutoCq::Tick::SendAgain) {
            autoCq.NextRepetition(5);
            ++repetitions;
        }
        std::this_thread::yield();
    }
    keying.join();
    EXPECT_EQ(repetitions, 3);
    EXPECT_FALSE(autoCq.Running());
}

}  // namespace
}  // namespace morvane::macros
