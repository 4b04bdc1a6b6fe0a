#include "qso/CallSign.h"

#include <gtest/gtest.h>

#include <string>

namespace morvane::qso {
namespace {

TEST(ParseCallSign, AcceptsCallSignsAndDropsWhatSurroundsThem) {
    struct Row {
        const char* word;
        const char* call;
    };
    const Row rows[] = {
        {"JA1ABC", "JA1ABC"},     {"DEJA1ABC", "JA1ABC"},  // "DE" at the head of the last five
        {"CQDEK1AB", "K1AB"},                              // "DE" second and third of the last five
        {"DEK1AB", "K1AB"},        // four characters up to the digit, "DE" first
        {"XJA1AB", "JA1AB"},       // four characters: the last three are kept
        {"JA1ABC/1", "JA1ABC/1"},  // "/digit" is kept and is not the area digit
        {"JA1ABC/P", "JA1ABC"},    // other portable marks are cut
        {"JA1ABC/QRP", "JA1ABC"}, {"JA1ABCDE", "JA1ABC"},  // at most three suffix letters
        {"JA1ABCDE/2", "JA1ABC"},                      // a late "/" is cut with the surplus letters
        {"JA1A/2", "JA1A/2"},                          // an early "/digit" stays
        {"JA1AB/", "JA1AB"},      {"S21AB", "S21AB"},  // S is allowed before a digit
        {"W1AB", "W1AB"},         {"21AB", "21AB"},
        {"0W1AB", "W1AB"},  // a leading character outside the set is dropped
        {"ZZDEW1AB", "W1AB"},     {"JA1 ABC", "JA1ABC"},  // blanks never split a call sign
        {"DE JA1ABC", "JA1ABC"},  {"\xEF\xBD\xB1JA1ABC", "JA1ABC"},  // ｱ counts as one character
    };
    for (const Row& row : rows) {
        auto call = ParseCallSign(row.word);
        ASSERT_TRUE(call.has_value()) << row.word;
        EXPECT_EQ(*call, row.call) << row.word;
    }
}

TEST(ParseCallSign, RejectsWordsThatAreNotCallSigns) {
    for (const char* word : {"", "   ", "X21AB", "Q1AB", "123", "ABCDEF", "J.1AB", "XXDEQ1AB",
                             "1ABC", "JA1", "J/1AB"}) {
        EXPECT_FALSE(ParseCallSign(word).has_value()) << '"' << word << '"';
    }
}

TEST(CaptureCallSign, FindsTheLastCandidateBetweenBlankPairsAndPrompts) {
    EXPECT_FALSE(CaptureCallSign("").has_value());
    EXPECT_EQ(CaptureCallSign("RX> CQ CQ DE JA1ABC JA1ABC K"), "JA1ABC");
    EXPECT_EQ(CaptureCallSign("RX> JA1ABC  DE JH2XYZ K"), "JH2XYZ");
    EXPECT_EQ(CaptureCallSign("RX> JA1ABC  TNX  "), "JA1ABC");  // rejected parts are cut away
    EXPECT_EQ(CaptureCallSign("RX> JA1 ABC"), "JA1ABC");
    // A prompt with fewer than three characters after it ends the search.
    EXPECT_FALSE(CaptureCallSign("RX> JA1ABC K RX> K").has_value());
}

TEST(CaptureCallSign, LengthAfterAPromptCountsCharactersAlreadyCutAway) {
    // Two blanks after the prompt are cut as an empty candidate, but they still
    // count: three characters after "RX>" let the search go on, two end it.
    EXPECT_EQ(CaptureCallSign("JA1ABC RX>   "), "JA1ABC");
    EXPECT_FALSE(CaptureCallSign("JA1ABC RX>  ").has_value());
}

TEST(CaptureCallSign, LooksOnlyAtTheLastThirtyCharacters) {
    const std::string tail = "  TNX FER NICE QSO OM GL";
    const std::string whole = "RX> 7J1ABC" + tail;
    ASSERT_EQ(whole.size(), 34u);
    EXPECT_EQ(CaptureCallSign(whole), "7J1ABC");
    // One more character pushes the "7" out: "J1" alone is no prefix.
    EXPECT_FALSE(CaptureCallSign(whole + ".").has_value());

    // Characters, not bytes: twenty kana after the call (60 bytes) keep it in view.
    std::string kana = "RX> 7J1ABC  ";
    for (int i = 0; i < 20; ++i)
        kana += "\xEF\xBE\x84";  // ﾄ
    EXPECT_EQ(CaptureCallSign(kana), "7J1ABC");
}

}  // namespace
}  // namespace morvane::qso
