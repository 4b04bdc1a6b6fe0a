#include <gtest/gtest.h>

#include "platform/logger/IconvCodePage.h"
#include "platform/logger/LoggerWindows.h"
#include "qso/HamlogLink.h"

namespace morvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(IconvCodePage, EncodesCp932WithLimitAndTerminator) {
    platform::IconvCodePage cp;
    EXPECT_EQ(cp.Encode("JA1", 120), (Bytes{'J', 'A', '1', 0}));
    EXPECT_EQ(cp.Encode("日本", 120), (Bytes{0x93, 0xFA, 0x96, 0x7B, 0}));
    EXPECT_EQ(cp.Encode("ｱ", 120), (Bytes{0xB1, 0}));        // half-width kana: one byte
    EXPECT_EQ(cp.Encode("①", 120), (Bytes{0x87, 0x40, 0}));  // a Windows extension
    EXPECT_EQ(cp.Encode("a\xF0\x9F\x93\xBB", 120), (Bytes{'a', '?', 0}));
    EXPECT_EQ(cp.Encode("", 120), Bytes{0});
    const Bytes long130 = cp.Encode(std::string(130, 'A'), 120);
    ASSERT_EQ(long130.size(), 121u);
    EXPECT_EQ(long130.back(), 0);
    // Characters, not bytes: 121 kana give 240 bytes and the terminator.
    std::string kana;
    for (int i = 0; i < 121; ++i)
        kana += "東";
    EXPECT_EQ(cp.Encode(kana, 120).size(), 241u);
}

TEST(IconvCodePage, DecodesUpToTheFirstZero) {
    platform::IconvCodePage cp;
    EXPECT_EQ(cp.Decode(Bytes{0x93, 0xFA, 0x96, 0x7B, 0, 'X'}), "日本");
    EXPECT_EQ(cp.Decode(Bytes{'A', 0xB1}), "Aｱ");
    EXPECT_EQ(cp.Decode(Bytes{'A', 0x93}), "A\xEF\xBF\xBD");  // a lead byte cut off
    EXPECT_EQ(cp.Decode(Bytes{}), "");
}

// Replies are read to at most 128 bytes, whatever the sender claims.
TEST(IconvCodePage, RepliesAreCutAt128Bytes) {
    struct NoEvents final : qso::QsoFieldEvents {
        bool AutoCqRunning() const override { return false; }
        void StopAutoCq() override {}
        void EmptyClipboard() override {}
    } events;
    struct NoWindows final : platform::LoggerWindows {
        platform::WindowHandle FindWindowByClass(std::string_view) override { return 0; }
        bool SendCopyData(platform::WindowHandle, std::uint32_t,
                          std::span<const std::uint8_t>) override {
            return false;
        }
        std::vector<platform::ChildWindow> EnumDescendants(platform::WindowHandle) override {
            return {};
        }
        bool SetControlText(platform::WindowHandle, std::string_view) override { return false; }
        bool ClickButton(platform::WindowHandle) override { return false; }
        bool BringToFront(platform::WindowHandle) override { return false; }
        void SetCopyDataHandler(platform::CopyDataHandler) override {}
    } windows;
    platform::IconvCodePage cp;
    qso::QsoFields fields(events);
    qso::HamlogLink link(windows, cp, fields);
    link.AwaitCall = true;
    EXPECT_TRUE(link.OnCopyData({.Sender = 1, .Command = 0, .Bytes = Bytes(200, 'K')}));
    EXPECT_EQ(fields.HisCall(), std::string(128, 'K'));
    EXPECT_FALSE(link.AwaitCall);
    link.AwaitSettings = true;
    link.OnCopyData({.Sender = 1, .Command = 0, .Bytes = {'S', 'E', 'T', 'U', 'P', 'U', 0}});
    EXPECT_TRUE(link.HamlogUtc);
    link.AwaitName = true;  // an empty name leaves the field alone
    fields.SetText(qso::QsoField::HisName, "TARO");
    link.OnCopyData({.Sender = 1, .Command = 0, .Bytes = {0}});
    EXPECT_EQ(fields.HisName(), "TARO");
    EXPECT_FALSE(link.AwaitName);
}

}  // namespace
}  // namespace morvane
