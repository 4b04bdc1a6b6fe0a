// The keyer board protocol on a pseudo-terminal pair: the real engine on the
// real timer thread writes commands that the test reads back with times.
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "../TestSupport.h"
#include "platform/serial/KeyPorts.h"
#include "platform/timer/KeyingTimerThread.h"
#include "text/WindowCommand.h"
#include "transmit/KeyingEngine.h"

namespace morvane::platform {
namespace {

using test::Clock;
using Lines = std::vector<std::string>;
const std::string kRelease("b\0\0e\0\0", 6);  // key up, PTT off

struct QuietReceive final : transmit::ReceiveHandOver {
    void SetReceiveEnabled(bool) override {}
    void ResetSpeedMeasurement() override {}
    void ResetSendMark() override {}
    void ResetElementTiming() override {}
};

struct BoardRig {
    test::PtyPair Pty;
    std::mutex Mutex;
    Lines ErrorLines;
    KeyPorts Ports{{.ErrorLine = [this](std::string_view line) {
        std::lock_guard lock(Mutex);
        ErrorLines.emplace_back(line);
    }}};
    transmit::TransmitText Text;
    text::WindowCommandQueue Windows;
    transmit::SendEcho Echo{Windows};
    QuietReceive Receive;
    transmit::KeyingListener Listener;
    transmit::KeyingEngine Engine{{Text, Ports, Echo, Receive, Listener}};
    std::atomic<int> Steps{0};
    KeyingTimerThread Timer{[this] {
                                Steps.fetch_add(1);
                                return Engine.KeyingStep();
                            },
                            [this] {
                                Ports.KeyUp();
                                Ports.PttOff();
                            }};

    Lines Errors() {
        std::lock_guard lock(Mutex);
        return ErrorLines;
    }
    void OpenBoard() {
        Ports.SelectSerialMode("UNO");
        ASSERT_EQ(Ports.SelectKeyPort(Pty.Slave()), "");
        EXPECT_EQ(Ports.Caption(), "COM/UNO");
        EXPECT_EQ(Pty.ReadFor(50), "be");  // key up, PTT off
    }
};

TEST(KeyerBoardPty, EngineWritesTimedCommands) {
    BoardRig rig;
    rig.OpenBoard();
    rig.Engine.SetPttLeadMs(50);
    rig.Text.Append("E T");
    rig.Timer.Start(transmit::kInitialTimerPeriodMs);
    std::vector<Clock::time_point> at;
    const std::string bytes = rig.Pty.ReadFor(3000, 6 * 3, &at);
    rig.Timer.Stop();
    ASSERT_GE(bytes.size(), 18u);
    std::string letters;
    for (std::size_t i = 0; i < 18; i += 3)
        letters += bytes[i];
    EXPECT_EQ(letters, "dababe");
    // PTT lead, dot, the gap of E space T, dash, PTT tail. A late wake-up
    // stretches a gap (the timer never compresses the next one to catch up),
    // so a loaded machine may add more above than below; the lower margin
    // covers only a late read of the gap's first byte.
    const double expected[] = {50, 60, 420, 180, 20};
    for (std::size_t i = 0; i < 5; ++i) {
        const std::chrono::duration<double, std::milli> gap = at[3 * i + 3] - at[3 * i];
        EXPECT_GE(gap.count(), expected[i] - 15) << i;
        EXPECT_LE(gap.count(), expected[i] + 80) << i;
    }
    // Stopping the thread released key and PTT again.
    EXPECT_EQ(rig.Pty.ReadFor(50).substr(0, 6), kRelease);
    EXPECT_TRUE(rig.Errors().empty());
}

TEST(KeyerBoardPty, LostPortIsReportedOnceAndTimingGoesOn) {
    BoardRig rig;
    rig.OpenBoard();
    rig.Text.Append("EEEEEEEE");
    rig.Timer.Start(transmit::kInitialTimerPeriodMs);
    ASSERT_EQ(rig.Pty.ReadFor(2000, 4 * 3).size(), 12u);
    rig.Pty.Close();
    // The engine goes on sending the text on its own timing.
    for (int i = 0; i < 800 && !rig.Engine.Idle(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const int steps = rig.Steps.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_GT(rig.Steps.load(), steps);
    rig.Timer.Stop();
    EXPECT_TRUE(rig.Engine.Idle());
    EXPECT_FALSE(rig.Ports.SerialOpen());
    EXPECT_EQ(rig.Errors(), Lines{"データの送信に失敗しました。"});
}

TEST(KeyerBoardPty, LineModesAndOpenFailure) {
    BoardRig rig;
    KeyPorts& ports = rig.Ports;
    EXPECT_EQ(ports.SelectKeyPort("/dev/nonexistent-port"),
              "/dev/nonexistent-portポートが開けませんでした。");
    EXPECT_FALSE(ports.SerialOpen());
    ASSERT_EQ(ports.SelectKeyPort(rig.Pty.Slave()), "");
    EXPECT_EQ(ports.Caption(), "COM/RTS");
    ports.SelectSerialMode("DTR");
    EXPECT_EQ(ports.Caption(), "COM/DTR");
    // A pseudo-terminal has no modem lines: line control fails quietly.
    ports.KeyDown();
    ports.PttOn();
    EXPECT_TRUE(rig.Errors().empty());
    EXPECT_EQ(rig.Pty.ReadFor(20), "");
    // Switching to the board sets it up and writes key up.
    ports.SelectSerialMode("UNO");
    EXPECT_EQ(ports.Caption(), "COM/UNO");
    EXPECT_EQ(rig.Pty.ReadFor(50), std::string("b\0", 2));
}

}  // namespace
}  // namespace morvane::platform
