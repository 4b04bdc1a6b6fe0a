#include "decode/CodeTables.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/Utf8.h"
#include "decode/KanaText.h"
#include "decode/tables/WabunJoinedGroups.h"

namespace morvane::decode {
namespace {

constexpr ReceiveTable kAllTables[] = {ReceiveTable::English, ReceiveTable::MixedEnglish,
                                       ReceiveTable::Hiragana, ReceiveTable::Katakana};

std::string_view Rx(ReceiveTable table, std::string_view dotsAndDashes) {
    return ReceiveEntry(table, CodeNumberOf(dotsAndDashes));
}

// CodeNumber of a one-character transmit pattern ("1" dot, "3" dash, "4" gap,
// closing "2"), worked out independently of CodeNumberOf; -1 when the pattern
// holds more than one character, a long gap or a word space.
long long CodeOfElementCodes(std::string_view codes) {
    if (codes.size() < 2 || codes.back() != '2') {
        return -1;
    }
    long long code = 1;
    for (char c : codes.substr(0, codes.size() - 1)) {
        if (c == '1' || c == '3') {
            code = code * 2 + (c == '3');
        } else if (c != '4') {
            return -1;
        }
    }
    return code;
}

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

TEST(CodeNumber, PacksElementsBehindALeadingOne) {
    const std::vector<std::pair<std::string, long long>> cases = {
        {".", 2},
        {"-", 3},
        {".-", 5},
        {"-..", 12},
        {".---.-.----", kMaxCodeNumber},  // JA1, last slot
        {"............", 4096},
        {"", 0},
        {".x-", 0},
        {std::string(70, '-'), 0}};  // 70: overflow
    for (const auto& [pattern, code] : cases)
        EXPECT_EQ(CodeNumberOf(pattern), code) << pattern;
}

// One pattern read through the English, mixed, hiragana and katakana tables;
// nullptr where a table is not checked.
TEST(ReceiveTables, SameCodeReadsPerTableIncludingRunTogetherGroups) {
    struct Row {
        const char* pattern;
        std::array<const char*, 4> text;
    };
    const Row rows[] = {
        {".", {"E", "E", "へ", "ヘ"}},
        {".-..-.", {"\"", ")", ") ", ") "}},
        {"-.--.-", {")", "(", "（", "（"}},
        {"-.--.", {"(", "*", nullptr, nullptr}},
        {".-.-.-", {". ", ".", "、", nullptr}},
        {"...-.-", {nullptr, " ^ ", nullptr, nullptr}},
        {".-..-.-.", {"*", "AUR", nullptr, nullptr}},
        {"-.-.--.-", {"CQ", nullptr, nullptr, nullptr}},
        {".---.-.----", {"JA1", nullptr, nullptr, nullptr}},
        {"..--..", {nullptr, nullptr, "？ ", "？ "}},
        {".........", {"HH", "HH", nullptr, nullptr}},
        {"........", {"*", "*", nullptr, nullptr}},
        {"....-....-", {"44", "44", nullptr, nullptr}},
        {"-----.----", {"01", "01", "０１", "０１"}},
        {".........-", {"*", "*", nullptr, nullptr}},
        {"....-.----", {"*", "*", nullptr, nullptr}},      // "41"
        {".....-....", {"*", "*", nullptr, nullptr}},      // "56"
        {".-..-..", {nullptr, nullptr, "いと", nullptr}},  // joined い + と
        {".-..-..-..", {"*", "*", "いと", "イト"}},        // written out
        {"---...", {nullptr, nullptr, "れろ", nullptr}},
        {"..--.--", {nullptr, nullptr, nullptr, "ネヤ"}},
        {"...-..", {nullptr, nullptr, "ぐ", "グ"}},
    };
    for (const Row& row : rows) {
        for (int t = 0; t < 4; ++t) {
            if (row.text[t] != nullptr) {
                EXPECT_EQ(Rx(kAllTables[t], row.pattern), row.text[t])
                    << row.pattern << " table " << t;
            }
        }
    }
}

TEST(ReceiveTables, OutOfRangeAndTwelveElementCodesAreUnknown) {
    for (ReceiveTable table : kAllTables) {
        for (long long code : {-1LL, 0LL, 1LL, kMaxCodeNumber + 1, 1LL << 40}) {
            EXPECT_EQ(ReceiveEntry(table, code), "*") << code;
        }
        for (long long code = 4096; code < 8192; ++code) {  // every 12-element pattern
            ASSERT_EQ(ReceiveEntry(table, code), "*") << code;
        }
    }
}

TEST(ReceiveTables, EntryCountsMatchTheLists) {
    std::map<ReceiveTable, int> counts;
    for (ReceiveTable table : kAllTables) {
        for (long long code = kMinCodeNumber; code <= kMaxCodeNumber; ++code) {
            counts[table] += ReceiveEntry(table, code) != "*";
        }
    }
    // 36 letters and digits, 48 digit pairs, plus 59 (English) or 52 (mixed) extras.
    EXPECT_EQ(counts[ReceiveTable::English], 36 + 48 + 59);
    EXPECT_EQ(counts[ReceiveTable::MixedEnglish], 36 + 48 + 52);
    // 73 single characters, 512 joined groups and 15 irregular groups, no two sharing a slot.
    EXPECT_EQ(counts[ReceiveTable::Hiragana], 73 + 512 + 15);
    EXPECT_EQ(counts[ReceiveTable::Katakana], 73 + 512 + 15);
}

TEST(ReceiveTables, KatakanaTableIsTheHiraganaTableConverted) {
    int converted = 0;
    for (long long code = kMinCodeNumber; code <= kMaxCodeNumber; ++code) {
        const std::string_view hiragana = ReceiveEntry(ReceiveTable::Hiragana, code);
        const std::string_view katakana = ReceiveEntry(ReceiveTable::Katakana, code);
        ASSERT_EQ(katakana, HiraganaToKatakana(hiragana)) << code;
        converted += hiragana != katakana;
        for (std::string_view c : common::SplitUtf8(katakana)) {
            const char32_t cp = common::DecodeUtf8(c);
            EXPECT_FALSE(cp >= U'\u3041' && cp <= U'\u3096') << code;
        }
    }
    EXPECT_GT(converted, 500);
    EXPECT_EQ(HiraganaToKatakana("りゔゕ゛ー５A"), "リヴヵ゛ー５A");
    EXPECT_EQ(KatakanaToHiragana("リヴヵ゛ー５A"), "りゔゕ゛ー５A");
}

// The joined groups are listed in ascending CodeNumber order; recomputing
// their patterns from the single kana the table reads back checks both the
// list and the derivation.
TEST(ReceiveTables, JoinedKanaGroupsSitAtTheirJoinedPatterns) {
    std::map<std::string, std::string> singles;  // kana -> dots and dashes
    for (long long code = kMinCodeNumber; code <= kMaxCodeNumber; ++code) {
        const std::string_view text = ReceiveEntry(ReceiveTable::Hiragana, code);
        if (text != "*" && common::Utf8Length(text) == 1) {
            std::string elements;
            for (long long c = code; c > 1; c /= 2)
                elements.insert(elements.begin(), c % 2 ? '-' : '.');
            singles.emplace(text, elements);
        }
    }
    // 73 single entries, less "？ ", ") " and "」 " which carry a blank.
    EXPECT_EQ(singles.size(), 70u);
    ASSERT_EQ(singles.at("り"), "--.");
    ASSERT_EQ(singles.at("ゆ"), "-..--");

    ASSERT_EQ(tables::kWabunJoinedGroups.size(), 512u);
    long long previous = 0;
    for (std::string_view group : tables::kWabunJoinedGroups) {
        std::string elements;
        for (std::string_view kana : common::SplitUtf8(group)) {
            const auto found = singles.find(std::string(kana));
            ASSERT_TRUE(found != singles.end()) << group;
            elements += found->second;
        }
        const long long code = CodeNumberOf(elements);
        EXPECT_GT(code, previous) << group;
        EXPECT_EQ(ReceiveEntry(ReceiveTable::Hiragana, code), group);
        EXPECT_EQ(ReceiveEntry(ReceiveTable::Katakana, code), HiraganaToKatakana(group));
        previous = code;
    }
}

TEST(StandardPattern, WorkedExamples) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"A", "1432"},
        {"か", "14341412"},
        {"が", "14341415401412"},
        {"ガ", "14341415401412"},
        {"ぱ", "34141415401414343412"},
        {"じゃ", "343414341540141540143432"},
        {"ヴ", "141435401412"},  // う + ゛
        {"）", "143414143412"},
        {" ", "6"},
        {"　", "6"},
        {"", ""},
        {"a", ""},
        {"ー", ""},
        {"Aー", ""},  // lower case has none; ー is written in its rows
        {"っ", StandardPattern("つ")},
        {"１", StandardPattern("1")}};
    for (const auto& [text, pattern] : cases)
        EXPECT_EQ(StandardPattern(text), pattern) << text;
}

TEST(TransmitTables, RowCountsEmptyRowsAndUniqueCharacters) {
    const std::vector<std::pair<std::span<const TransmitRow>, std::size_t>> tables = {
        {MixedEnglishTransmitTable(), 60},
        {EnglishTransmitTable(), 57},
        {HiraganaTransmitTable(), 114},
        {KatakanaTransmitTable(), 114}};
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const auto [rows, count] = tables[t];
        ASSERT_EQ(rows.size(), count);
        std::set<std::string_view> seen;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const bool empty = t > 0 && i == 0;
            EXPECT_EQ(rows[i].Character.empty(), empty) << t << " row " << i;
            EXPECT_EQ(rows[i].Pattern.empty(), empty) << t << " row " << i;
            EXPECT_TRUE(empty || seen.insert(rows[i].Character).second) << rows[i].Character;
        }
    }

    const auto romaji = RomajiTransmitTable();
    ASSERT_EQ(romaji.size(), 288u);
    std::set<std::string_view> keys;
    for (std::size_t i = 0; i < romaji.size(); ++i) {
        const bool empty = i == 29 || (i >= 136 && i <= 140);
        EXPECT_EQ(romaji[i].Key.empty(), empty) << i;
        EXPECT_EQ(romaji[i].Pattern.empty(), empty) << i;
        EXPECT_TRUE(empty || keys.insert(romaji[i].Key).second) << romaji[i].Key;
        EXPECT_EQ(romaji[i].Katakana, HiraganaToKatakana(romaji[i].Hiragana)) << i;
    }

    const auto halfWidth = HalfWidthKanaTransmitTable();
    ASSERT_EQ(halfWidth.size(), 63u);
    EXPECT_TRUE(halfWidth[0].HalfWidth.empty() && halfWidth[0].Pattern.empty());
    std::set<std::string_view> halves;
    for (std::size_t i = 1; i < halfWidth.size(); ++i) {
        EXPECT_TRUE(halves.insert(halfWidth[i].HalfWidth).second) << i;
    }

    const auto doubles = DoubleConsonantList();
    ASSERT_EQ(doubles.size(), 9u);
    for (std::string_view pair : doubles) {
        EXPECT_TRUE(pair.size() == 2 && pair[0] == pair[1] && pair[0] >= 'A' && pair[0] <= 'Z');
    }
    EXPECT_EQ(std::set<std::string_view>(doubles.begin(), doubles.end()).size(), 9u);
}

TEST(TransmitTables, KatakanaRowsMirrorHiraganaRows) {
    const auto hiragana = HiraganaTransmitTable();
    const auto katakana = KatakanaTransmitTable();
    for (std::size_t i = 0; i < hiragana.size(); ++i) {
        EXPECT_EQ(katakana[i].Character, HiraganaToKatakana(hiragana[i].Character)) << i;
        EXPECT_EQ(katakana[i].Pattern, hiragana[i].Pattern) << i;
    }
}

// A half-width or romaji row keys exactly what its kana keys in the kana tables.
TEST(TransmitTables, HalfWidthAndRomajiAgreeWithTheKanaTables) {
    std::map<std::string_view, std::string> kanaPattern;
    for (const auto& row : KatakanaTransmitTable())
        kanaPattern[row.Character] = row.Pattern;
    for (const auto& row : HiraganaTransmitTable())
        kanaPattern[row.Character] = row.Pattern;
    kanaPattern.erase("");

    for (const auto& row : HalfWidthKanaTransmitTable()) {
        if (!row.FullWidth.empty()) {
            EXPECT_EQ(row.Pattern, kanaPattern.at(row.FullWidth)) << row.HalfWidth;
        }
    }
    int checked = 0;
    for (const auto& row : RomajiTransmitTable()) {
        if (kanaPattern.count(row.Hiragana) != 0 && row.Key != "QWI") {
            EXPECT_EQ(row.Pattern, kanaPattern.at(row.Hiragana)) << row.Key;
            ++checked;
        }
    }
    EXPECT_GT(checked, 120);
    EXPECT_EQ(RomajiTransmitTable()[81].Pattern, "343414341540141540143432");  // JA じゃ
}

// The stored QWI pattern closes after く and い; the keying engine stops at
// the first "2", so the trailing "1432" is never played.
TEST(TransmitTables, QwiStopsAfterKuAndI) {
    const RomajiRow& qwi = RomajiTransmitTable()[187];
    ASSERT_EQ(qwi.Key, "QWI");
    EXPECT_EQ(qwi.Pattern, "1414143540143421432");
    const std::string_view played =
        std::string_view(qwi.Pattern).substr(0, qwi.Pattern.find('2') + 1);
    const std::size_t gap = played.find("540");
    ASSERT_NE(gap, std::string_view::npos);
    const std::string first = std::string(played.substr(0, gap)) + "2";
    const std::string second(played.substr(gap + 3));
    EXPECT_EQ(ReceiveEntry(ReceiveTable::Hiragana, CodeOfElementCodes(first)), "く");
    EXPECT_EQ(ReceiveEntry(ReceiveTable::Hiragana, CodeOfElementCodes(second)), "い");
}

TEST(KanaKeyTable, KeysShareTheirKanasPattern) {
    const auto rows = KanaKeyTable();
    ASSERT_EQ(rows.size(), 40u);
    EXPECT_TRUE(rows[0].Key.empty() && rows[0].Hiragana.empty() && rows[0].Katakana.empty());
    std::set<std::string_view> keys, kana;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_TRUE(keys.insert(rows[i].Key).second) << i;
        EXPECT_TRUE(kana.insert(rows[i].Hiragana).second) << i;
        EXPECT_EQ(rows[i].Katakana, HiraganaToKatakana(rows[i].Hiragana)) << i;
        const std::string pattern = StandardPattern(rows[i].Key);
        EXPECT_FALSE(pattern.empty()) << i;
        EXPECT_EQ(pattern, StandardPattern(rows[i].Hiragana)) << rows[i].Key;
    }
}

// Every transmit row keyed as one character reads back as that character
// (small kana as their full-size kana) through the matching receive table,
// except for the few signs listed here that the receive side reads otherwise.
TEST(TransmitTables, SingleCharacterPatternsDecodeBack) {
    struct Case {
        std::span<const TransmitRow> rows;
        ReceiveTable table;
        std::map<std::string_view, std::string_view> readsAs;
    };
    const std::map<std::string_view, std::string_view> kana = {
        {"ゐ", "*"}, {"ゑ", "*"},  {"ー", "－"}, {"）", ")"},
        {"＊", "*"}, {"＃", "＜"}, {"＄", "＞"}, {"～", "お"}};
    std::map<std::string_view, std::string_view> katakana;
    std::vector<std::string> converted;  // owns the katakana keys and values
    converted.reserve(2 * kana.size());
    for (const auto& [from, to] : kana) {
        converted.push_back(HiraganaToKatakana(from));
        converted.push_back(HiraganaToKatakana(to));
        katakana[converted[converted.size() - 2]] = converted.back();
    }
    const std::vector<Case> cases = {
        {EnglishTransmitTable(), ReceiveTable::English, {{"'", "*"}, {"~", "*"}}},
        {MixedEnglishTransmitTable(),
         ReceiveTable::MixedEnglish,
         {{"'", "*"}, {"~", "*"}, {"\"", ")"}, {"#", "<"}, {"$", ">"}}},
        {HiraganaTransmitTable(), ReceiveTable::Hiragana, kana},
        {KatakanaTransmitTable(), ReceiveTable::Katakana, katakana},
    };
    for (const Case& c : cases) {
        int decoded = 0;
        for (const TransmitRow& row : c.rows) {
            const long long code = CodeOfElementCodes(row.Pattern);
            if (code < 0) {
                continue;
            }
            const std::string read = Trimmed(ReceiveEntry(c.table, code));
            const auto alias = c.readsAs.find(row.Character);
            if (alias != c.readsAs.end()) {
                EXPECT_EQ(read, alias->second) << row.Character;
                continue;
            }
            // Small kana are keyed as their full-size kana, one code point up.
            std::string expected(row.Character);
            const std::string hiragana = KatakanaToHiragana(row.Character);
            for (std::string_view small :
                 {"ぁ", "ぃ", "ぅ", "ぇ", "ぉ", "っ", "ゃ", "ゅ", "ょ", "ゎ"}) {
                if (hiragana == small) {
                    expected = common::EncodeUtf8(common::DecodeUtf8(row.Character) + 1);
                }
            }
            if (hiragana == "ゕ" || hiragana == "ゖ") {
                expected = hiragana == "ゕ" ? "か" : "け";
                if (hiragana != row.Character)
                    expected = HiraganaToKatakana(expected);
            }
            EXPECT_EQ(read, expected) << row.Character << " " << row.Pattern;
            ++decoded;
        }
        EXPECT_GT(decoded, 40);
    }
}

// The capture and keying threads may both be the first to touch the tables.
TEST(CodeTables, ConcurrentFirstUseSeesCompleteTables) {
    std::vector<std::string> seen(4);
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([t, &seen] {
                seen[t] = std::string(ReceiveEntry(kAllTables[t], CodeNumberOf(".-..-..-..")));
                seen[t] += HiraganaTransmitTable()[12].Pattern + RomajiTransmitTable()[81].Pattern;
            });
        }
    }
    const std::string patterns =
        "14341415401412"
        "343414341540141540143432";  // が, じゃ
    EXPECT_EQ(seen[0], "*" + patterns);
    EXPECT_EQ(seen[1], "*" + patterns);
    EXPECT_EQ(seen[2], "いと" + patterns);
    EXPECT_EQ(seen[3], "イト" + patterns);
}

}  // namespace
}  // namespace morvane::decode
