#include "text/ReceiveWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "text/MonitorWindow.h"
#include "text/WindowCommand.h"

namespace morvane::text {
namespace {

// Records each log call with the window text the log would have read.
class RecordingLog : public TrafficLogHook {
  public:
    void BeforeLineLabel(LineLabel label, const TextWindow& window) override {
        calls.push_back((label == LineLabel::Received ? "RX|" : "TX|") + window.Text());
    }
    void TxTimeLabelInserted() override { calls.push_back("txtime"); }
    void WindowCleared() override { calls.push_back("cleared"); }
    std::vector<std::string> calls;
};

using F = TextFormat;

class ReceiveWindowTest : public ::testing::Test {
  protected:
    RecordingLog log;
    ReceiveWindow rx{&log};
};

TEST_F(ReceiveWindowTest, LabelsSwitchBetweenReceivedAndSentTextAndCallTheLogFirst) {
    rx.AppendReceived("CQ");
    EXPECT_EQ(rx.Window().Text(), "RX> CQ");
    rx.EchoSent("D");
    rx.EchoSent("E");
    EXPECT_EQ(rx.Window().Text(), "RX> CQ\r\nTX> DE");
    EXPECT_EQ(rx.RxWindowState(), kRxStateSent);
    rx.AppendReceived("R");
    EXPECT_EQ(rx.Window().Text(), "RX> CQ\r\nTX> DE\r\nRX> R");
    EXPECT_EQ(rx.RxWindowState(), kRxStateReceived);
    EXPECT_EQ(log.calls, (std::vector<std::string>{"TX|RX> CQ", "RX|RX> CQ\r\nTX> DE"}));
    // "RX> CQ" black, "\r\nTX> DE" blue (8 characters), "\r\nRX> R" black.
    EXPECT_EQ(
        rx.Window().Runs(),
        (std::vector<FormatRun>{{0, 6, F::Default}, {6, 8, F::TxTiming}, {14, 7, F::Default}}));
}

TEST_F(ReceiveWindowTest, WordSpaceGivesWayToANewLabel) {
    rx.EchoSent("K");
    rx.AppendWordSpace();
    EXPECT_EQ(rx.Window().Text(), "RX> \r\nTX> K\r\nRX> ");
    rx.AppendWordSpace();
    rx.AppendReceived("A");
    EXPECT_EQ(rx.Window().Text(), "RX> \r\nTX> K\r\nRX>  A");
}

TEST_F(ReceiveWindowTest, ClockLineLeavesAnEmptyLineSoReceivedTextGetsAPlainLabel) {
    rx.AppendReceived("A");
    rx.AppendClockLine(" == 12:00 UTC ==\r\n");
    EXPECT_EQ(rx.RxWindowState(), kRxStateClock);
    rx.AppendReceived("B");
    EXPECT_EQ(rx.Window().Text(), "RX> A == 12:00 UTC ==\r\nRX> B");
    EXPECT_TRUE(log.calls.empty()) << "no log piece for a label on an empty line";
    EXPECT_EQ(rx.Window().FormatAt(5), F::Time);
    EXPECT_EQ(rx.Window().FormatAt(rx.Window().Length() - 1), F::Default);
}

TEST_F(ReceiveWindowTest, TxTimeStampAfterReceivedTextAndUnsendableEcho) {
    rx.AppendReceived("A");
    rx.StampTxTime("[12:34] ");
    rx.EchoSent("B");
    EXPECT_EQ(rx.Window().Text(), "RX> A\r\nTX> [12:34] B");
    EXPECT_EQ(log.calls, (std::vector<std::string>{"TX|RX> A", "txtime"}));
    EXPECT_EQ(
        rx.Window().Runs(),
        (std::vector<FormatRun>{
            {0, 5, F::Default}, {5, 6, F::TxTiming}, {11, 8, F::Time}, {19, 1, F::TxTiming}}));
    // From sent text: no label, red, state 3; a second one stays red.
    rx.EchoUnsendable("#");
    rx.EchoUnsendable("$");
    EXPECT_EQ(rx.RxWindowState(), kRxStateWarning);
    EXPECT_EQ(rx.Window().Text(), "RX> A\r\nTX> [12:34] B#$");
    EXPECT_EQ(rx.Window().FormatAt(21), F::Unsendable);
    // A stamp after a warning adds no label.
    rx.StampTxTime("[12:35] ");
    EXPECT_EQ(rx.Window().Text(), "RX> A\r\nTX> [12:34] B#$[12:35] ");
    EXPECT_EQ(log.calls.size(), 2u);
}

TEST_F(ReceiveWindowTest, UnsendableFromReceivedTextStartsABlueLabelThenRed) {
    rx.AppendReceived("A");
    rx.EchoUnsendable("#");
    EXPECT_EQ(rx.Window().Text(), "RX> A\r\nTX> #");
    EXPECT_EQ(
        rx.Window().Runs(),
        (std::vector<FormatRun>{{0, 5, F::Default}, {5, 6, F::TxTiming}, {11, 1, F::Unsendable}}));
}

TEST_F(ReceiveWindowTest, LinkMessageOnItsOwnLine) {
    rx.AppendReceived("A");
    rx.AppendLinkMessage("HamLogを起動してください!!\r\n");
    EXPECT_EQ(rx.RxWindowState(), kRxStateWarning);
    rx.AppendReceived("B");
    EXPECT_EQ(rx.Window().Text(), "RX> A\r\nHamLogを起動してください!!\r\nRX> B");
    EXPECT_EQ(rx.Window().FormatAt(7), F::Unsendable);
}

TEST_F(ReceiveWindowTest, FocusHoldsReceivedTextAndReleasesItAtOnce) {
    rx.AppendReceived("AB");
    rx.FocusGained();
    rx.AppendReceived("C");
    rx.AppendWordSpace();
    rx.AppendReceived("D");
    EXPECT_EQ(rx.Window().Text(), "RX> AB");
    EXPECT_EQ(rx.PendingRxText(), "C D");
    rx.FocusLost();
    EXPECT_EQ(rx.Window().Text(), "RX> ABC D");
    EXPECT_FALSE(rx.RxHoldToBuffer());
    EXPECT_TRUE(rx.PendingRxText().empty());

    // After sent text the release goes back to black without a label.
    rx.EchoSent("K");
    rx.FocusGained();
    rx.AppendReceived("E");
    rx.FocusLost();
    EXPECT_EQ(rx.Window().Text(), "RX> ABC D\r\nTX> KE");
    EXPECT_EQ(rx.RxWindowState(), kRxStateReceived);
    EXPECT_EQ(rx.Window().FormatAt(rx.Window().Length() - 1), F::Default);
}

TEST_F(ReceiveWindowTest, RememberedSelectionIsReplacedAfterHeldTextWasReleased) {
    rx.AppendReceived("ABC DEF");
    rx.FocusGained();
    rx.Window().Select(4, 7);
    rx.AppendReceived("GH");
    rx.FocusLost();
    EXPECT_EQ(rx.Window().Text(), "RX> ABC DEFGH");
    rx.ReplaceRememberedSelection("イロハ");
    EXPECT_EQ(rx.Window().Text(), "RX> イロハ DEFGH");
    EXPECT_EQ(rx.Window().Caret(), rx.Window().Length());
    // The remembered selection is used once.
    rx.ReplaceRememberedSelection("X");
    EXPECT_EQ(rx.Window().Text(), "RX> イロハ DEFGH");
}

TEST_F(ReceiveWindowTest, ClearStartsOverAndTellsTheLog) {
    rx.EchoSent("K");
    rx.ClearReceive();
    EXPECT_EQ(rx.Window().Text(), "RX> ");
    EXPECT_EQ(rx.RxWindowState(), kRxStateReceived);
    EXPECT_EQ(rx.Window().CurrentFormat(), F::Default);
    EXPECT_EQ(log.calls.back(), "cleared");
    rx.AppendReceived("A");
    EXPECT_EQ(rx.Window().Text(), "RX> A");
}

TEST(MonitorWindow, EchoColoursAndClear) {
    MonitorWindow monitor;
    monitor.EchoSent("A");
    monitor.EchoUnsendable("#");
    monitor.EchoSent("B");
    EXPECT_EQ(monitor.Window().Text(), "Monitor> A#B");
    EXPECT_EQ(monitor.Window().Runs(), (std::vector<FormatRun>{{0, 9, F::Default},
                                                               {9, 1, F::TxTiming},
                                                               {10, 1, F::Unsendable},
                                                               {11, 1, F::TxTiming}}));
    monitor.ClearMonitor();
    EXPECT_EQ(monitor.Window().Text(), "Monitor> ");
    EXPECT_EQ(monitor.MonitorState(), 0);
}

TEST(WindowCommand, WritersOnOtherThreadsReachTheOwnerInTheirOrder) {
    WindowCommandQueue queue;
    ReceiveWindow rx;
    MonitorWindow monitor;
    constexpr int kCharacters = 300;
    std::jthread decoder([&] {
        for (int i = 0; i < kCharacters; ++i)
            queue.Push(command::AppendReceived{"a"});
    });
    std::jthread keyer([&] {
        for (int i = 0; i < kCharacters; ++i)
            queue.Push(command::MonitorEchoSent{"b"});
    });
    std::size_t applied = 0;
    while (applied < 2 * kCharacters)
        applied += DrainInto(queue, rx, monitor);
    EXPECT_EQ(rx.Window().Text(), "RX> " + std::string(kCharacters, 'a'));
    EXPECT_EQ(monitor.Window().Text(), "Monitor> " + std::string(kCharacters, 'b'));

    Apply(command::StampTxTime{"[1] "}, rx, monitor);
    Apply(command::ClearReceive{}, rx, monitor);
    EXPECT_EQ(rx.Window().Text(), "RX> ");
}

}  // namespace
}  // namespace morvane::text
