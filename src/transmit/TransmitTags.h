// The in-text tags of the transmit text: speed steps, element weights, a time
// stamp and function-key actions. Tags are consumed, never keyed or echoed.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace morvane::transmit {

enum class TagKind {
    SpeedUp,    // Value: steps to add
    SpeedDown,  // Value: steps to subtract
    Original,   // restore the speed saved by the first speed tag
    DotWeight,  // Value: weight in dots
    DashWeight,
    CharSpaceWeight,
    WordSpaceWeight,
    TxTime,       // time stamp into the receive window
    FunctionKey,  // Value: 1, 5, 6 or 7 (VK_F1, VK_F5, VK_F6, VK_F7)
};

struct TransmitTag {
    TagKind Kind;
    double Value;
    int Length;  // characters (all tags are ASCII)
};

// The tag that starts `chars` (the transmit text from the current position, one
// UTF-8 character per element), if any. Lengths are tried 7, 8, 9, 10, 12.
std::optional<TransmitTag> MatchTag(std::span<const std::string_view> chars);

}  // namespace morvane::transmit
