#include "platform/logger/IconvCodePage.h"

#include <iconv.h>

#include <algorithm>

#include "common/Utf8.h"

namespace morvane::platform {
namespace {

// One iconv conversion state per call: iconv_t is not shareable across threads.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts one whole piece; false when it has no form in the target.
    bool Convert(std::string_view in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buffer[16];
        char* source = const_cast<char*>(in.data());
        std::size_t sourceLeft = in.size();
        char* target = buffer;
        std::size_t targetLeft = sizeof buffer;
        if (iconv(cd_, &source, &sourceLeft, &target, &targetLeft) ==
            static_cast<std::size_t>(-1)) {
            return false;
        }
        out.append(buffer, static_cast<std::size_t>(target - buffer));
        return true;
    }

  private:
    iconv_t cd_;
};

}  // namespace

std::vector<std::uint8_t> IconvCodePage::Encode(std::string_view utf8,
                                                std::size_t maxCharacters) const {
    Converter converter("CP932", "UTF-8");
    std::string out;
    std::size_t count = 0;
    for (std::string_view character : common::SplitUtf8(utf8)) {
        if (count++ == maxCharacters)
            break;
        if (!converter.Valid() || !converter.Convert(character, out))
            out += '?';
    }
    std::vector<std::uint8_t> bytes(out.begin(), out.end());
    bytes.push_back(0);
    return bytes;
}

std::string IconvCodePage::Decode(std::span<const std::uint8_t> bytes) const {
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    const std::string in(bytes.begin(), end);
    Converter converter("UTF-8", "CP932");
    std::string out;
    // Byte by byte for single-byte characters, two bytes for a lead byte.
    for (std::size_t i = 0; i < in.size();) {
        const auto lead = static_cast<unsigned char>(in[i]);
        const bool twoBytes = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
        const std::size_t length = (twoBytes && i + 1 < in.size()) ? 2 : 1;
        if (!converter.Valid() || !converter.Convert(std::string_view(in).substr(i, length), out)) {
            out += "\xEF\xBF\xBD";  // U+FFFD for bytes with no character
        }
        i += length;
    }
    return out;
}

}  // namespace morvane::platform
