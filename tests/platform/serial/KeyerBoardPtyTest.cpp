// The keyer board protocol on a pseudo-terminal pair: the real engine on the
// real timer thread writes commands that the test reads back with times.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "decode/WindowCommand.h"
#include "platform/serial/KeyPorts.h"
#include "platform/timer/KeyingTimerThread.h"
#include "transmit/KeyingEngine.h"

namespace morvane::platform {
namespace {

using Clock = std::chrono::steady_clock;

struct Command {
    char Letter;
    Clock::time_point At;
};

// The test's side of the pair: reads 3-byte commands until closed.
class PtyMaster {
  public:
    PtyMaster() {
        fd_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (fd_ >= 0 && grantpt(fd_) == 0 && unlockpt(fd_) == 0)
            slave_ = ptsname(fd_);
    }
    ~PtyMaster() { CloseNow(); }
    const std::string& SlaveName() const { return slave_; }

    // Reads what is there for up to `ms`; returns the bytes read.
    std::string ReadFor(int ms) {
        std::string bytes;
        auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end) {
            pollfd ready{fd_, POLLIN, 0};
            if (poll(&ready, 1, 5) <= 0)
                continue;
            char buffer[64];
            ssize_t n = read(fd_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        return bytes;
    }
    // Collects commands with their arrival times until `count` arrived.
    std::vector<Command> ReadCommands(std::size_t count, int limitMs) {
        std::vector<Command> commands;
        std::string pending;
        auto end = Clock::now() + std::chrono::milliseconds(limitMs);
        while (commands.size() < count && Clock::now() < end) {
            pollfd ready{fd_, POLLIN, 0};
            if (poll(&ready, 1, 1) <= 0)
                continue;
            char buffer[3];
            ssize_t n = read(fd_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            auto at = Clock::now();
            pending.append(buffer, static_cast<std::size_t>(n));
            while (pending.size() >= 3) {
                commands.push_back({pending[0], at});
                pending.erase(0, 3);
            }
        }
        return commands;
    }
    void CloseNow() {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }

  private:
    int fd_ = -1;
    std::string slave_;
};

struct QuietReceive final : transmit::ReceiveHandOver {
    void SetReceiveEnabled(bool) override {}
    void ResetSpeedMeasurement() override {}
    void ResetSendMark() override {}
    void ResetElementTiming() override {}
};

struct ErrorLines {
    std::mutex Mutex;
    std::vector<std::string> Lines;
    std::function<void(std::string_view)> Sink() {
        return [this](std::string_view line) {
            std::lock_guard lock(Mutex);
            Lines.emplace_back(line);
        };
    }
    std::vector<std::string> Copy() {
        std::lock_guard lock(Mutex);
        return Lines;
    }
};

struct BoardRig {
    PtyMaster Master;
    ErrorLines Errors;
    KeyPorts Ports{{.ErrorLine = Errors.Sink()}};
    transmit::TransmitText Text;
    decode::WindowCommandQueue Windows;
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
};

double MsBetween(const Command& a, const Command& b) {
    return std::chrono::duration<double, std::milli>(b.At - a.At).count();
}

TEST(KeyerBoardPty, EngineWritesTimedCommands) {
    BoardRig rig;
    ASSERT_FALSE(rig.Master.SlaveName().empty());
    rig.Ports.SelectSerialMode("UNO");
    ASSERT_EQ(rig.Ports.SelectKeyPort(rig.Master.SlaveName()), "");
    EXPECT_EQ(rig.Ports.Caption(), "COM/UNO");
    EXPECT_EQ(rig.Master.ReadFor(50), "be");  // key up, PTT off

    rig.Engine.SetPttLeadMs(50);
    rig.Text.Append("E T");
    rig.Timer.Start(transmit::kInitialTimerPeriodMs);
    std::vector<Command> commands = rig.Master.ReadCommands(6, 3000);
    rig.Timer.Stop();
    ASSERT_EQ(commands.size(), 6u);
    std::string letters;
    for (const Command& command : commands)
        letters += command.Letter;
    EXPECT_EQ(letters, "dababe");
    // PTT lead, dot, the gap of E space T, dash, PTT tail; the tolerance
    // covers scheduling on a loaded machine.
    const double expected[] = {50, 60, 420, 180, 20};
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(MsBetween(commands[i], commands[i + 1]), expected[i], 15) << i;
    }
    // Stopping the thread released key and PTT again.
    EXPECT_EQ(rig.Master.ReadFor(50).substr(0, 6), std::string("b\0\0e\0\0", 6));
    EXPECT_TRUE(rig.Errors.Copy().empty());
}

TEST(KeyerBoardPty, LostPortIsReportedOnceAndTimingGoesOn) {
    BoardRig rig;
    rig.Ports.SelectSerialMode("UNO");
    ASSERT_EQ(rig.Ports.SelectKeyPort(rig.Master.SlaveName()), "");
    rig.Master.ReadFor(20);
    rig.Text.Append("EEEEEEEE");
    rig.Timer.Start(transmit::kInitialTimerPeriodMs);
    ASSERT_EQ(rig.Master.ReadCommands(4, 2000).size(), 4u);
    rig.Master.CloseNow();
    // The engine goes on sending the text on its own timing.
    for (int i = 0; i < 800 && !rig.Engine.Idle(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    int steps = rig.Steps.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_GT(rig.Steps.load(), steps);
    rig.Timer.Stop();
    EXPECT_TRUE(rig.Engine.Idle());
    EXPECT_FALSE(rig.Ports.SerialOpen());
    EXPECT_EQ(rig.Errors.Copy(), std::vector<std::string>{"データの送信に失敗しました。"});
}

TEST(KeyerBoardPty, LineModesAndOpenFailure) {
    PtyMaster master;
    ErrorLines errors;
    KeyPorts ports({.ErrorLine = errors.Sink()});
    EXPECT_EQ(ports.SelectKeyPort("/dev/nonexistent-port"),
              "/dev/nonexistent-portポートが開けませんでした。");
    EXPECT_FALSE(ports.SerialOpen());
    ASSERT_EQ(ports.SelectKeyPort(master.SlaveName()), "");
    EXPECT_EQ(ports.Caption(), "COM/RTS");
    ports.SelectSerialMode("DTR");
    EXPECT_EQ(ports.Caption(), "COM/DTR");
    // A pseudo-terminal has no modem lines: line control fails quietly.
    ports.KeyDown();
    ports.PttOn();
    EXPECT_TRUE(errors.Copy().empty());
    EXPECT_EQ(master.ReadFor(20), "");
    // Switching to the board sets it up and writes key up.
    ports.SelectSerialMode("UNO");
    EXPECT_EQ(ports.Caption(), "COM/UNO");
    EXPECT_EQ(master.ReadFor(50), std::string("b\0", 2));
    // The port is opened exclusively (root may override that).
    if (geteuid() != 0) {
        KeyPorts other;
        EXPECT_NE(other.SelectKeyPort(master.SlaveName()), "");
    }
}

}  // namespace
}  // namespace morvane::platform
