#include <gtest/gtest.h>

#include "LinkHarness.h"
#include "qso/HamlogLink.h"

namespace morvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(IconvCodePage, EncodesAndDecodesCp932) {
    platform::IconvCodePage cp;
    const std::pair<std::string, Bytes> encoded[] = {{"JA1", {'J', 'A', '1', 0}},
                                                     {"日本", {0x93, 0xFA, 0x96, 0x7B, 0}},
                                                     {"ｱ", {0xB1, 0}},  // half-width kana: one byte
                                                     {"①", {0x87, 0x40, 0}},  // a Windows extension
                                                     {"a\xF0\x9F\x93\xBB", {'a', '?', 0}},
                                                     {"", {0}}};
    for (const auto& [text, bytes] : encoded)
        EXPECT_EQ(cp.Encode(text, 120), bytes) << text;
    const Bytes long130 = cp.Encode(std::string(130, 'A'), 120);
    ASSERT_EQ(long130.size(), 121u);
    EXPECT_EQ(long130.back(), 0);
    // Characters, not bytes: 121 kana give 240 bytes and the terminator.
    std::string kana;
    for (int i = 0; i < 121; ++i)
        kana += "東";
    EXPECT_EQ(cp.Encode(kana, 120).size(), 241u);

    // Decoding stops at the first zero.
    EXPECT_EQ(cp.Decode(Bytes{0x93, 0xFA, 0x96, 0x7B, 0, 'X'}), "日本");
    EXPECT_EQ(cp.Decode(Bytes{'A', 0xB1}), "Aｱ");
    EXPECT_EQ(cp.Decode(Bytes{'A', 0x93}), "A\xEF\xBF\xBD");  // a lead byte cut off
    EXPECT_EQ(cp.Decode(Bytes{}), "");
}

// Replies are read to at most 128 bytes, whatever the sender claims.
TEST(IconvCodePage, RepliesAreCutAt128Bytes) {
    test::LinkRig rig;
    qso::QsoFields& fields = rig.fields;
    qso::HamlogLink link(rig.windows, rig.codePage, fields);
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
