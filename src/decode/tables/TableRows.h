// Row shapes of the constant Morse tables as written in the source files.
// Patterns in receive data are written with '.' and '-'; transmit patterns are
// element-code strings, empty where the standard pattern rule applies.
#pragma once

#include <string_view>

namespace morvane::decode::tables {

struct PatternText {
    std::string_view Elements;  // '.' and '-'
    std::string_view Text;
};

struct EnglishExtraEntry {
    std::string_view Elements;
    std::string_view English;       // empty: no entry in the English table
    std::string_view MixedEnglish;  // empty: no entry in the mixed English table
};

struct TransmitSource {
    std::string_view Character;
    std::string_view Pattern;  // empty: standard pattern of Character
};

struct HalfWidthKanaSource {
    std::string_view HalfWidth;
    std::string_view FullWidth;
    std::string_view Pattern;  // empty: standard pattern of FullWidth
};

struct RomajiSource {
    std::string_view Key;
    std::string_view Hiragana;
    std::string_view Katakana;
    std::string_view Pattern;  // empty: standard pattern of Hiragana
};

}  // namespace morvane::decode::tables
