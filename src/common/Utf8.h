// UTF-8 helpers. Text inside the core is UTF-8 throughout; Morse tables,
// transmit text and window text are compared one character (code point) at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::common {

// Byte length of the UTF-8 sequence starting with `lead`; 1 for a stray byte.
std::size_t Utf8SequenceLength(unsigned char lead);

// The character starting at byte `pos` (a whole sequence, cut at the end of text).
std::string_view Utf8CharAt(std::string_view text, std::size_t pos);

// The text split into characters, in order.
std::vector<std::string_view> SplitUtf8(std::string_view text);

// Code point of one UTF-8 character; U+FFFD for a malformed sequence.
char32_t DecodeUtf8(std::string_view character);

std::string EncodeUtf8(char32_t codePoint);

// Number of characters (code points) in the text.
std::size_t Utf8Length(std::string_view text);

// The first `count` characters of the text (all of it when shorter).
std::string_view Utf8Prefix(std::string_view text, std::size_t count);

}  // namespace morvane::common
