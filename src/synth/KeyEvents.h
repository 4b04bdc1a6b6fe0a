// Key-down / key-up events on a millisecond time line: the common language of
// the CW generator and of the functions that turn text into keying.
#pragma once

#include <string_view>
#include <vector>

#include "common/SpeedSteps.h"

namespace morvane::synth {

struct KeyEvent {
    double TimeMs = 0.0;
    bool KeyDown = false;
};

using KeyingWeights = common::KeyingWeights;
using common::DotLengthMs;

// Appends the events of one element-code pattern ("1" dot, "3" dash, "0"/"4"
// one-dot gap, "5" character gap, "2" end of character, "6" word space)
// starting at `timeMs`, and advances `timeMs` past it. After "2" the key stays
// up for CharSpace dots in all, so characters follow each other at the
// character space; a "6" after a character makes the gap CharSpace + WordSpace
// - 3 dots (the word space with the default weights). Other digits play nothing.
void AppendPattern(std::string_view pattern, double dotMs, const KeyingWeights& weights,
                   double& timeMs, std::vector<KeyEvent>& events);

}  // namespace morvane::synth
