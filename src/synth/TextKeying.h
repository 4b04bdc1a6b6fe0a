// Text to key events through the transmit tables: a plain function for tests,
// tools and the demo signal, not the keying engine (no tags, no PTT).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "decode/CodeTables.h"
#include "synth/KeyEvents.h"

namespace morvane::synth {

// Which transmit tables are searched, in order, for each character.
enum class TextAlphabet { English, Katakana, Hiragana };

// Element-code pattern of one character (UTF-8): "6" for a blank, else the
// pattern of the first row of the alphabet's tables (English: the English
// table; kana: the kana table, then the English one) whose character matches.
// Empty when there is none.
std::string PatternForCharacter(std::string_view character, TextAlphabet alphabet);

struct KeyedText {
    std::vector<KeyEvent> Events;
    double EndMs = 0.0;                // time after the last gap
    std::vector<std::string> Missing;  // characters without a pattern (skipped)
};

// Key events of `text` (UTF-8, upper-case Latin) at `speedStep` (dot =
// 6000 / (25 + 5k) ms) starting at `startMs`. Characters without a pattern
// are skipped and listed in Missing.
KeyedText TextToEvents(std::string_view text, TextAlphabet alphabet, int speedStep,
                       const KeyingWeights& weights = {}, double startMs = 0.0);

}  // namespace morvane::synth
