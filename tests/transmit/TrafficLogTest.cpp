// The traffic log file, byte for byte, driven through the receive window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "text/ReceiveWindow.h"
#include "transmit/TrafficLog.h"

namespace morvane::transmit {
namespace {

namespace fs = std::filesystem;

// UTF-16LE of plain ASCII/BMP text written by hand: one unit per char16_t.
std::string Utf16(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// Byte-order mark and the header line of a log opened at 2026-12-06 09:05.
const std::string kHeader = "\xFF\xFE" + Utf16(u"MRVN 20261206[0905J]\r\r\n");

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class TrafficLogFile : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = ::testing::TempDir() + "trafficlog_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        when_.tm_year = 2026 - 1900;
        when_.tm_mon = 11;
        when_.tm_mday = 6;
        when_.tm_hour = 9;
        when_.tm_min = 5;
    }
    TrafficLogClock Clock() {
        return {[this] { return when_; }, [this] { return clockText_; }};
    }
    std::string folder_;
    std::tm when_{};
    std::string clockText_ = "09:05:30";
};

TEST_F(TrafficLogFile, PiecesMarkersAndStampsByteForByte) {
    TrafficLog log(Clock());
    ASSERT_EQ(log.OpenLog(folder_, true), LogOpenResult::On);
    EXPECT_EQ(log.LogPath(), folder_ + "20261206[0905J].txt");
    text::ReceiveWindow window(&log);
    window.AppendReceived("CQ 100%");
    window.EchoSent("R");
    clockText_ = "09:06:00";
    window.AppendReceived("ｶﾅ");
    log.CloseLog(window.Window());
    EXPECT_FALSE(log.LogEnabled());
    // Text-mode files write every "\n" as "\r\n", the header's too.
    std::string expected = kHeader + Utf16(u"RX> CQ 100%\rTX> [09:05:30] ") +
                           Utf16(u"R\rRX> [09:06:00] ") + Utf16(u"ｶﾅ\r\n");
    EXPECT_EQ(ReadAll(log.LogPath()), expected);
}

TEST_F(TrafficLogFile, LoggedUpToFollowsClearsAndTimeStamps) {
    TrafficLog log(Clock());
    ASSERT_EQ(log.OpenLog(folder_, true), LogOpenResult::On);
    text::ReceiveWindow window(&log);
    window.AppendReceived("AB");
    window.StampTxTime("[09:05:30] ");
    // "RX> AB" (6) + label (6) + stamp (11).
    EXPECT_EQ(log.LoggedUpTo(), 23u);
    EXPECT_EQ(window.Window().Length(), 23u);
    window.EchoSent("K");
    window.ClearReceive();
    EXPECT_EQ(log.LoggedUpTo(), 0u);
    window.AppendReceived("OK");
    log.CloseLog(window.Window());
    std::string expected = kHeader + Utf16(u"RX> AB\rTX> [09:05:30] ") + Utf16(u"RX> OK\r\n");
    EXPECT_EQ(ReadAll(log.LogPath()), expected);
}

TEST_F(TrafficLogFile, OpenResultsAndSilentFailure) {
    TrafficLog off(Clock());
    EXPECT_EQ(off.OpenLog(folder_, false), LogOpenResult::Off);
    EXPECT_EQ(off.OpenLog("", true), LogOpenResult::NoFolder);
    EXPECT_FALSE(off.LogEnabled());
    EXPECT_EQ(off.OpenLog(folder_ + "missing/", true), LogOpenResult::CreateFailed);
    EXPECT_FALSE(off.LogEnabled());
    EXPECT_EQ(LogFolderOf("C:\\Ham\\station.mrvn"), "C:\\Ham\\");
    EXPECT_EQ(LogFolderOf("/home/op/station.mrvn"), "/home/op/");

    TrafficLog log(Clock());
    ASSERT_EQ(log.OpenLog(folder_, true), LogOpenResult::On);
    text::ReceiveWindow window(&log);
    // Emptied behind the program's back: the next piece starts with the mark again.
    std::ofstream(log.LogPath(), std::ios::trunc).close();
    window.AppendReceived("A");
    window.EchoSent("B");
    EXPECT_EQ(ReadAll(log.LogPath()), "\xFF\xFE" + Utf16(u"RX> A\rTX> [09:05:30] "));
    // The file is replaced by a folder: the append cannot open it.
    fs::remove(log.LogPath());
    fs::create_directory(log.LogPath());
    window.AppendReceived("X");
    window.EchoSent("Y");
    EXPECT_FALSE(log.LogEnabled());
    fs::remove(log.LogPath());
    window.AppendReceived("Z");
    EXPECT_FALSE(fs::exists(log.LogPath()));
}

TEST(TrafficLogText, Utf16WithSurrogatesAndLineTranslation) {
    EXPECT_EQ(ToLogBytes("A\n"), std::string("A\0\r\0\n\0", 6));
    EXPECT_EQ(ToLogBytes("カ"), std::string("\xAB\x30", 2));
    EXPECT_EQ(ToLogBytes("\xF0\x9F\x93\xBB"), std::string("\x3D\xD8\xFB\xDC", 4));  // U+1F4FB
    // The first and the last character beyond 16 bits.
    EXPECT_EQ(ToLogBytes("\xF0\x90\x80\x80"), std::string("\x00\xD8\x00\xDC", 4));
    EXPECT_EQ(ToLogBytes("\xF4\x8F\xBF\xBF"), std::string("\xFF\xDB\xFF\xDF", 4));
}

}  // namespace
}  // namespace morvane::transmit
