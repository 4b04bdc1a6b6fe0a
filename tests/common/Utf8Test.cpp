#include "common/Utf8.h"

#include <gtest/gtest.h>

namespace morvane::common {
namespace {

TEST(Utf8, SplitsMixedScriptsAndRoundTripsCodePoints) {
    const std::string text =
        "A\xC3\xA9\xE3\x81\x8B"
        "\xEF\xBD\xB1"
        "\xF0\x9F\x93\xBB"
        "Z";  // A é か ｱ 📻 Z
    auto chars = SplitUtf8(text);
    ASSERT_EQ(chars.size(), 6u);
    EXPECT_EQ(DecodeUtf8(chars[1]), U'é');
    EXPECT_EQ(DecodeUtf8(chars[2]), U'か');
    EXPECT_EQ(DecodeUtf8(chars[3]), U'ｱ');
    EXPECT_EQ(DecodeUtf8(chars[4]), U'\U0001F4FB');
    EXPECT_EQ(Utf8Length(text), 6u);
    for (auto c : chars)
        EXPECT_EQ(EncodeUtf8(DecodeUtf8(c)), c);
}

// The bytes on both sides of every length boundary, written out by hand.
TEST(Utf8, EncodesEachLengthBoundaryToTheStandardBytes) {
    const std::pair<char32_t, std::string> rows[] = {
        {0x00, std::string(1, '\0')},
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0x3042, "\xE3\x81\x82"},  // あ
        {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
    };
    for (const auto& [codePoint, bytes] : rows) {
        EXPECT_EQ(EncodeUtf8(codePoint), bytes) << std::hex << std::uint32_t{codePoint};
        EXPECT_EQ(DecodeUtf8(bytes), codePoint) << std::hex << std::uint32_t{codePoint};
        EXPECT_EQ(Utf8SequenceLength(static_cast<unsigned char>(bytes[0])), bytes.size());
    }
}

// Every code point: its encoding has the right length, decodes back, and
// counts and splits as one character inside other text.
TEST(Utf8, EveryCodePointRoundTrips) {
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        const std::string bytes = EncodeUtf8(c);
        const std::size_t expected = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        ASSERT_EQ(bytes.size(), expected) << std::hex << std::uint32_t{c};
        ASSERT_EQ(DecodeUtf8(bytes), c) << std::hex << std::uint32_t{c};
        const std::string text = "a" + bytes + "b";
        ASSERT_EQ(Utf8Length(text), 3u) << std::hex << std::uint32_t{c};
        const auto chars = SplitUtf8(text);
        ASSERT_EQ(chars.size(), 3u) << std::hex << std::uint32_t{c};
        ASSERT_EQ(chars[1], bytes) << std::hex << std::uint32_t{c};
        ASSERT_EQ(Utf8CharAt(text, 1), bytes) << std::hex << std::uint32_t{c};
    }
}

TEST(Utf8, MalformedInputNeverReadsPastTheEnd) {
    const std::string truncated = "x\xE3\x81";  // a 3-byte lead with only 2 bytes left
    auto chars = SplitUtf8(truncated);
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[1].size(), 2u);
    EXPECT_EQ(DecodeUtf8(chars[1]), char32_t{0xFFFD});
    EXPECT_EQ(DecodeUtf8("\x80"), char32_t{0xFFFD});      // stray continuation byte
    EXPECT_EQ(DecodeUtf8("\xC3\x28"), char32_t{0xFFFD});  // bad continuation
    EXPECT_EQ(DecodeUtf8("\xFF"), char32_t{0xFFFD});
    EXPECT_EQ(DecodeUtf8(""), char32_t{0xFFFD});
    EXPECT_EQ(DecodeUtf8("\xC3\xA9\xA9"), char32_t{0xFFFD});  // more bytes than the lead says
    EXPECT_EQ(Utf8Length("\x80\x80"), 2u);                    // stray bytes count one each
    EXPECT_TRUE(Utf8CharAt("abc", 3).empty());
}

TEST(Utf8, PrefixTakesWholeCharacters) {
    EXPECT_EQ(Utf8Prefix("599 5NN", 3), "599");
    EXPECT_EQ(Utf8Prefix("\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86\xE3\x81\x88", 3),
              "\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86");
    EXPECT_EQ(Utf8Prefix("5\xC3\xA9", 3), "5\xC3\xA9");
    EXPECT_EQ(Utf8Prefix("abc", 0), "");
    EXPECT_EQ(Utf8Prefix("x\xE3\x81", 2), "x\xE3\x81");  // a cut sequence stays inside
}

}  // namespace
}  // namespace morvane::common
