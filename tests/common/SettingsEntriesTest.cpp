// The entry table's invariants: one row per index in order, unique names
// that map back to their entries, and word lists that an ON/OFF or choice
// entry can be written with.
#include <gtest/gtest.h>

#include <set>

#include "common/SettingsEntries.h"

namespace morvane::common {
namespace {

TEST(SettingsEntries, OneRowPerIndexWithUniqueNamesAndUsableWords) {
    std::set<std::string> names;
    for (int index = 1; index <= kEntryCount; ++index) {
        const EntryRow& entryRow = RowOf(index);
        EXPECT_EQ(entryRow.Index, index);
        std::string name = EntryName(index);
        EXPECT_FALSE(name.empty()) << index;
        EXPECT_TRUE(names.insert(name).second) << "duplicate " << name;
        EXPECT_EQ(EntryIndexOf(name), index) << name;
        auto words = EntryWords(entryRow);
        if (entryRow.Kind == EntryKind::Switch) {
            EXPECT_EQ(words.size(), 2u) << name;
        }
        if (entryRow.Kind == EntryKind::Choice) {
            EXPECT_GE(words.size(), 2u) << name;
        }
        EXPECT_EQ(entryRow.Rule == ApplyRule::DefaultWhenEmpty, !entryRow.EmptyAs.empty()) << name;
    }
    EXPECT_EQ(EntryIndexOf("MacroText1"), MacroTextEntry(1));
    EXPECT_EQ(EntryIndexOf("MacroText"), 0);
    EXPECT_EQ(EntryIndexOf("MacroLabel31"), 0);
    EXPECT_EQ(EntryName(0), "");
    EXPECT_EQ(EntryName(kEntryCount + 1), "");
    EXPECT_EQ(WebLinkEntry(7, 1), 141);
    EXPECT_EQ(RowOf(EntryId::QslPrefix).Index, 142);
}

}  // namespace
}  // namespace morvane::common
