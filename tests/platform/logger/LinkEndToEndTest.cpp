// The link operations against the stand-in programs, each a real process on
// the local window transport.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "LinkHarness.h"
#include "platform/logger/WindowHost.h"
#include "qso/LoggerPtt.h"

namespace morvane {
namespace {

using qso::QsoField;
using qso::Trigger;
using Lines = std::vector<std::string>;

const Lines kProbeEmpty = {"cmd=0x65 len=0 text=", "cmd=0x1 len=4 text=****",
                           "cmd=0x65 len=0 text=", "cmd=0x1 len=0 text="};
const Lines kProbeCall = {"cmd=0x65 len=0 text=", "cmd=0x1 len=4 text=****",
                          "cmd=0x65 len=0 text=", "cmd=0x1 len=6 text=JA1ABC"};

Lines Join(std::initializer_list<Lines> parts) {
    Lines out;
    for (const Lines& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

class LinkEndToEnd : public ::testing::Test, public test::LinkRig {
  protected:
    void SetUp() override {
        windows.SetCopyDataHandler([this](const platform::CopyDataMessage& message) {
            return transfer.OnCopyData(message);
        });
        Fill("JA1ABC", "TARO", "2O3A");
        fields.HisRST = "5NN";
        fields.MyRST = "579";
    }

    std::unique_ptr<test::SimProcess> Start(const char* program, Lines args = {}) {
        auto sim = std::make_unique<test::SimProcess>(
            program, std::move(args),
            dir.Path.string() + "/" + std::to_string(++started_) + ".log");
        EXPECT_TRUE(sim->Started());
        EXPECT_TRUE(sim->WaitReady());
        return sim;
    }
    std::unique_ptr<test::SimProcess> StartHamlog(Lines args = {}) {
        return Start(MORVANE_HAMLOG_SIM, std::move(args));
    }
    void Fill(const char* call, const char* name, const char* qth) {
        fields.SetText(QsoField::HisCall, call);
        fields.SetText(QsoField::HisName, name);
        fields.SetText(QsoField::HisQth, qth);
    }
    std::string Filled() const {
        return fields.HisCall() + "|" + fields.HisName() + "|" + fields.HisQTH();
    }
    int started_ = 0;
};

TEST_F(LinkEndToEnd, QsoTwiceWithTheSameCallSendsTheTimeInsteadOfTheCall) {
    auto hamlog = StartHamlog();
    transfer.Settings.LogLinkChoice = 3;  // CTestWin is not running, and not needed
    transfer.QsoTransfer();
    const Lines fieldsSent = {"cmd=0x7 len=3 text=CW\\0",   "cmd=0xA len=2 text=J\\0",
                              "cmd=0xB len=5 text=TARO\\0", "cmd=0x8 len=5 text=2031\\0",
                              "cmd=0x4 len=4 text=599\\0",  "cmd=0x5 len=4 text=579\\0",
                              "cmd=0x1A len=0 text="};
    const Lines first = Join(
        {kProbeEmpty, {"cmd=0x10 len=0 text="}, fieldsSent, {"cmd=0x30001 len=7 text=JA1ABC\\0"}});
    EXPECT_EQ(hamlog->Received(), first);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_TRUE(view.saveEnabled);
    EXPECT_TRUE(view.timeEnabled);
    EXPECT_TRUE(transfer.QsoSent);
    EXPECT_EQ(transfer.LastCall, "JA1ABC");
    EXPECT_TRUE(transfer.Hamlog().HamlogLinked);

    transfer.QsoTransfer();
    const Lines second = Join(
        {first,
         kProbeCall,
         fieldsSent,
         kProbeCall,
         {"cmd=0x67 len=0 text=", "cmd=0x2 len=8 text=26/12/06", "cmd=0x3 len=6 text=15:04J"}});
    EXPECT_EQ(hamlog->Received(), second);
    EXPECT_TRUE(view.calls.empty());
}

TEST_F(LinkEndToEnd, RepliesFillTheFieldsAndUtcLogsGetUtcTime) {
    auto hamlog = StartHamlog({"--utc", "--station", "JA1ABC,太郎,東京"});
    transfer.Settings.GetHisNameOn = true;
    transfer.Settings.FrontDispOn = true;
    fields.SetText(QsoField::HisName, "");
    fields.SetText(QsoField::HisQth, "1001");
    transfer.QsoTransfer();
    EXPECT_EQ(fields.HisName(), "太郎");  // the reply to 111, from CP932
    EXPECT_EQ(clock.slept, 500);
    const Lines received = hamlog->Received();
    ASSERT_GE(received.size(), 3u);
    EXPECT_EQ(received.back(), "cmd=0x6F len=0 text=");
    EXPECT_TRUE(hamlog->Contains("recv cmd=0x20008 len=5 text=1001\\0"));  // QTH code, Front Disp
    EXPECT_TRUE(hamlog->Contains("front"));

    transfer.SendTimeToHamlog();
    EXPECT_TRUE(transfer.Hamlog().HamlogUtc);
    const Lines after = hamlog->Received();
    EXPECT_EQ(Lines(after.end() - 3, after.end()),
              (Lines{"cmd=0x67 len=0 text=", "cmd=0x2 len=8 text=26/12/06",
                     "cmd=0x3 len=6 text=06:04U"}));

    // Ctrl+F1 and Ctrl+F3: HamLog's call and QTH fields come back.
    auto& link = transfer.Hamlog();
    fields.SetText(QsoField::HisCall, "");
    link.Request(link.FindHamlog(test::Soon()), 0x400065, qso::HamlogAwait::Call, test::Soon());
    EXPECT_EQ(fields.HisCall(), "JA1ABC");
    link.Request(link.FindHamlog(test::Soon()), 0x70, qso::HamlogAwait::Qth, test::Soon());
    EXPECT_EQ(fields.HisQTH(), "東京");
    // Nothing awaited: left to the default handling.
    EXPECT_FALSE(transfer.OnCopyData({.Sender = 1, .Command = 0x6F, .Bytes = {'X', 0}}));
    EXPECT_EQ(fields.HisQTH(), "東京");
}

TEST_F(LinkEndToEnd, SaveNeedsAQsoFirstAndThenStoresTheRecord) {
    auto hamlog = StartHamlog();
    transfer.SaveTransfer();
    EXPECT_EQ(view.calls,
              Lines{"box!:Hamlogにデーターが送られていません\r\nQSOボタンを押してください。"});
    EXPECT_FALSE(view.saveEnabled);
    EXPECT_EQ(Filled(), "||");  // the fields are emptied all the same
    view.calls.clear();
    transfer.SaveTransfer(Trigger::Tag);
    EXPECT_EQ(view.calls, (Lines{"warn:HamLogにデーターが送られていません!!\r\n", "beep"}));
    EXPECT_TRUE(hamlog->Received().empty());

    view.calls.clear();
    Fill("W1AW", "HIRAM", "NEWINGTON");
    transfer.QsoTransfer();
    EXPECT_TRUE(hamlog->Contains("recv cmd=0xC len=10 text=NEWINGTON\\0"));
    transfer.SaveTransfer();
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(hamlog->Received().back(), "cmd=0x80012 len=0 text=");
    EXPECT_TRUE(hamlog->Contains("saved call=W1AW 4=599 5=579 7=CW 10=J 11=HIRAM 12=NEWINGTON"));
    EXPECT_EQ(Filled(), "||");
    EXPECT_FALSE(transfer.QsoSent);
    EXPECT_TRUE(transfer.LastCall.empty());
    EXPECT_FALSE(view.saveEnabled);
    EXPECT_FALSE(view.timeEnabled);
}

// Outside contest mode too, Clear empties CTestWin's call and received number
// and presses its Clear button; SAVE forgets the copies the fields kept.
TEST_F(LinkEndToEnd, ClearReachesCtestwinInEveryModeAndSaveForgetsTheSavedCopies) {
    auto ctestwin = Start(MORVANE_CTESTWIN_SIM);
    transfer.Settings.LogLinkChoice = 2;
    transfer.Settings.ContestMode = false;
    transfer.ClearQso();
    EXPECT_EQ(ctestwin->Events("click"), Lines{"click Clear"});
    EXPECT_EQ(ctestwin->Events("settext"), (Lines{"settext Call=", "settext Rcvd="}));
    EXPECT_EQ(Filled(), "||");

    const QsoField kept[] = {QsoField::HisCall, QsoField::HisName, QsoField::HisQth,
                             QsoField::RcvdNr};
    for (QsoField field : kept) {
        fields.SetText(field, "KEPT");
        fields.OnFocusLost(field);
        ASSERT_EQ(fields.SavedCopy(field), "KEPT");
    }
    transfer.SaveTransfer();
    for (QsoField field : kept)
        EXPECT_EQ(fields.SavedCopy(field), "") << static_cast<int>(field);
}

TEST_F(LinkEndToEnd, ContestWithBothLoggersCountsNumbersAndChecksRcvdNr) {
    auto hamlog = StartHamlog();
    auto ctestwin = Start(MORVANE_CTESTWIN_SIM);
    auto& s = transfer.Settings;
    s.ApplyOptionString("MKNNNJJ001218RA0NNNR9ANNBCNNNN");  // both loggers, RcvdNR check, A=1
    ASSERT_EQ(s.LogLinkChoice, 3);
    s.ContestMode = true;
    s.Remarks1Template = "<RcvdNR>";
    s.SendNrTemplate = "<HisRST> <TestNR>";
    fields.MyRST = "5NN";
    fields.SetText(QsoField::RcvdNr, "5NT");
    fields.ContestNumber = "009";

    transfer.QsoTransfer();
    const Lines hamlogQso =
        Join({kProbeEmpty,
              {"cmd=0x10 len=0 text=", "cmd=0x7 len=3 text=CW\\0", "cmd=0xA len=2 text=J\\0",
               "cmd=0x4 len=4 text=599\\0", "cmd=0x5 len=4 text=599\\0",
               "cmd=0xD len=12 text=H[<RcvdNR>]\\0",
               "cmd=0x1A len=0 text=", "cmd=0x30001 len=7 text=JA1ABC\\0"}});
    EXPECT_EQ(hamlog->Received(), hamlogQso);
    // Items 13, 1 and 0 of the edits, then item 14 with the buttons appended.
    EXPECT_EQ(ctestwin->Events("settext"), (Lines{"settext Call=JA1ABC", "settext Rcvd=599590",
                                                  "settext Sent=C<HisRST><TestNR>"}));
    EXPECT_EQ(ctestwin->Events("click"), Lines{"click Enter"});
    EXPECT_TRUE(view.calls.empty());

    // SAVE without the received number: refused by HamLog's side of the link.
    fields.SetText(QsoField::RcvdNr, "");
    transfer.SaveTransfer();
    EXPECT_EQ(view.calls,
              Lines{"box!:RcvdNRを入力して、再度QSOボタンと \r\nSAVEボタンを押してください。"});
    EXPECT_EQ(hamlog->Received(), hamlogQso);  // no save command
    EXPECT_FALSE(transfer.QsoSent);
    EXPECT_EQ(fields.ContestNumber, "010");
    view.calls.clear();

    fields.SetText(QsoField::HisCall, "JA1ABC");
    fields.SetText(QsoField::RcvdNr, "5NT");
    fields.SetText(QsoField::HisQth, "KEEP");
    transfer.QsoTransfer();
    transfer.SaveTransfer(Trigger::Tag);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(hamlog->Received().back(), "cmd=0x80012 len=0 text=");
    EXPECT_EQ(ctestwin->Events("saved"),
              (Lines{"saved call=JA1ABC sent=C<HisRST><TestNR> rcvd=599590 (record 1)",
                     "saved call=JA1ABC sent=C<HisRST><TestNR> rcvd=599590 (record 2)"}));
    EXPECT_EQ(fields.ContestNumber, "011");
    EXPECT_TRUE(fields.RcvdNR().empty());
    EXPECT_EQ(fields.HisQTH(), "KEEP");  // contest mode empties RcvdNR instead

    transfer.ClearQso();
    EXPECT_EQ(hamlog->Received().back(), "cmd=0x10 len=0 text=");
    EXPECT_EQ(ctestwin->Events("click").back(), "click Clear");
    EXPECT_EQ(ctestwin->Events("settext").back(), "settext Rcvd=");
}

TEST_F(LinkEndToEnd, LoggersNotRunningReportInBothForms) {
    transfer.QsoTransfer();
    transfer.QsoTransfer(Trigger::Tag);
    transfer.SaveTransfer();
    transfer.SaveTransfer(Trigger::Tag);
    transfer.SendTimeToHamlog();
    EXPECT_EQ(view.calls,
              (Lines{"box:HamLogを起動して下さい。", "warn:HamLogを起動してください!!\r\n", "beep",
                     "box:HamLogを起動してください。", "warn:HamLogを起動してください!!\r\n",
                     "beep", "box:HamLogとリンクしていません。"}));
    EXPECT_FALSE(transfer.QsoSent);

    view.calls.clear();
    transfer.Settings.LogLinkChoice = 2;
    transfer.Settings.ContestMode = true;
    fields.SetText(QsoField::HisCall, "JA1ABC");
    transfer.QsoTransfer();
    transfer.QsoTransfer(Trigger::Tag);
    transfer.ClearQso();
    EXPECT_EQ(view.calls,
              (Lines{"box:CTestWinを起動して下さい。", "warn:CTestWinを起動してください!!\r\n",
                     "beep", "box:CTestWinを起動して下さい。"}));
    EXPECT_EQ(fields.HisCall(), "JA1ABC");  // Clear stopped before emptying
}

TEST_F(LinkEndToEnd, SelectionScreenOpenReportsInBothForms) {
    auto hamlog = StartHamlog({"--selection-screen"});
    const std::string box =
        "box:"
        "HamLogの選択画面が開いたままになっています。\r\nあるいは、管理者権限の設定を調べてください"
        "。";
    transfer.QsoTransfer();
    transfer.QsoTransfer(Trigger::Tag);
    transfer.QsoSent = true;
    transfer.SaveTransfer();
    transfer.QsoSent = true;
    transfer.SaveTransfer(Trigger::Tag);
    transfer.ClearQso();
    transfer.SendTimeToHamlog();
    EXPECT_EQ(
        view.calls,
        (Lines{
            box,
            "warn:HamLogの選択画面が開いています!!\r\nあるいは、管理者権限の設定を調べてください。",
            "beep", box,
            "warn:HamLogの選択画面が開いたままです!!"
            "\r\nあるいは、管理者権限の設定を調べてください。",
            "beep", box, box}));
    EXPECT_FALSE(transfer.Hamlog().HamlogLinked);
    // Only probes reached HamLog: 101, 1, 101 each time, and no restore.
    for (const std::string& line : hamlog->Received()) {
        EXPECT_TRUE(line == "cmd=0x65 len=0 text=" || line == "cmd=0x1 len=4 text=****") << line;
    }
}

// HamLog stops answering in the middle of an operation: the operation ends
// within its one time bound (not one per message), is reported as HamLog not
// running, and nothing is marked as sent.
TEST_F(LinkEndToEnd, AHamlogHangingMidOperationIsReportedAndNothingCountsAsSent) {
    using namespace std::chrono_literals;
    const std::string notRunning = "box:HamLogを起動して下さい。";
    const std::string notRunningTag = "warn:HamLogを起動してください!!\r\n";
    struct Row {
        const char* hangOn;  // the command HamLog hangs on
        bool save;
        Trigger trigger;
        Lines calls;
    };
    const Row rows[] = {
        {"0x5", false, Trigger::Tag, {notRunningTag, "beep"}},  // MyRST, among the fields
        {"0x30001", false, Trigger::Operator, {notRunning}},    // the call, the last message
        {"0x65", false, Trigger::Operator, {notRunning}},       // the probe
        {"0x80012", true, Trigger::Operator, {"box:HamLogを起動してください。"}},
        {"0x80012", true, Trigger::Tag, {notRunningTag, "beep"}},
    };
    transfer.OperationTimeout = 500ms;
    for (const Row& row : rows) {
        auto hamlog = StartHamlog({"--hang-on", row.hangOn});
        Fill("JA1ABC", "TARO", "2O3A");
        view.calls.clear();
        view.saveEnabled = false;
        transfer.LastCall.clear();
        transfer.QsoSent = row.save;
        const auto start = std::chrono::steady_clock::now();
        if (row.save)
            transfer.SaveTransfer(row.trigger);
        else
            transfer.QsoTransfer(row.trigger);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_LT(took, 1500ms) << row.hangOn;  // one bound, not one per message
        EXPECT_TRUE(hamlog->Contains("hung")) << row.hangOn;
        EXPECT_EQ(view.calls, row.calls) << row.hangOn;
        EXPECT_FALSE(transfer.QsoSent) << row.hangOn;
        EXPECT_FALSE(view.saveEnabled) << row.hangOn;
        EXPECT_EQ(transfer.LastCall, "") << row.hangOn;
        if (row.hangOn == std::string("0x65")) {
            EXPECT_FALSE(transfer.Hamlog().HamlogLinked);  // a probe without answer unlinks
        }
    }
}

// A HamLog stand-in in this process that answers only the QTH request.
struct QthOnlyHamlog final : platform::local::WindowRequestHandler {
    void OnCopyData(const platform::local::CopyDataRequest& request,
                    platform::local::CopyDataReply& reply) override {
        if (request.Command == 0x70) {
            const std::vector<std::uint8_t> tokyo = {'T', 'O', 'K', 'Y', 'O', 0};
            reply.Send(request.Command, tokyo);
        }
    }
};

TEST_F(LinkEndToEnd, AnUnansweredRequestLeavesNoExpectationBehind) {
    QthOnlyHamlog handler;
    platform::local::WindowHost host("TThwin", handler);
    std::string error;
    ASSERT_TRUE(host.Start(&error)) << error;
    auto& link = transfer.Hamlog();
    const platform::WindowHandle hamlog = link.FindHamlog(test::Soon());
    ASSERT_NE(hamlog, 0u);
    for (auto await : {qso::HamlogAwait::Call, qso::HamlogAwait::Name, qso::HamlogAwait::Settings,
                       qso::HamlogAwait::Probe}) {
        EXPECT_TRUE(link.Request(hamlog, 0x6C, await, test::Soon()));  // never answered
    }
    EXPECT_FALSE(link.AwaitCall || link.AwaitName || link.AwaitQth || link.AwaitSettings ||
                 link.AwaitProbe);
    // The next reply fills only what its own request asked for.
    EXPECT_TRUE(link.Request(hamlog, 0x70, qso::HamlogAwait::Qth, test::Soon()));
    EXPECT_EQ(Filled(), "JA1ABC|TARO|TOKYO");
    EXPECT_TRUE(link.ProbeReply.empty());
    EXPECT_FALSE(transfer.OnCopyData({.Sender = hamlog, .Command = 0x70, .Bytes = {'X', 0}}));
}

// A HamLog stand-in in this process that answers every message with its call
// field, PTT switches included.
struct ChattyHamlog final : platform::local::WindowRequestHandler {
    void OnCopyData(const platform::local::CopyDataRequest& request,
                    platform::local::CopyDataReply& reply) override {
        const std::vector<std::uint8_t> call = {'J', 'A', '9', 'X', 'Y', 'Z', 0};
        reply.Send(request.Command, call);
    }
};

// PTT messages go out on the PTT output's own thread while the form's thread
// runs requests: a reply to a PTT message must never reach the link's state
// from that thread (under ThreadSanitizer this is also a race check).
TEST_F(LinkEndToEnd, RepliesReachTheLinkOnlyOnItsOwnThread) {
    ChattyHamlog handler;
    platform::local::WindowHost host("TThwin", handler);
    std::string error;
    ASSERT_TRUE(host.Start(&error)) << error;
    const std::thread::id owner = std::this_thread::get_id();
    std::atomic<int> foreignCalls{0};
    windows.SetCopyDataHandler([&](const platform::CopyDataMessage& message) {
        if (std::this_thread::get_id() != owner)
            ++foreignCalls;
        return transfer.OnCopyData(message);
    });

    struct NoPort final : transmit::KeyOutput {
        void KeyDown() override {}
        void KeyUp() override {}
        void PttOn() override {}
        void PttOff() override {}
    } port;
    std::atomic<bool> linkUp{true};
    qso::LoggerPttOutput ptt(port, windows, linkUp);
    ptt.SetPttViaLogger(true);
    std::atomic<bool> keying{true};
    std::thread keyer([&] {
        while (keying) {
            ptt.PttOn();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            ptt.PttOff();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    auto& link = transfer.Hamlog();
    for (int i = 0; i < 40 || (ptt.MessagesSent() < 10 && i < 2000); ++i) {
        fields.SetText(QsoField::HisCall, "");
        ASSERT_TRUE(link.Request(link.FindHamlog(test::Soon()), 0x400065, qso::HamlogAwait::Call,
                                 test::Soon()));
        ASSERT_EQ(fields.HisCall(), "JA9XYZ");
    }
    keying = false;
    keyer.join();
    EXPECT_EQ(foreignCalls.load(), 0);
    EXPECT_GE(ptt.MessagesSent(), 10);
    EXPECT_GE(windows.DroppedReplies(), 10);  // HamLog's answers to PTT, not taken
}

}  // namespace
}  // namespace morvane
