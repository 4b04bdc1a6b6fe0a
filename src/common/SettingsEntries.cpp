// Names of the settings entries; see SettingsEntries.h.
#include "common/SettingsEntries.h"

#include <algorithm>

namespace morvane::common {

std::string EntryName(int index) {
    if (index < 1 || index > kEntryCount) {
        return {};
    }
    const EntrySpec& spec = Spec(index);
    std::string name(spec.Name);
    if (spec.Ordinal != 0) {
        name += std::to_string(spec.Ordinal);
    }
    return name;
}

int EntryIndexOf(std::string_view name) {
    for (const EntrySpec& spec : kEntryTable) {
        if (name.starts_with(spec.Name) && EntryName(spec.Index) == name) {
            return spec.Index;
        }
    }
    return 0;
}

std::span<const std::string_view> EntryWords(const EntrySpec& spec) {
    auto end = std::find(spec.Words.begin(), spec.Words.end(), std::string_view{});
    return {spec.Words.begin(), end};
}

}  // namespace morvane::common
