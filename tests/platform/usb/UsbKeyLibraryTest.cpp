// Loading the USB keying library and the calls the keying outputs make.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>

#include "../ProcessSupport.h"
#include "../TestSupport.h"
#include "platform/serial/KeyPorts.h"
#include "platform/usb/UsbKeyLibrary.h"

namespace morvane::platform {
namespace {

using Lines = std::vector<std::string>;
constexpr const char* kNotFound = "USBIF4CWが見つかりませんでした。";

// The stand-in logs its calls to a file of this test's own.
class UsbStandIn : public ::testing::Test {
  protected:
    void SetUp() override { setenv("MORVANE_USB_STANDIN_LOG", log_.c_str(), 1); }
    void TearDown() override {
        unsetenv("MORVANE_USB_STANDIN_LOG");
        unsetenv("MORVANE_USB_STANDIN_FAIL");
        unsetenv("MORVANE_USB_STANDIN_OPEN_GATE");
    }
    // The calls so far; the log starts afresh.
    std::string TakeCalls() {
        const std::string calls = test::Slurp(log_);
        std::remove(log_.c_str());
        return calls;
    }
    KeyPortsOptions Options(const char* dir) {
        return {.UsbSearchDirs = {dir},
                .ErrorLine = [this](std::string_view line) { errors_.emplace_back(line); },
                .ListPorts = [] { return std::vector<std::string>{}; }};
    }
    test::TempFolder folder_;
    std::string log_ = (folder_ / "calls.log").string();
    Lines errors_;
};

TEST_F(UsbStandIn, ProbeOpensAndClosesAndKeyingWritesValues) {
    KeyPorts ports(Options(STANDIN_DIR));
    auto items = ports.ProbeKeyPorts();
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.back(), "USBIF");
    EXPECT_EQ(TakeCalls(), "open 0 0 0\nclose 0 0 0\n");

    EXPECT_EQ(ports.SelectKeyPort("USBIF"), "");
    EXPECT_TRUE(ports.UsbActive());
    EXPECT_EQ(ports.Caption(), "USBIF4CW");
    ports.KeyDown();
    ports.KeyUp();
    // "UNO" with the USB interface chosen only changes the mode; keying still
    // goes to USB, and PTT has no port to go to.
    ports.SelectSerialMode("UNO");
    ports.KeyDown();
    ports.PttOn();
    ports.PttOff();
    ports.CloseKeyPorts();  // releases the key before closing
    EXPECT_FALSE(ports.UsbActive());
    EXPECT_EQ(TakeCalls(),
              "open 0 0 0\nwrite 7 0 254\nwrite 7 0 255\nwrite 7 0 254\n"
              "write 7 0 255\nclose 7 0 0\n");
    EXPECT_EQ(errors_, Lines(2, "データの送信に失敗しました。"));
}

TEST_F(UsbStandIn, FailedOpenOrMissingEntryPointMeansNoInterface) {
    KeyPorts failing(Options(STANDIN_DIR));
    setenv("MORVANE_USB_STANDIN_FAIL", "1", 1);
    auto items = failing.ProbeKeyPorts();
    EXPECT_TRUE(items.empty() || items.back() != "USBIF");
    EXPECT_EQ(failing.SelectKeyPort("USBIF"), kNotFound);
    EXPECT_FALSE(failing.UsbActive());
    // With the default mode (RTS) and nothing open, keying fails quietly.
    failing.KeyDown();
    EXPECT_TRUE(errors_.empty());

    unsetenv("MORVANE_USB_STANDIN_FAIL");
    TakeCalls();
    UsbKeyLibrary partial({PARTIAL_DIR});
    EXPECT_FALSE(partial.Load());
    EXPECT_EQ(partial.Open(0), -1);
    EXPECT_EQ(KeyPorts(Options(PARTIAL_DIR)).SelectKeyPort("USBIF"), kNotFound);
    EXPECT_EQ(TakeCalls(), "");  // nothing called when an entry point is missing
    EXPECT_FALSE(UsbKeyLibrary({"/nonexistent"}).Load());
}

// A probe stuck in the USB library's open must not hold up the keying
// thread's key actions on the board.
TEST_F(UsbStandIn, KeyActionsDoNotWaitForAProbe) {
    test::Watchdog watchdog(std::chrono::seconds(10), "probe beside keying");
    test::PtyPair pty;
    KeyPorts ports(Options(STANDIN_DIR));
    ports.SelectSerialMode("UNO");
    ASSERT_EQ(ports.SelectKeyPort(pty.Slave()), "");
    EXPECT_EQ(pty.ReadFor(50, 2), "be");
    const std::string gate = (folder_ / "gate").string();
    setenv("MORVANE_USB_STANDIN_OPEN_GATE", gate.c_str(), 1);
    std::atomic<bool> probed{false};
    std::vector<std::string> items;
    std::thread probe([&] {
        items = ports.ProbeKeyPorts();
        probed.store(true);
    });
    for (int i = 0; i < 2000 && test::Slurp(log_).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(test::Slurp(log_), "open 0 0 0\n");  // the probe is inside the library
    ports.KeyDown();
    ports.KeyUp();
    EXPECT_FALSE(probed.load()) << "the key actions waited for the probe";
    EXPECT_EQ(pty.ReadFor(1000, 6), std::string("a\0\0b\0\0", 6));
    std::ofstream(gate).put('\n');
    probe.join();
    EXPECT_EQ(items, std::vector<std::string>{"USBIF"});
    EXPECT_TRUE(errors_.empty());
}

}  // namespace
}  // namespace morvane::platform
