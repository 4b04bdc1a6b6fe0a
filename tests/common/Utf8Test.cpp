#include "common/Utf8.h"

#include <gtest/gtest.h>

namespace morvane::common {
namespace {

TEST(Utf8, SplitsMixedScriptsAndRoundTripsCodePoints) {
    const std::string text =
        "A\xE3\x81\x8B"
        "\xEF\xBD\xB1"
        "\xF0\x9F\x93\xBB"
        "Z";  // A か ｱ 📻 Z
    auto chars = SplitUtf8(text);
    ASSERT_EQ(chars.size(), 5u);
    EXPECT_EQ(DecodeUtf8(chars[1]), U'か');
    EXPECT_EQ(DecodeUtf8(chars[2]), U'ｱ');
    EXPECT_EQ(DecodeUtf8(chars[3]), U'\U0001F4FB');
    EXPECT_EQ(Utf8Length(text), 5u);
    for (auto c : chars)
        EXPECT_EQ(EncodeUtf8(DecodeUtf8(c)), c);
}

TEST(Utf8, MalformedInputNeverReadsPastTheEnd) {
    const std::string truncated = "x\xE3\x81";  // a 3-byte lead with only 2 bytes left
    auto chars = SplitUtf8(truncated);
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[1].size(), 2u);
    EXPECT_EQ(DecodeUtf8(chars[1]), char32_t{0xFFFD});
    EXPECT_EQ(DecodeUtf8("\x80"), char32_t{0xFFFD});      // stray continuation byte
    EXPECT_EQ(DecodeUtf8("\xC3\x28"), char32_t{0xFFFD});  // bad continuation
    EXPECT_TRUE(Utf8CharAt("abc", 3).empty());
}

}  // namespace
}  // namespace morvane::common
