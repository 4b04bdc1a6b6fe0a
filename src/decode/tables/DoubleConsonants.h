// Romaji double consonants: typed, the first letter is keyed as a small "っ".
#pragma once

#include <array>
#include <string_view>

namespace morvane::decode::tables {

inline constexpr std::array<std::string_view, 9> kDoubleConsonants{
    {"KK", "SS", "TT", "GG", "PP", "CC", "DD", "FF", "JJ"}};

}  // namespace morvane::decode::tables
