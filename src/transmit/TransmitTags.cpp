#include "transmit/TransmitTags.h"

#include <string>

#include "transmit/TransmitTagTable.h"

namespace morvane::transmit {

namespace {

std::optional<TransmitTag> FindRow(const std::string& slice) {
    for (const TagRow& row : kTagTable) {
        if (row.Text == slice)
            return TransmitTag{row.Kind, row.Value, int(row.Text.size())};
    }
    return std::nullopt;
}

}  // namespace

std::optional<TransmitTag> MatchTag(std::span<const std::string_view> chars) {
    if (chars.empty() || chars[0] != "<")
        return std::nullopt;
    for (std::size_t length : {7u, 8u, 9u, 10u, 12u}) {
        if (chars.size() < length || chars[length - 1] != ">")
            continue;
        std::string slice;
        for (std::size_t i = 0; i < length; ++i)
            slice += chars[i];
        if (auto tag = FindRow(slice))
            return tag;
    }
    return std::nullopt;
}

}  // namespace morvane::transmit
