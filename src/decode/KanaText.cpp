#include "decode/KanaText.h"

#include "common/Utf8.h"

namespace morvane::decode {
namespace {

// Hiragana and katakana blocks are laid out in parallel, 0x60 apart.
constexpr char32_t kKanaOffset = 0x60;

std::string ShiftRange(std::string_view text, char32_t first, char32_t last, bool up) {
    std::string out;
    out.reserve(text.size());
    for (std::string_view character : common::SplitUtf8(text)) {
        const char32_t cp = common::DecodeUtf8(character);
        if (cp >= first && cp <= last) {
            out += common::EncodeUtf8(up ? cp + kKanaOffset : cp - kKanaOffset);
        } else {
            out += character;
        }
    }
    return out;
}

}  // namespace

std::string HiraganaToKatakana(std::string_view utf8Text) {
    return ShiftRange(utf8Text, U'\u3041', U'\u3096', true);
}

std::string KatakanaToHiragana(std::string_view utf8Text) {
    return ShiftRange(utf8Text, U'\u30A1', U'\u30F6', false);
}

}  // namespace morvane::decode
