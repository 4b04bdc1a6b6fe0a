// The data file's bytes, derived by hand from the format: tag FF FE FF,
// length byte / FF + 16 bits / FF FFFF + 32 bits, UTF-16LE text.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <tuple>

#include "settings/DataFile.h"
#include "settings/SettingsDocument.h"
#include "settings/SettingsFile.h"
#include "settings/WindowPlacement.h"

namespace morvane::settings {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out.push_back(static_cast<char>(v));
    }
    return out;
}

// Slow reference for ASCII text: tag, one length byte, each char then 00.
std::string ShortAsciiString(std::string_view text) {
    std::string out = Bytes({0xFF, 0xFE, 0xFF, static_cast<int>(text.size())});
    for (char c : text) {
        out.push_back(c);
        out.push_back('\0');
    }
    return out;
}

std::string Encoded(std::string_view utf8) {
    std::string out;
    AppendArchiveString(out, utf8);
    return out;
}

TEST(DataFileTest, LengthPrefixesAndTextBytes) {
    EXPECT_EQ(Encoded(""), Bytes({0xFF, 0xFE, 0xFF, 0x00}));
    EXPECT_EQ(Encoded("A"), Bytes({0xFF, 0xFE, 0xFF, 0x01, 0x41, 0x00}));
    EXPECT_EQ(Encoded("あ"), Bytes({0xFF, 0xFE, 0xFF, 0x01, 0x42, 0x30}));
    // U+1F600 is the surrogate pair D83D DE00: two characters long.
    EXPECT_EQ(Encoded("\U0001F600"), Bytes({0xFF, 0xFE, 0xFF, 0x02, 0x3D, 0xD8, 0x00, 0xDE}));

    const std::pair<std::size_t, std::string> cases[] = {
        {254, Bytes({0xFF, 0xFE, 0xFF, 0xFE})},
        {255, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00})},
        {65533, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF})},
        {65534, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {65535, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
        {70000, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
    };
    for (const auto& [length, prefix] : cases) {
        std::string bytes = Encoded(std::string(length, 'z'));
        ASSERT_EQ(bytes.size(), prefix.size() + 2 * length) << length;
        EXPECT_EQ(bytes.substr(0, prefix.size()), prefix) << length;
        EXPECT_EQ(bytes.substr(prefix.size(), 2), Bytes({'z', 0})) << length;
    }
}

TEST(DataFileTest, EmptyDocumentIsMarkersAndFourBytesPerEntry) {
    std::string expected = ShortAsciiString("<<## MRVN2-7-1 data ##>>");
    for (int i = 0; i < 160; ++i) {
        expected += Bytes({0xFF, 0xFE, 0xFF, 0x00});
    }
    expected += ShortAsciiString("<<## MRVN2-7-1 end ##>>");
    EXPECT_EQ(expected.size(), 742u);
    EXPECT_EQ(WriteDataFile(Entries{}), expected);
}

Entries AwkwardEntries() {
    Entries entries;
    entries[1] = std::string(254, 'a');
    entries[2] = std::string(255, 'b');
    entries[3] = std::string(65534, 'c');
    entries[4] = std::string(65535, 'd');
    entries[5] = std::string(70001, 'e');
    entries[6] = "\U0001F600 CQ \U00020BB7";
    entries[7] = "tab\there\r\nback\\slash";
    entries[91] = "MKNNNJJ001218NN0NNNR9ANNHCNNNN";
    entries[92] = "JA1ZZZ";
    entries[107] = "マイク (USB オーディオ)";
    entries[160] = "last";
    return entries;
}

TEST(DataFileTest, RoundTripKeepsEveryEntryAndEveryByte) {
    Entries original = AwkwardEntries();
    std::string bytes = WriteDataFile(original);
    Entries loaded;
    loaded[8] = "stale";
    LoadResult result = ReadDataFile(bytes, loaded);
    ASSERT_EQ(result.Status, LoadStatus::Loaded) << result.Error;
    EXPECT_EQ(loaded, original);
    EXPECT_EQ(WriteDataFile(loaded), bytes);
}

TEST(DataFileTest, WrongStartMarkerEmptiesTheDocument) {
    Entries entries = AwkwardEntries();
    std::string bytes = ShortAsciiString("<<## MRVN2-7-1 end ##>>");
    LoadResult result = ReadDataFile(bytes, entries);
    EXPECT_EQ(result.Status, LoadStatus::Rejected);
    EXPECT_EQ(result.Error,
              "このファイルは読めません。\n別のファイルを開くか、「新規作成」してください。");
    EXPECT_EQ(entries, Entries{});
}

TEST(DataFileTest, TruncationAtAnyOffsetFailsAndKeepsEntries) {
    Entries small;
    small[1] = std::string(300, 'x');
    small[2] = "あいう\U0001F600";
    small[160] = "end";
    const std::string bytes = WriteDataFile(small);
    const Entries before = AwkwardEntries();
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        Entries entries = before;
        LoadResult result = ReadDataFile(std::string_view(bytes).substr(0, cut), entries);
        ASSERT_EQ(result.Status, LoadStatus::Failed) << "cut at " << cut;
        ASSERT_NE(result.Error.find("end"), std::string::npos) << result.Error;
        ASSERT_EQ(entries, before) << "cut at " << cut;
    }
    // Bytes after the end marker are not read.
    Entries entries;
    EXPECT_EQ(ReadDataFile(bytes + "x", entries).Status, LoadStatus::Loaded);
}

TEST(DataFileTest, MalformedStringsGiveClearErrorsQuickly) {
    const std::string start = ShortAsciiString("<<## MRVN2-7-1 data ##>>");
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"absurd 32-bit length",
         Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x41, 0x00}),
         "4294967295 characters"},
        {"odd byte count", Bytes({0xFF, 0xFE, 0xFF, 0x03, 0x41, 0x00, 0x42, 0x00, 0x43}),
         "3 characters"},
        {"unpaired high surrogate", Bytes({0xFF, 0xFE, 0xFF, 0x02, 0x3D, 0xD8, 0x41, 0x00}),
         "surrogate"},
        {"lone low surrogate", Bytes({0xFF, 0xFE, 0xFF, 0x01, 0x00, 0xDE}), "surrogate"},
        {"two tags", Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x00}), "repeated Unicode tag"},
    };
    for (const auto& [name, entry1, errorPart] : cases) {
        Entries entries;
        auto began = std::chrono::steady_clock::now();
        LoadResult result = ReadDataFile(start + entry1, entries);
        EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(1)) << name;
        EXPECT_EQ(result.Status, LoadStatus::Failed) << name;
        EXPECT_NE(result.Error.find("entry 1:"), std::string::npos) << name << result.Error;
        EXPECT_NE(result.Error.find(errorPart), std::string::npos) << name << result.Error;
    }
}

TEST(DataFileTest, UntaggedStringsAreCp932Text) {
    // Start marker without the tag: a length byte and 8-bit characters.
    std::string bytes = Bytes({24}) + "<<## MRVN2-7-1 data ##>>";
    // Entry 1: "あア" plus half-width "ｱ" in CP932, and an invalid lead byte at the end.
    bytes += Bytes({6, 0x82, 0xA0, 0x83, 0x41, 0xB1, 0x81});
    // Entry 2: 300 8-bit characters behind the FF escape.
    bytes += Bytes({0xFF, 0x2C, 0x01}) + std::string(300, 'q');
    for (int i = 3; i <= 160; ++i) {
        bytes += Bytes({0});
    }
    bytes += Bytes({0});  // end marker text is not checked
    Entries entries;
    LoadResult result = ReadDataFile(bytes, entries);
    ASSERT_EQ(result.Status, LoadStatus::Loaded) << result.Error;
    EXPECT_EQ(entries[1], "あアｱ\uFFFD");
    EXPECT_EQ(entries[2], std::string(300, 'q'));
    EXPECT_EQ(entries[3], "");
}

TEST(DataFileTest, StoreSettingKeepsTheDocumentCleanUntilSettingsApplied) {
    SettingsDocument document;
    document.StoreSetting(common::EntryId::ContestMode, "ContestON");
    EXPECT_EQ(document.Entry(124), "ContestON");
    EXPECT_FALSE(document.IsModified());
    document.SetSettingsApplied(true);
    document.StoreSetting(common::EntryId::ContestMode, "ContestOFF");
    EXPECT_TRUE(document.IsModified());
    document.SetEntry("x", 0);
    document.SetEntry("x", 161);
    EXPECT_EQ(document.Entry(0), "");
    EXPECT_EQ(document.Entry(161), "");
}

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("morvane-settings-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::size_t FileCount() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir_),
                                                      std::filesystem::directory_iterator()));
    }
    std::filesystem::path dir_;
};

TEST_F(SettingsFileTest, SaveReplacesTheFileAndAFailedSaveLeavesNoTrace) {
    SettingsDocument document;
    document.SetEntry("JA1ZZZ", 92);
    std::string error;
    std::filesystem::path path = dir_ / "station.mrvn";
    ASSERT_TRUE(SaveSettingsFile(path, document, error)) << error;
    EXPECT_FALSE(document.IsModified());
    document.SetEntry("JA2YYY", 92);
    ASSERT_TRUE(SaveSettingsFile(path, document, error)) << error;
    EXPECT_EQ(FileCount(), 1u);  // no temporary file left behind

    SettingsDocument loaded;
    ASSERT_EQ(LoadSettingsFile(path, loaded).Status, LoadStatus::Loaded);
    EXPECT_EQ(loaded.Entry(92), "JA2YYY");
    EXPECT_EQ(LoadSettingsFile(dir_ / "missing.mrvn", loaded).Status, LoadStatus::Failed);

    // A directory in the way makes the final rename fail.
    std::filesystem::path blocked = dir_ / "blocked.mrvn";
    std::filesystem::create_directories(blocked / "inside");
    document.SetEntry("x", 1);
    error.clear();
    EXPECT_FALSE(SaveSettingsFile(blocked, document, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(document.IsModified());
    EXPECT_TRUE(std::filesystem::is_directory(blocked / "inside"));
    EXPECT_EQ(FileCount(), 2u);
}

// Frame position in the profile: defaults, width/height stored as "right" and
// "bottom", and no write for a frame whose top or bottom edge is not above 0.
class MapProfile : public ProfileStore {
  public:
    std::optional<int> ReadInt(std::string_view section, std::string_view name) const override {
        auto it = values.find(std::string(section) + "/" + std::string(name));
        return it == values.end() ? std::nullopt : std::optional<int>(it->second);
    }
    void WriteInt(std::string_view section, std::string_view name, int value) override {
        values[std::string(section) + "/" + std::string(name)] = value;
    }
    std::map<std::string, int> values;
};

TEST(WindowPlacementTest, DefaultsStoredValuesAndTheWriteCondition) {
    MapProfile profile;
    EXPECT_EQ(ReadWindowPlacement(profile), (WindowPlacement{10, 10, 982, 896}));
    profile.values["MRVN_Section/top"] = 40;
    EXPECT_EQ(ReadWindowPlacement(profile), (WindowPlacement{10, 40, 982, 896}));

    WriteWindowPlacement(profile, 100, 50, 1100, 950);
    EXPECT_EQ(profile.values, (std::map<std::string, int>{{"MRVN_Section/left", 100},
                                                          {"MRVN_Section/top", 50},
                                                          {"MRVN_Section/right", 1000},
                                                          {"MRVN_Section/bottom", 900}}));
    EXPECT_EQ(ReadWindowPlacement(profile), (WindowPlacement{100, 50, 1000, 900}));

    MapProfile untouched;
    WriteWindowPlacement(untouched, 100, 0, 1100, 950);
    WriteWindowPlacement(untouched, 100, -32000, 1100, -31000);
    EXPECT_TRUE(untouched.values.empty());
}

}  // namespace
}  // namespace morvane::settings
