// How a hiragana that has no Morse pattern of its own is keyed: a voiced kana
// as its plain kana followed by "゛", a semi-voiced one followed by "゜", a small
// kana as its full-size kana. Katakana are mapped to hiragana first.
#pragma once

#include <array>
#include <string_view>

namespace morvane::decode::tables {

struct KanaParts {
    std::string_view Kana;
    std::string_view Base;
    std::string_view Mark;  // "゛", "゜" or empty
};

inline constexpr std::array<KanaParts, 38> kKanaParts{{
    // Voiced
    {"が", "か", "゛"},
    {"ぎ", "き", "゛"},
    {"ぐ", "く", "゛"},
    {"げ", "け", "゛"},
    {"ご", "こ", "゛"},
    {"ざ", "さ", "゛"},
    {"じ", "し", "゛"},
    {"ず", "す", "゛"},
    {"ぜ", "せ", "゛"},
    {"ぞ", "そ", "゛"},
    {"だ", "た", "゛"},
    {"ぢ", "ち", "゛"},
    {"づ", "つ", "゛"},
    {"で", "て", "゛"},
    {"ど", "と", "゛"},
    {"ば", "は", "゛"},
    {"び", "ひ", "゛"},
    {"ぶ", "ふ", "゛"},
    {"べ", "へ", "゛"},
    {"ぼ", "ほ", "゛"},
    {"ゔ", "う", "゛"},
    // Semi-voiced
    {"ぱ", "は", "゜"},
    {"ぴ", "ひ", "゜"},
    {"ぷ", "ふ", "゜"},
    {"ぺ", "へ", "゜"},
    {"ぽ", "ほ", "゜"},
    // Small
    {"ぁ", "あ", ""},
    {"ぃ", "い", ""},
    {"ぅ", "う", ""},
    {"ぇ", "え", ""},
    {"ぉ", "お", ""},
    {"っ", "つ", ""},
    {"ゃ", "や", ""},
    {"ゅ", "ゆ", ""},
    {"ょ", "よ", ""},
    {"ゎ", "わ", ""},
    {"ゕ", "か", ""},
    {"ゖ", "け", ""},
}};

}  // namespace morvane::decode::tables
