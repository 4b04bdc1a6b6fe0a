// Transmit tables, expanded once on first use from the row lists in tables/:
// rows without a written pattern take the standard pattern of their text.
#include <array>
#include <cstddef>
#include <string>

#include "decode/CodeTables.h"
#include "decode/tables/DoubleConsonants.h"
#include "decode/tables/EnglishTransmitRows.h"
#include "decode/tables/HalfWidthKanaTransmitRows.h"
#include "decode/tables/HiraganaTransmitRows.h"
#include "decode/tables/KanaKeyRows.h"
#include "decode/tables/KatakanaTransmitRows.h"
#include "decode/tables/MixedEnglishTransmitRows.h"
#include "decode/tables/RomajiTransmitRows.h"

namespace morvane::decode {
namespace {

// Empty rows stay empty; a written pattern wins over the standard one.
std::string PatternOf(std::string_view written, std::string_view text) {
    if (text.empty()) {
        return {};
    }
    return written.empty() ? StandardPattern(text) : std::string(written);
}

template <std::size_t N>
std::array<TransmitRow, N> Expand(const std::array<tables::TransmitSource, N>& source) {
    std::array<TransmitRow, N> rows;
    for (std::size_t i = 0; i < N; ++i) {
        rows[i] = {source[i].Character, PatternOf(source[i].Pattern, source[i].Character)};
    }
    return rows;
}

}  // namespace

std::span<const TransmitRow> MixedEnglishTransmitTable() {
    static const auto rows = Expand(tables::kMixedEnglishTransmitRows);
    return rows;
}

std::span<const TransmitRow> EnglishTransmitTable() {
    static const auto rows = Expand(tables::kEnglishTransmitRows);
    return rows;
}

std::span<const TransmitRow> HiraganaTransmitTable() {
    static const auto rows = Expand(tables::kHiraganaTransmitRows);
    return rows;
}

std::span<const TransmitRow> KatakanaTransmitTable() {
    static const auto rows = Expand(tables::kKatakanaTransmitRows);
    return rows;
}

std::span<const HalfWidthKanaRow> HalfWidthKanaTransmitTable() {
    static const auto rows = [] {
        const auto& source = tables::kHalfWidthKanaTransmitRows;
        std::array<HalfWidthKanaRow, source.size()> expanded;
        for (std::size_t i = 0; i < source.size(); ++i) {
            expanded[i] = {source[i].HalfWidth, PatternOf(source[i].Pattern, source[i].FullWidth),
                           source[i].FullWidth};
        }
        return expanded;
    }();
    return rows;
}

std::span<const RomajiRow> RomajiTransmitTable() {
    static const auto rows = [] {
        const auto& source = tables::kRomajiTransmitRows;
        std::array<RomajiRow, source.size()> expanded;
        for (std::size_t i = 0; i < source.size(); ++i) {
            expanded[i] = {source[i].Key, source[i].Hiragana, source[i].Katakana,
                           PatternOf(source[i].Pattern, source[i].Hiragana)};
        }
        return expanded;
    }();
    return rows;
}

std::span<const std::string_view> DoubleConsonantList() {
    return tables::kDoubleConsonants;
}

std::span<const KanaKeyRow> KanaKeyTable() {
    return tables::kKanaKeyRows;
}

}  // namespace morvane::decode
