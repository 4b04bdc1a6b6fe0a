// Names of the settings entries; see SettingsEntries.h.
#include "common/SettingsEntries.h"

#include <algorithm>

namespace morvane::common {

std::string EntryName(int index) {
    if (index < 1 || index > kEntryCount) {
        return {};
    }
    const EntryRow& entryRow = RowOf(index);
    std::string name(entryRow.Name);
    if (entryRow.Ordinal != 0) {
        name += std::to_string(entryRow.Ordinal);
    }
    return name;
}

int EntryIndexOf(std::string_view name) {
    for (const EntryRow& entryRow : kEntryTable) {
        if (name.starts_with(entryRow.Name) && EntryName(entryRow.Index) == name) {
            return entryRow.Index;
        }
    }
    return 0;
}

std::span<const std::string_view> EntryWords(const EntryRow& entryRow) {
    auto end = std::find(entryRow.Words.begin(), entryRow.Words.end(), std::string_view{});
    return {entryRow.Words.begin(), end};
}

}  // namespace morvane::common
