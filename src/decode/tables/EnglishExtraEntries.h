// English receive entries beyond the letters and digits: signs and common
// run-together groups, as (pattern, English text, mixed English text). An empty
// text leaves that slot empty ("*") in that table. Some texts carry blanks
// that are printed as they stand.
#pragma once

#include <array>

#include "decode/tables/TableRows.h"

namespace morvane::decode::tables {

inline constexpr std::array<EnglishExtraEntry, 60> kEnglishExtraEntries{{
    {"..--", "IM", "IM"},          {"...-.", ">", ">"},
    {"..-.-", "UA", "UA"},         {".-.-.", "+", "+"},
    {".---.", "JE", "JE"},         {"-...-", "=", "="},
    {"-..-.", "/", "/"},           {"-.--.", "(", ""},
    {"....--", "HM", "HM"},        {"...-.-", "^", " ^ "},
    {"...---", "SO", ""},          {"..-.-.", "UR", "UR"},
    {"..--..", "? ", "? "},        {".-..-.", "\"", ")"},
    {".-.-..", "AL", "AL"},        {".-.-.-", ". ", "."},
    {".--.-.", "@", "@"},          {".---..", "JI", "JI"},
    {".---.-", "JA", "JA"},        {"-....-", "-", "-"},
    {"-..---", "<", "<"},          {"-.--.-", ")", "("},
    {"--..--", ",", ","},          {"---...", ":", ":"},
    {"...-..-", "SAN", ""},        {".-.....", "A5", "A5"},
    {".-...--", "A3", "A3"},       {".-..---", "A2", "A2"},
    {".-.-..-", "RX", "RX"},       {".-.--..", "RZ", "RZ"},
    {".-.----", "A1", ""},         {".---...", "JS", ""},
    {".---.-.", "JR", ""},         {".---.--", "JW", ""},
    {"-...-.-", "]", ""},          {"-.-....", "KS", "KS"},
    {"-.--.-.", "YR", "YR"},       {"--.-...", "QS", "QS"},
    {"--.-.-.", "QR", "QR"},       {"---.--.", "OP", "OP"},
    {"..-.-...", "FB", "FB"},      {".-..-.-.", "", "AUR"},
    {".---....", "JH", "JH"},      {".---...-", "JV", "JV"},
    {".---..-.", "JF", "JF"},      {".---.-..", "JL", "JL"},
    {".---.--.", "JP", "JP"},      {".---.---", "JJ", "JJ"},
    {"-.-.--.-", "CQ", "CQ"},      {"--.-....", "TKS", "TKS"},
    {".........", "HH", "HH"},     {"..-.-.---", "URO", "URO"},
    {".--..--..", "W?", "W?"},     {".---.-.-.", "JAR", "JAR"},
    {"--.--....", "QTH", "QTH"},   {".---.-.....", "JA5", "JA5"},
    {".---.-....-", "JA4", "JA4"}, {".---.-...--", "JA3", "JA3"},
    {".---.-..---", "JA2", "JA2"}, {".---.-.----", "JA1", "JA1"},
}};

}  // namespace morvane::decode::tables
