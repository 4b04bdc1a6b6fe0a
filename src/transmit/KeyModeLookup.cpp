#include "transmit/KeyModeLookup.h"

#include <algorithm>

#include "decode/CodeTables.h"

namespace morvane::transmit {

namespace {

using Kind = LookupResult::Kind;
using decode::TransmitRow;

// Small tsu ("103434102"): sent for the first letter of a doubled consonant.
constexpr std::string_view kSmallTsuPattern = "103434102";
constexpr std::string_view kRomajiConsonants = "BCDFGHJKMNPQRSTVWYZ";
constexpr std::string_view kThirdLetterSeconds = "AEHIOSUWY";

LookupResult Hit(std::string_view pattern, std::string_view echo, std::size_t consumed) {
    return {Kind::Hit, std::string(pattern), std::string(echo), consumed};
}

LookupResult Unsendable(std::string_view echo, std::size_t consumed) {
    if (echo == "\r" || echo == "\n")
        return {Kind::LineBreak, {}, {}, consumed};
    return {Kind::Unsendable, {}, std::string(echo), consumed};
}

const TransmitRow* FindRow(std::span<const TransmitRow> rows, std::size_t first, std::size_t last,
                           std::string_view ch) {
    for (std::size_t i = first; i <= last && i < rows.size(); ++i) {
        if (!rows[i].Character.empty() && rows[i].Character == ch)
            return &rows[i];
    }
    return nullptr;
}

const decode::RomajiRow* FindRomaji(std::size_t first, std::size_t last, std::string_view key) {
    auto rows = decode::RomajiTransmitTable();
    for (std::size_t i = first; i <= last && i < rows.size(); ++i) {
        if (!rows[i].Key.empty() && rows[i].Key == key)
            return &rows[i];
    }
    return nullptr;
}

bool IsOneOf(std::string_view set, std::string_view ch) {
    return ch.size() == 1 && set.find(ch[0]) != std::string_view::npos;
}

LookupResult LookupJapanese(std::string_view ch, KeyMode mode, bool katakana) {
    if (auto* row = FindRow(decode::MixedEnglishTransmitTable(), 0, 59, ch)) {
        return Hit(row->Pattern, ch, 1);
    }
    if (mode == KeyMode::Ime) {
        auto table = katakana ? decode::KatakanaTransmitTable() : decode::HiraganaTransmitTable();
        if (auto* row = FindRow(table, katakana ? 0 : 1, 113, ch))
            return Hit(row->Pattern, ch, 1);
        return Unsendable(ch, 1);
    }
    auto halfWidth = decode::HalfWidthKanaTransmitTable();
    for (std::size_t i = 1; i <= 62 && i < halfWidth.size(); ++i) {
        if (halfWidth[i].FullWidth == ch)
            return Hit(halfWidth[i].Pattern, ch, 1);
    }
    return Unsendable(ch, 1);
}

std::string_view KanaOf(const decode::RomajiRow& row, bool katakana) {
    return katakana ? row.Katakana : row.Hiragana;
}

std::string Join(std::span<const std::string_view> chars, std::size_t pos, std::size_t count) {
    std::string joined;
    for (std::size_t i = pos; i < pos + count; ++i)
        joined += chars[i];
    return joined;
}

LookupResult LookupRomaji(std::span<const std::string_view> chars, std::size_t pos, bool katakana,
                          RomajiState& romaji) {
    std::string_view first = chars[pos];
    if (romaji.RomajiLookahead == 0) {
        if (auto* row = FindRomaji(0, 28, first)) {
            if (first == ">" || first == "(")
                romaji.KanaSection = false;
            return Hit(row->Pattern, KanaOf(*row, katakana), 1);
        }
    }
    if (!IsOneOf(kRomajiConsonants, first))
        return Unsendable(first, 1);

    romaji.RomajiLookahead = 1;
    if (pos + 1 >= chars.size())
        return {};  // wait for the second letter
    std::string pair = Join(chars, pos, 2);
    auto doubles = decode::DoubleConsonantList();
    if (std::find(doubles.begin(), doubles.end(), pair) != doubles.end()) {
        romaji.RomajiLookahead = 0;
        return Hit(kSmallTsuPattern, katakana ? "ツ" : "つ", 1);
    }
    if (auto* row = FindRomaji(30, 135, pair)) {
        romaji.RomajiLookahead = 0;
        return Hit(row->Pattern, KanaOf(*row, katakana), 2);
    }
    if (!IsOneOf(kThirdLetterSeconds, chars[pos + 1])) {
        romaji.RomajiLookahead = 0;
        return Unsendable(pair, 2);
    }

    romaji.RomajiLookahead = 2;
    if (pos + 2 >= chars.size())
        return {};  // wait for the third letter
    std::string triple = Join(chars, pos, 3);
    romaji.RomajiLookahead = 0;
    if (auto* row = FindRomaji(141, 287, triple))
        return Hit(row->Pattern, KanaOf(*row, katakana), 3);
    return Unsendable(triple, 1);
}

}  // namespace

LookupResult LookupCharacter(std::span<const std::string_view> chars, std::size_t pos, KeyMode mode,
                             bool katakana, RomajiState& romaji) {
    std::string_view ch = chars[pos];
    switch (mode) {
        case KeyMode::English:
            if (auto* row = FindRow(decode::EnglishTransmitTable(), 1, 56, ch)) {
                return Hit(row->Pattern, ch, 1);
            }
            return Unsendable(ch, 1);
        case KeyMode::Ime:
        case KeyMode::Kana:
            return LookupJapanese(ch, mode, katakana);
        case KeyMode::Direct:
            break;
    }
    if (romaji.KanaSection)
        return LookupRomaji(chars, pos, katakana, romaji);
    if (auto* row = FindRow(decode::MixedEnglishTransmitTable(), 0, 59, ch)) {
        if (ch == "<" || ch == ")")
            romaji.KanaSection = true;
        return Hit(row->Pattern, ch, 1);
    }
    return Unsendable(ch, 1);
}

}  // namespace morvane::transmit
