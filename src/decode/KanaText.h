// Conversions between hiragana and katakana, one code point at a time.
// Everything that is not a convertible kana ("゛", "ー", full-width digits,
// Latin text) passes through unchanged.
#pragma once

#include <string>
#include <string_view>

namespace morvane::decode {

// Hiragana U+3041..U+3096 become katakana U+30A1..U+30F6 ("り" to "リ", "ゔ" to "ヴ").
std::string HiraganaToKatakana(std::string_view utf8Text);

// The reverse: katakana U+30A1..U+30F6 become hiragana ("ヴ" to "ゔ", "ヵ" to "ゕ").
std::string KatakanaToHiragana(std::string_view utf8Text);

}  // namespace morvane::decode
