// Finds the element pattern of the next character(s) of the transmit text for
// the four Key Modes. E/J Direct reads romaji groups of up to three letters
// and may have to wait for the rest of a group to be typed.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "common/KeyMode.h"

namespace morvane::transmit {

using common::KeyMode;

// E/J Direct state carried between lookups.
struct RomajiState {
    bool KanaSection = false;  // inside a kana section (between "<" or ")" and ">" or "(")
    int RomajiLookahead = 0;   // letters beyond the first being examined (0..2)
};

struct LookupResult {
    enum class Kind {
        Hit,         // Pattern and Echo are set; Consumed characters are used up
        LineBreak,   // "\r" or "\n": skip Consumed characters silently
        Unsendable,  // echo Echo as unsendable, skip Consumed characters
        Wait,        // a romaji group is incomplete: consume nothing yet
    };
    Kind Result = Kind::Wait;
    std::string Pattern;
    std::string Echo;
    std::size_t Consumed = 0;
};

// Looks up the character at `pos` of `chars` (one UTF-8 character each).
// `katakana` selects katakana over hiragana for the IME table and the Direct
// echo. `romaji` is read and updated in E/J Direct mode only.
LookupResult LookupCharacter(std::span<const std::string_view> chars, std::size_t pos, KeyMode mode,
                             bool katakana, RomajiState& romaji);

}  // namespace morvane::transmit
