#include "common/Utf8.h"

namespace morvane::common {

std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

std::string_view Utf8CharAt(std::string_view text, std::size_t pos) {
    if (pos >= text.size())
        return {};
    std::size_t length = Utf8SequenceLength(static_cast<unsigned char>(text[pos]));
    return text.substr(pos, length);
}

std::vector<std::string_view> SplitUtf8(std::string_view text) {
    std::vector<std::string_view> characters;
    for (std::size_t pos = 0; pos < text.size();) {
        std::string_view character = Utf8CharAt(text, pos);
        characters.push_back(character);
        pos += character.size();
    }
    return characters;
}

char32_t DecodeUtf8(std::string_view character) {
    constexpr char32_t kReplacement = 0xFFFD;
    if (character.empty())
        return kReplacement;
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(character[i]); };
    std::size_t length = Utf8SequenceLength(byte(0));
    if (length != character.size())
        return kReplacement;
    if (length == 1)
        return byte(0) < 0x80 ? byte(0) : kReplacement;
    char32_t value = byte(0) & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return kReplacement;
        value = (value << 6) | (byte(i) & 0x3F);
    }
    return value;
}

std::string EncodeUtf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::size_t Utf8Length(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count)
        pos += Utf8SequenceLength(static_cast<unsigned char>(text[pos]));
    return count;
}

std::string_view Utf8Prefix(std::string_view text, std::size_t count) {
    std::size_t pos = 0;
    for (; pos < text.size() && count > 0; --count)
        pos += Utf8CharAt(text, pos).size();
    return text.substr(0, pos);
}

}  // namespace morvane::common
