// Letters and digits of International Morse code (ITU-R M.1677-1).
#pragma once

#include <array>

#include "decode/tables/TableRows.h"

namespace morvane::decode::tables {

inline constexpr std::array<PatternText, 36> kInternationalMorse{{
    {".-", "A"},    {"-...", "B"},  {"-.-.", "C"},  {"-..", "D"},   {".", "E"},     {"..-.", "F"},
    {"--.", "G"},   {"....", "H"},  {"..", "I"},    {".---", "J"},  {"-.-", "K"},   {".-..", "L"},
    {"--", "M"},    {"-.", "N"},    {"---", "O"},   {".--.", "P"},  {"--.-", "Q"},  {".-.", "R"},
    {"...", "S"},   {"-", "T"},     {"..-", "U"},   {"...-", "V"},  {".--", "W"},   {"-..-", "X"},
    {"-.--", "Y"},  {"--..", "Z"},  {"-----", "0"}, {".----", "1"}, {"..---", "2"}, {"...--", "3"},
    {"....-", "4"}, {".....", "5"}, {"-....", "6"}, {"--...", "7"}, {"---..", "8"}, {"----.", "9"},
}};

}  // namespace morvane::decode::tables
