// The settings document: entries 1 to 160 of text that every setting handler
// fills and the data file saves and loads, with the modified mark that
// decides whether closing asks to save.
#pragma once

#include <string>
#include <string_view>

#include "common/SettingsEntries.h"
#include "settings/DataFile.h"

namespace morvane::settings {

// A byte buffer that Serialize either writes (storing) or reads (loading).
struct SettingsArchive {
    bool IsStoring = true;
    std::string Bytes;
};

class SettingsDocument final : public common::SettingSink {
  public:
    // Entry text for index 1 to 160; empty for any other index.
    const std::string& Entry(int index) const;
    const Entries& SettingsEntries() const { return entries_; }

    // Stores the value and marks the document modified; other indices are ignored.
    void SetEntry(std::string value, int index);

    // What a setting handler does: SetEntry, then, while no data file has been
    // applied yet, clear the modified mark again so that no save prompt comes.
    void StoreSetting(int index, std::string value) override;
    void StoreSetting(common::EntryId entry, std::string value) {
        StoreSetting(common::Index(entry), std::move(value));
    }

    // Storing: Bytes becomes the whole file. Loading: the entries are replaced
    // (all empty for a rejected file); on failure they stay as they were.
    LoadResult Serialize(SettingsArchive& archive);

    // A new document: all entries empty, not modified.
    void Reset();

    bool IsModified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    // Set once a data file has been applied; from then on changes are kept marked.
    bool SettingsApplied() const { return settingsApplied_; }
    void SetSettingsApplied(bool applied) { settingsApplied_ = applied; }

  private:
    Entries entries_;
    bool modified_ = false;
    bool settingsApplied_ = false;
};

}  // namespace morvane::settings
