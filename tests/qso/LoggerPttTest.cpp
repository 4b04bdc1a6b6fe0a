// PTT through HamLog: which actions reach the keying port and which become
// copy-data commands, and that the keying thread never waits for HamLog.
#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "qso/LoggerPtt.h"

namespace morvane::qso {
namespace {

using namespace std::chrono_literals;

struct RecordingPort final : transmit::KeyOutput {
    void KeyDown() override { actions.push_back("down"); }
    void KeyUp() override { actions.push_back("up"); }
    void PttOn() override { actions.push_back("ptt-on"); }
    void PttOff() override { actions.push_back("ptt-off"); }
    std::vector<std::string> actions;
};

// Records what the link thread sends; with `hold` set, a send waits until
// Release() (at most 5 s) as a hung HamLog would keep it.
struct FakeWindows final : platform::LoggerWindows {
    platform::WindowHandle FindWindowByClass(std::string_view className,
                                             platform::Deadline) override {
        std::lock_guard lock(mutex);
        lookedFor.emplace_back(className);
        return hamlogRunning ? 77 : 0;
    }
    bool SendCopyData(platform::WindowHandle target, std::uint32_t command,
                      std::span<const std::uint8_t> bytes, platform::Deadline) override {
        std::unique_lock lock(mutex);
        sent.push_back({target, command, bytes.size()});
        inside = true;
        changed.notify_all();
        if (hold && !changed.wait_for(lock, 5s, [this] { return !hold; }))
            timedOut = true;
        inside = false;
        return true;
    }
    std::vector<platform::ChildWindow> EnumDescendants(platform::WindowHandle,
                                                       platform::Deadline) override {
        return {};
    }
    bool SetControlText(platform::WindowHandle, std::string_view, platform::Deadline) override {
        return false;
    }
    bool ClickButton(platform::WindowHandle, platform::Deadline) override { return false; }
    bool BringToFront(platform::WindowHandle, platform::Deadline) override { return false; }
    void SetCopyDataHandler(platform::CopyDataHandler) override {}

    void Release() {
        std::lock_guard lock(mutex);
        hold = false;
        changed.notify_all();
    }
    // Waits (bounded) until `done` holds.
    template <typename Done>
    bool WaitFor(Done done) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 5s, [&] { return done(); });
    }
    std::vector<std::uint32_t> Commands() {
        std::lock_guard lock(mutex);
        std::vector<std::uint32_t> commands;
        for (const Sent& s : sent)
            commands.push_back(s.Command);
        return commands;
    }

    struct Sent {
        platform::WindowHandle Target;
        std::uint32_t Command;
        std::size_t Bytes;
    };
    std::mutex mutex;
    std::condition_variable changed;
    bool hamlogRunning = true;
    bool hold = false;
    bool inside = false;
    bool timedOut = false;
    std::vector<std::string> lookedFor;
    std::vector<Sent> sent;
};

// Waits (bounded) until the link thread has dealt with `count` messages.
bool Handled(const LoggerPttOutput& output, int count) {
    for (int i = 0; i < 500; ++i) {
        if (output.MessagesSent() + output.MessagesFailed() >= count)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST(LoggerPtt, PttGoesToHamlogOnlyWithTheOptionAndTheLinkUp) {
    const std::vector<std::string> all = {"ptt-on", "down", "up", "ptt-off"};
    const std::vector<std::string> keyOnly = {"down", "up"};
    struct Row {
        bool option, linkUp, running;
        std::vector<std::string> port;
        std::vector<std::uint32_t> commands;
        int failed;
    };
    const Row rows[] = {
        {false, true, true, all, {}, 0},
        {true, false, true, all, {}, 0},
        {true, true, true, keyOnly, {23, 24}, 0},
        {true, true, false, keyOnly, {}, 2},  // HamLog gone: PTT counts as switched
    };
    for (const Row& row : rows) {
        RecordingPort port;
        FakeWindows windows;
        windows.hamlogRunning = row.running;
        std::atomic<bool> linkUp{row.linkUp};
        LoggerPttOutput output(port, windows, linkUp);
        output.SetPttViaLogger(row.option);
        const int messages = row.option && row.linkUp ? 2 : 0;
        const auto label = ::testing::Message() << "option " << row.option << " link " << row.linkUp
                                                << " running " << row.running;
        output.PttOn();
        ASSERT_TRUE(Handled(output, messages / 2)) << label;
        output.KeyDown();
        output.KeyUp();
        output.PttOff();
        ASSERT_TRUE(Handled(output, messages)) << label;

        EXPECT_EQ(port.actions, row.port) << label;
        EXPECT_EQ(windows.Commands(), row.commands) << label;
        EXPECT_EQ(output.MessagesFailed(), row.failed) << label;
        for (const auto& sent : windows.sent) {
            EXPECT_EQ(sent.Target, 77u) << label;
            EXPECT_EQ(sent.Bytes, 0u) << label;
        }
        for (const auto& name : windows.lookedFor)
            EXPECT_EQ(name, "TThwin") << label;
    }
}

// With HamLog holding a PTT message, the keying thread's calls return at
// once; once HamLog answers, the latest switch is sent and the stale ones
// queued meanwhile are not.
TEST(LoggerPtt, KeyingNeverWaitsForAHungHamlog) {
    RecordingPort port;
    FakeWindows windows;
    windows.hold = true;
    std::atomic<bool> linkUp{true};
    LoggerPttOutput output(port, windows, linkUp);
    output.SetPttViaLogger(true);

    output.PttOn();
    ASSERT_TRUE(windows.WaitFor([&] { return windows.inside; }));
    output.KeyDown();
    output.KeyUp();
    output.PttOff();
    output.PttOn();
    output.PttOff();
    {
        std::lock_guard lock(windows.mutex);
        EXPECT_TRUE(windows.inside);  // still held: nothing above waited for it
        EXPECT_FALSE(windows.timedOut);
    }
    EXPECT_EQ(port.actions, (std::vector<std::string>{"down", "up"}));
    windows.Release();
    ASSERT_TRUE(Handled(output, 2));
    EXPECT_EQ(windows.Commands(), (std::vector<std::uint32_t>{23, 24}));
    EXPECT_FALSE(windows.timedOut);
}

// The release at shutdown switches PTT off right before the output goes:
// that switch must reach HamLog even though the thread is being stopped.
TEST(LoggerPtt, TheLastSwitchIsSentOnTheWayOut) {
    RecordingPort port;
    FakeWindows windows;
    windows.hold = true;
    std::atomic<bool> linkUp{true};
    auto output = std::make_unique<LoggerPttOutput>(port, windows, linkUp);
    output->SetPttViaLogger(true);
    output->PttOn();
    ASSERT_TRUE(windows.WaitFor([&] { return windows.inside; }));
    output->PttOff();
    std::thread closing([&] { output.reset(); });  // stops the thread while PTT-on is held
    std::this_thread::sleep_for(50ms);
    windows.Release();
    closing.join();
    EXPECT_EQ(windows.Commands(), (std::vector<std::uint32_t>{23, 24}));
}

}  // namespace
}  // namespace morvane::qso
