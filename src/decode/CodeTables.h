// The Morse code tables of both directions. Receive tables map a CodeNumber
// (leading 1, then one bit per element, dash 1, dot 0) to the text printed;
// transmit tables map characters to element-code patterns ("1" dot, "3" dash,
// "4"/"0" one-dot gap, "5" character gap inside a pattern, "2" end of
// character, "6" word space). All tables are built once and never change.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace morvane::decode {

inline constexpr long long kMinCodeNumber = 2;
inline constexpr long long kMaxCodeNumber = 2991;
inline constexpr std::string_view kUnknownEntry = "*";

enum class ReceiveTable { English, MixedEnglish, Hiragana, Katakana };

// Entry text for a CodeNumber; "*" outside 2..2991 or where the slot is empty.
std::string_view ReceiveEntry(ReceiveTable table, long long codeNumber);

// CodeNumber of a pattern written with '.' and '-' (e.g. "-.." is 12); 0 for
// an empty or malformed pattern.
long long CodeNumberOf(std::string_view dotsAndDashes);

// A transmit row; an empty row has an empty Character and Pattern.
struct TransmitRow {
    std::string_view Character;
    std::string Pattern;
};

struct HalfWidthKanaRow {
    std::string_view HalfWidth;
    std::string Pattern;
    std::string_view FullWidth;
};

struct RomajiRow {
    std::string_view Key;
    std::string_view Hiragana;
    std::string_view Katakana;
    std::string Pattern;
};

struct KanaKeyRow {
    std::string_view Key;
    std::string_view Hiragana;
    std::string_view Katakana;
};

std::span<const TransmitRow> MixedEnglishTransmitTable();        // 60 rows
std::span<const TransmitRow> EnglishTransmitTable();             // 57 rows, row 0 empty
std::span<const TransmitRow> HiraganaTransmitTable();            // 114 rows, row 0 empty
std::span<const TransmitRow> KatakanaTransmitTable();            // 114 rows, row 0 empty
std::span<const HalfWidthKanaRow> HalfWidthKanaTransmitTable();  // 63 rows, row 0 empty
std::span<const RomajiRow> RomajiTransmitTable();                // 288 rows, 29 and 136..140 empty
std::span<const std::string_view> DoubleConsonantList();         // 9 entries
std::span<const KanaKeyRow> KanaKeyTable();                      // 40 rows, row 0 empty

// The standard pattern rule: element codes for a text of one or more parts
// (kana with voicing marks split, small kana as full size, Latin letters,
// digits and the listed signs); "6" for a blank. Empty when some part has no
// standard pattern.
std::string StandardPattern(std::string_view text);

}  // namespace morvane::decode
