// Morse patterns of the signs that the standard transmit pattern rule knows.
// Note "）" is keyed like the Latin ")" of the mixed table, .-..-.
#pragma once

#include <array>

#include "decode/tables/TableRows.h"

namespace morvane::decode::tables {

inline constexpr std::array<PatternText, 22> kStandardSigns{{
    {"-.--.", "("},   {".-..-.", ")"},  {".-.-.", "+"},   {"--..--", ","}, {"-....-", "-"},
    {".-.-.-", "."},  {"-..-.", "/"},   {"---...", ":"},  {"-..---", "<"}, {"-...-", "="},
    {"...-.", ">"},   {"..--..", "?"},  {".--.-.", "@"},  {"...-.-", "^"}, {"-.--.-", "（"},
    {".-..-.", "）"}, {".-.-.-", "、"}, {".-.-..", "」"}, {".--.-", "－"}, {"-..---", "＜"},
    {"...-.", "＞"},  {"..--..", "？"},
}};

}  // namespace morvane::decode::tables
