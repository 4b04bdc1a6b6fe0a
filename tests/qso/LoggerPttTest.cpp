// PTT through HamLog: which actions reach the keying port and which become
// copy-data commands, for every combination of option, link and window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qso/LoggerPtt.h"

namespace morvane::qso {
namespace {

struct RecordingPort final : transmit::KeyOutput {
    void KeyDown() override { actions.push_back("down"); }
    void KeyUp() override { actions.push_back("up"); }
    void PttOn() override { actions.push_back("ptt-on"); }
    void PttOff() override { actions.push_back("ptt-off"); }
    std::vector<std::string> actions;
};

struct FakeWindows final : platform::LoggerWindows {
    platform::WindowHandle FindWindowByClass(std::string_view className) override {
        lookedFor.emplace_back(className);
        return hamlogRunning ? 77 : 0;
    }
    bool SendCopyData(platform::WindowHandle target, std::uint32_t command,
                      std::span<const std::uint8_t> bytes) override {
        sent.push_back({target, command, bytes.size()});
        return true;
    }
    std::vector<platform::ChildWindow> EnumDescendants(platform::WindowHandle) override {
        return {};
    }
    bool SetControlText(platform::WindowHandle, std::string_view) override { return false; }
    bool ClickButton(platform::WindowHandle) override { return false; }
    bool BringToFront(platform::WindowHandle) override { return false; }
    void SetCopyDataHandler(platform::CopyDataHandler) override {}

    struct Sent {
        platform::WindowHandle Target;
        std::uint32_t Command;
        std::size_t Bytes;
    };
    bool hamlogRunning = true;
    std::vector<std::string> lookedFor;
    std::vector<Sent> sent;
};

void KeyOneElement(transmit::KeyOutput& output) {
    output.PttOn();
    output.KeyDown();
    output.KeyUp();
    output.PttOff();
}

TEST(LoggerPtt, PttGoesToHamlogOnlyWithTheOptionAndTheLinkUp) {
    const std::vector<std::string> all = {"ptt-on", "down", "up", "ptt-off"};
    const std::vector<std::string> keyOnly = {"down", "up"};
    struct Row {
        bool option, linkUp, running;
        std::vector<std::string> port;
        std::vector<std::uint32_t> commands;
    };
    const Row rows[] = {
        {false, true, true, all, {}},
        {true, false, true, all, {}},
        {true, true, true, keyOnly, {23, 24}},
        {true, true, false, keyOnly, {}},  // HamLog gone: PTT counts as switched
    };
    for (const Row& row : rows) {
        RecordingPort port;
        FakeWindows windows;
        windows.hamlogRunning = row.running;
        std::atomic<bool> linkUp{row.linkUp};
        LoggerPttOutput output(port, windows, linkUp);
        output.SetPttViaLogger(row.option);
        KeyOneElement(output);

        const auto label = ::testing::Message() << "option " << row.option << " link " << row.linkUp
                                                << " running " << row.running;
        EXPECT_EQ(port.actions, row.port) << label;
        std::vector<std::uint32_t> commands;
        for (const auto& sent : windows.sent) {
            commands.push_back(sent.Command);
            EXPECT_EQ(sent.Target, 77u) << label;
            EXPECT_EQ(sent.Bytes, 0u) << label;
        }
        EXPECT_EQ(commands, row.commands) << label;
        for (const auto& name : windows.lookedFor)
            EXPECT_EQ(name, "TThwin") << label;
    }
}

}  // namespace
}  // namespace morvane::qso
