// Call-sign recognition in received text: the rule that decides whether a
// word is a call sign, and the F4 capture that picks the last call sign out
// of the receive window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace morvane::qso {

// The call sign in `word` (UTF-8; blanks are ignored), or nullopt when the
// word is not one. Leading "DE" and other text before the prefix is dropped,
// the suffix is cut to three letters plus an optional "/digit".
std::optional<std::string> ParseCallSign(std::string_view word);

// The call sign nearest the end of the receive window text (UTF-8), looking
// only at its last 30 characters; pairs of blanks and the "RX>" prompt
// separate candidates. nullopt when none is found.
std::optional<std::string> CaptureCallSign(std::string_view receiveText);

}  // namespace morvane::qso
