// The system code page on Linux: CP932 through iconv.
#pragma once

#include "platform/logger/LoggerWindows.h"

namespace morvane::platform {

class IconvCodePage final : public SystemCodePage {
  public:
    std::vector<std::uint8_t> Encode(std::string_view utf8,
                                     std::size_t maxCharacters) const override;
    std::string Decode(std::span<const std::uint8_t> bytes) const override;
};

}  // namespace morvane::platform
