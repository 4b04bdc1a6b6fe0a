// The settings document; see SettingsDocument.h.
#include "settings/SettingsDocument.h"

namespace morvane::settings {

const std::string& SettingsDocument::Entry(int index) const {
    static const std::string kEmpty;
    return (index >= 1 && index <= kEntryCount) ? entries_[index] : kEmpty;
}

void SettingsDocument::SetEntry(std::string value, int index) {
    if (index < 1 || index > kEntryCount) {
        return;
    }
    entries_[index] = std::move(value);
    modified_ = true;
}

void SettingsDocument::StoreSetting(int index, std::string value) {
    SetEntry(std::move(value), index);
    if (!settingsApplied_) {
        modified_ = false;
    }
}

LoadResult SettingsDocument::Serialize(SettingsArchive& archive) {
    if (archive.IsStoring) {
        archive.Bytes = WriteDataFile(entries_);
        return {LoadStatus::Loaded, {}};
    }
    LoadResult result = ReadDataFile(archive.Bytes, entries_);
    if (result.Status != LoadStatus::Failed) {
        modified_ = false;
    }
    return result;
}

void SettingsDocument::Reset() {
    entries_.fill(std::string());
    modified_ = false;
}

}  // namespace morvane::settings
