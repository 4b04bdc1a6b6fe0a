// Loading the USB keying library and the calls the keying outputs make.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/serial/KeyPorts.h"
#include "platform/usb/UsbKeyLibrary.h"

namespace morvane::platform {
namespace {

class UsbStandIn : public ::testing::Test {
  protected:
    void SetUp() override {
        log_ = ::testing::TempDir() + "usb_standin_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
        std::remove(log_.c_str());
        setenv("MORVANE_USB_STANDIN_LOG", log_.c_str(), 1);
        unsetenv("MORVANE_USB_STANDIN_FAIL");
    }
    void TearDown() override {
        unsetenv("MORVANE_USB_STANDIN_LOG");
        unsetenv("MORVANE_USB_STANDIN_FAIL");
    }
    std::string Calls() const {
        std::ifstream in(log_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string log_;
};

TEST_F(UsbStandIn, ProbeOpensAndClosesAndKeyingWritesValues) {
    KeyPorts ports({.UsbSearchDirs = {STANDIN_DIR}});
    auto items = ports.ProbeKeyPorts();
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.back(), "USBIF");
    EXPECT_EQ(Calls(), "open 0 0 0\nclose 0 0 0\n");

    std::remove(log_.c_str());
    EXPECT_EQ(ports.SelectKeyPort("USBIF"), "");
    EXPECT_TRUE(ports.UsbActive());
    EXPECT_EQ(ports.Caption(), "USBIF4CW");
    ports.KeyDown();
    ports.KeyUp();
    // "UNO" with the USB interface chosen only changes the mode; keying still
    // goes to USB, and the PTT write has no port to go to.
    ports.SelectSerialMode("UNO");
    ports.KeyDown();
    ports.CloseKeyPorts();  // releases the key before closing
    EXPECT_FALSE(ports.UsbActive());
    EXPECT_EQ(Calls(),
              "open 0 0 0\nwrite 7 0 254\nwrite 7 0 255\nwrite 7 0 254\n"
              "write 7 0 255\nclose 7 0 0\n");
}

TEST_F(UsbStandIn, FailedOpenOrMissingEntryPointMeansNoInterface) {
    std::vector<std::string> errors;
    KeyPorts failing({.UsbSearchDirs = {STANDIN_DIR},
                      .ErrorLine = [&](std::string_view line) { errors.emplace_back(line); }});
    setenv("MORVANE_USB_STANDIN_FAIL", "1", 1);
    auto items = failing.ProbeKeyPorts();
    EXPECT_TRUE(items.empty() || items.back() != "USBIF");
    EXPECT_EQ(failing.SelectKeyPort("USBIF"), "USBIF4CWが見つかりませんでした。");
    EXPECT_FALSE(failing.UsbActive());
    // With the default mode (RTS) and nothing open, keying fails quietly.
    failing.KeyDown();
    EXPECT_TRUE(errors.empty());

    unsetenv("MORVANE_USB_STANDIN_FAIL");
    std::remove(log_.c_str());
    UsbKeyLibrary partial({PARTIAL_DIR});
    EXPECT_FALSE(partial.Load());
    EXPECT_EQ(partial.Open(0), -1);
    KeyPorts missing({.UsbSearchDirs = {PARTIAL_DIR}});
    EXPECT_EQ(missing.SelectKeyPort("USBIF"), "USBIF4CWが見つかりませんでした。");
    EXPECT_EQ(Calls(), "");  // nothing called when an entry point is missing

    UsbKeyLibrary nowhere({"/nonexistent"});
    EXPECT_FALSE(nowhere.Load());
}

TEST_F(UsbStandIn, PttWithUsbGoesByTheSerialMode) {
    std::vector<std::string> errors;
    KeyPorts ports({.UsbSearchDirs = {STANDIN_DIR},
                    .ErrorLine = [&](std::string_view line) { errors.emplace_back(line); }});
    ASSERT_EQ(ports.SelectKeyPort("USBIF"), "");
    ports.SelectSerialMode("UNO");
    ports.PttOn();
    ports.PttOff();
    EXPECT_EQ(errors, (std::vector<std::string>{"データの送信に失敗しました。",
                                                "データの送信に失敗しました。"}));
}

}  // namespace
}  // namespace morvane::platform
