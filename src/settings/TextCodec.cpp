// Text conversions for the settings data file; see TextCodec.h.
#include "settings/TextCodec.h"

#include <iconv.h>

#include <cerrno>

#include "common/Utf8.h"

namespace morvane::settings {

namespace {

constexpr char32_t kReplacement = U'\uFFFD';

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::string_view character : common::SplitUtf8(utf8)) {
        char32_t code = common::DecodeUtf8(character);
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            code = kReplacement;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
    }
    return out;
}

std::optional<std::string> Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char16_t unit = utf16[i];
        char32_t code = unit;
        if (IsHighSurrogate(unit)) {
            if (i + 1 >= utf16.size() || !IsLowSurrogate(utf16[i + 1])) {
                return std::nullopt;
            }
            code = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                   (static_cast<char32_t>(utf16[i + 1]) - 0xDC00);
            ++i;
        } else if (IsLowSurrogate(unit)) {
            return std::nullopt;
        }
        out += common::EncodeUtf8(code);
    }
    return out;
}

std::string Cp932ToUtf8(std::string_view bytes) {
    iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        // Without the converter every byte is unreadable rather than misread.
        std::string out;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            out += common::EncodeUtf8(kReplacement);
        }
        return out;
    }
    std::string out;
    std::string input(bytes);
    char* in = input.data();
    std::size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t rc = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // EILSEQ or an incomplete sequence at the end: skip one byte.
            out += common::EncodeUtf8(kReplacement);
            ++in;
            --inLeft;
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(converter);
    return out;
}

}  // namespace morvane::settings
