// Conversions between the UTF-8 text used inside the program and the encodings
// of the settings data file: UTF-16LE for the strings the program writes, and
// the Japanese code page CP932 for untagged 8-bit strings of older files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace morvane::settings {

// UTF-16 code units (2 bytes each, little-endian) for a UTF-8 text; malformed
// UTF-8 becomes U+FFFD. Characters outside the BMP become surrogate pairs.
std::u16string Utf8ToUtf16(std::string_view utf8);

// UTF-8 for UTF-16 code units; nullopt when a surrogate is unpaired.
std::optional<std::string> Utf16ToUtf8(std::u16string_view utf16);

// UTF-8 for CP932 bytes (through iconv); bytes that do not form a CP932
// character become U+FFFD, one per byte.
std::string Cp932ToUtf8(std::string_view bytes);

}  // namespace morvane::settings
