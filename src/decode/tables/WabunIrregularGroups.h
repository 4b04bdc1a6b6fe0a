// Wabun two-kana receive entries whose pattern is not simply the two kana
// patterns joined; they take precedence over the joined groups.
#pragma once

#include <array>

#include "decode/tables/TableRows.h"

namespace morvane::decode::tables {

inline constexpr std::array<PatternText, 15> kWabunIrregularGroups{{
    {"---...", "れろ"},      // "レロ"
    {"..--.--", "ねや"},     // "ネヤ"
    {"....-.--", "むけ"},    // "ムケ"
    {"..--.-.-", "のく"},    // "ノク"
    {"..--.--.", "のち"},    // "ノチ"
    {"..---..-", "のろ"},    // "ノロ"
    {"..---.-.", "のつ"},    // "ノツ"
    {".-...--.", "おそ"},    // "オソ"
    {"...--..-.", "くち"},   // "クチ"
    {".-..-..-..", "いと"},  // "イト"
    {".-..-..-.-", "いみ"},  // "イミ"
    {".-..-.-...", "いお"},  // "イオ"
    {".-..-.-.-.", "いん"},  // "イン"
    {".-..-.-.--", "いて"},  // "イテ"
    {".-..-.---.", "いせ"},  // "イセ"
}};

}  // namespace morvane::decode::tables
