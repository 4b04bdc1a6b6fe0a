// Auto CQ on virtual time with the real keying engine: the engine takes the
// text and counts it down, a one-second timer counts the pause. Repetitions,
// pauses and every early stop are checked against the times things happen.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "decode/WindowCommand.h"
#include "macros/AutoCqEngineCounter.h"
#include "macros/MacroController.h"
#include "transmit/KeyingEngine.h"
#include "transmit/VirtualKeying.h"

namespace morvane::macros {
namespace {

class NoHours : public GreetingHourSource {
  public:
    int DxLocalHour(std::string_view) override { return 25; }
};

class Receive final : public transmit::ReceiveHandOver {
  public:
    void SetReceiveEnabled(bool) override {}
    void ResetSpeedMeasurement() override {}
    void ResetSendMark() override {}
    void ResetElementTiming() override {}
};

// The station around the controller: the transmit window is the engine's text.
class Station : public MacroHost {
  public:
    struct Event {
        std::int64_t TimeMs;
        std::string What;
    };

    ExpansionFields QsoFields() override { return fields; }
    void FocusHisCall() override { Log("focus hiscall"); }
    void FocusTxEdit() override {}
    void EmptyHisCall() override { Log("empty hiscall"); }
    void AppendToTransmit(std::string_view text) override {
        text_.Append(text);
        Log("append " + std::string(text));
    }
    void ClearTransmitText() override {
        text_.Clear();
        Log("clear tx");
    }
    void ClearMonitor() override { Log("clear monitor"); }
    void SetAutoCqLabelEnabled(bool on) override { Log(on ? "label on" : "label off"); }
    void SetLabelEnabled(int, bool) override {}
    void ShowLabel(int, const LabelView&) override {}
    void ShowSendNr(std::string_view) override {}
    void SetQsoGroupCaptions(std::string_view, std::string_view) override {}
    void ShowContestFields(bool) override {}
    void ResetSendMark() override {}

    void Log(std::string what) { events.push_back({timer.NowMs(), std::move(what)}); }

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

    AutoCq& autoCq() { return macros.AutoCqCounters(); }

    ExpansionFields fields;
    std::vector<Event> events;
    transmit::VirtualKeyingTimer timer;

  private:
    transmit::TransmitText text_;
    transmit::KeyEventRecorder output_{timer};
    decode::WindowCommandQueue windows_;
    transmit::SendEcho echo_{windows_};
    Receive receive_;
    transmit::KeyingListener listener_;
    FixedClock clock_{{}};
    NoHours hours_;
    settings::SettingsDocument document_;
    std::int64_t nextSecondMs_ = 1000;

  public:
    MacroController macros{*this, document_, clock_, hours_};

  private:
    AutoCqEngineCounter counter_{macros.AutoCqCounters()};

  public:
    transmit::KeyingEngine engine{{text_, output_, echo_, receive_, listener_, &counter_}};
};

class AutoCqTest : public ::testing::Test {
  protected:
    void SetUp() override {
        station.fields.MyCall = "ja1zzz";
        station.macros.Store().MacroText[0] = "cq de <MyCall> k";
    }
    Station station;
};

TEST_F(AutoCqTest, RepeatOnceEndsOnTheFirstTickAfterTheTextIsTaken) {
    station.macros.SetAutoCqTimes("0701");
    station.macros.StartAutoCq();
    EXPECT_EQ(station.autoCq().Remaining(), 14);  // "CQ DE JA1ZZZ K"
    station.RunFor(30'000);
    EXPECT_EQ(station.TimesOf("append CQ DE JA1ZZZ K").size(), 1u);
    std::vector<std::int64_t> consumed = station.TimesOf("consumed");
    std::vector<std::int64_t> ended = station.TimesOf("label on");
    ASSERT_EQ(consumed.size(), 1u);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_GT(ended[0], consumed[0]);
    EXPECT_LE(ended[0] - consumed[0], 1000 + 600);  // next whole second, plus one element tick
    EXPECT_EQ(station.TimesOf("clear tx"), ended);
    EXPECT_EQ(station.TimesOf("clear monitor"), ended);
    EXPECT_FALSE(station.autoCq().Running());
}

TEST_F(AutoCqTest, RepeatThreeWithSevenSecondPauses) {
    station.macros.SetAutoCqTimes("0703");
    station.macros.StartAutoCq();
    station.macros.StartAutoCq();  // a click while it runs does nothing
    station.RunFor(60'000);
    std::vector<std::int64_t> sent = station.TimesOf("append CQ DE JA1ZZZ K");
    std::vector<std::int64_t> consumed = station.TimesOf("consumed");
    ASSERT_EQ(sent.size(), 3u);
    ASSERT_EQ(consumed.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        std::int64_t pause = sent[i + 1] - consumed[i];
        EXPECT_GT(pause, 6000) << i;
        EXPECT_LE(pause, 7000 + 600) << i;
        EXPECT_GT(consumed[i], sent[i]);
    }
    // After the last one: cleared on the next tick, no more sending.
    std::vector<std::int64_t> ended = station.TimesOf("label on");
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_LE(ended[0] - consumed[2], 1000 + 600);
    EXPECT_EQ(station.TimesOf("clear tx").size(), 3u);  // before repetitions 2, 3 and at the end
}

TEST_F(AutoCqTest, EarlyStops) {
    struct Case {
        const char* name;
        void (*stop)(MacroController&);
    };
    const Case cases[] = {
        {"macro fired",
         [](MacroController& m) {
             m.Store().MacroText[1] = "tu";
             m.FireMacro(1);
         }},
        {"HisCall typed", [](MacroController& m) { m.OnHisCallChanged("JA"); }},
        {"TxClear", [](MacroController& m) { m.StopAutoCqAndClear(); }},
        {"dialog closed", [](MacroController& m) { m.FinishAutoCqDialog(false, "", "0705"); }},
    };
    for (const Case& c : cases) {
        Station rig;
        rig.macros.Store().MacroText[0] = "cq cq";
        rig.macros.SetAutoCqTimes("0205");
        rig.macros.StartAutoCq();
        rig.RunFor(5'000);
        ASSERT_TRUE(rig.autoCq().Running()) << c.name;
        rig.macros.OnHisCallChanged("");  // an emptied HisCall does not stop it
        ASSERT_TRUE(rig.autoCq().Running()) << c.name;
        std::size_t before = rig.events.size();
        std::size_t sentBefore = rig.TimesOf("append CQ CQ").size();
        c.stop(rig.macros);
        EXPECT_FALSE(rig.autoCq().Running()) << c.name;
        EXPECT_FALSE(rig.autoCq().Waiting()) << c.name;
        EXPECT_EQ(rig.events[before].What, "label on") << c.name;
        rig.RunFor(20'000);
        EXPECT_EQ(rig.TimesOf("append CQ CQ").size(), sentBefore) << c.name;
    }
}

TEST_F(AutoCqTest, TransmitClearThroughTheEngineCounterStopsIt) {
    station.macros.Store().MacroText[0] = "cq";
    station.macros.SetAutoCqTimes("0205");
    station.macros.StartAutoCq();
    station.RunFor(3'000);
    ASSERT_TRUE(station.autoCq().Running());
    AutoCqEngineCounter counter(station.autoCq());
    transmit::AutoCqCounter& asSeenByTransmit = counter;
    asSeenByTransmit.Stop();
    EXPECT_FALSE(station.autoCq().Running());
    EXPECT_FALSE(station.autoCq().Waiting());
}

TEST_F(AutoCqTest, FocusHisCallTextAndDialogTimes) {
    station.macros.Store().MacroText[0] = "cq <VK_F1>";
    station.macros.StartAutoCq();
    ASSERT_GE(station.events.size(), 3u);
    EXPECT_EQ(station.events[0].What, "label off");
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
