// The 160 settings entries: index, name, how a data file's value is applied
// and the words it accepts. Every reader and writer of an entry goes through
// this table and the names below, so an entry cannot be stored under one
// number and applied from another.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace morvane::common {

// How ApplySettings treats an entry.
enum class ApplyRule : std::uint8_t {
    SkippedWhenEmpty,  // nothing happens for an empty entry
    CopiedAsIs,        // also when empty (an empty entry empties the field)
    SelectedByWord,    // the state whose word the entry equals; no emptiness test
    DefaultWhenEmpty,  // an empty entry is applied as `EmptyAs`
    NotUsed,           // saved and loaded, never applied
};

// What the entry's text holds.
enum class EntryKind : std::uint8_t {
    Text,     // free text
    Decimal,  // a number in decimal
    Switch,   // Words[0] is the ON word, Words[1] the one written for off
    Choice,   // one of Words
};

inline constexpr int kEntryCount = 160;

// Stores one entry's new text: the setting handlers of every subsystem write
// through it, the station behind it keeps the document.
class SettingSink {
  public:
    virtual ~SettingSink() = default;
    virtual void StoreSetting(int entry, std::string value) = 0;
};

// The entries that stand alone; ranges have helpers below.
enum class EntryId : int {
    OptionString = 91,
    MyCall = 92,
    MyName = 93,
    MyQTH = 94,
    Others = 95,
    KeyPort = 96,
    KeyLine = 97,
    InputChannel = 98,
    TxSpeed = 99,
    LevelDisplay = 100,
    GraphicMode = 101,
    InputVolume = 102,
    NoiseReduction = 103,
    QrmFilter = 104,
    ThresholdDb = 105,
    ToneCentre = 106,
    CaptureDevice = 107,
    KeyMode = 108,
    SpaceDel = 109,
    RxLanguage = 110,
    Extend = 111,
    AutoThreshold = 112,
    TxClearAuto = 113,
    TxClearDelay = 114,
    AutoCqText = 115,
    RxAutoSpeed = 116,
    QslText = 117,
    DotRatio = 118,
    DashRatio = 119,
    CharSpaceRatio = 120,
    WordSpaceRatio = 121,
    AutoCqTimes = 122,
    ContestName = 123,
    ContestMode = 124,
    ContestNumber = 125,
    QslPrefix = 142,
};

constexpr int Index(EntryId id) {
    return static_cast<int>(id);
}

inline constexpr int kMacroCount = 30;
inline constexpr int kWebLinkCount = 8;

// The option string (entry OptionString) before any file set it: one
// character per option, 30 in all.
inline constexpr std::string_view kDefaultOptions = "MKNNNJJ001218NN0NNNR9ANNHCNNNN";
// Macro 1 to 30: its text, label and label colour.
constexpr int MacroTextEntry(int macro) {
    return macro;
}
constexpr int MacroLabelEntry(int macro) {
    return 30 + macro;
}
constexpr int MacroColourEntry(int macro) {
    return 60 + macro;
}
// Web link 0 to 7: part 0 its caption, part 1 its address.
constexpr int WebLinkEntry(int link, int part) {
    return 126 + 2 * link + part;
}

struct EntryRow {
    int Index = 0;
    std::string_view Name;  // with Ordinal appended for ranges ("MacroText7")
    int Ordinal = 0;        // 0 for a single entry
    ApplyRule Rule = ApplyRule::NotUsed;
    EntryKind Kind = EntryKind::Text;
    std::array<std::string_view, 4> Words{};
    std::string_view EmptyAs{};
};

namespace detail {

constexpr EntryRow Single(EntryId id, std::string_view name, ApplyRule rule, EntryKind kind,
                          std::array<std::string_view, 4> words = {}) {
    return {.Index = Index(id), .Name = name, .Rule = rule, .Kind = kind, .Words = words};
}

constexpr std::array<EntryRow, kEntryCount> MakeEntryTable() {
    using enum ApplyRule;
    using enum EntryKind;
    std::array<EntryRow, kEntryCount> t{};
    for (int k = 1; k <= kMacroCount; ++k) {
        t[MacroTextEntry(k) - 1] = {.Index = MacroTextEntry(k),
                                    .Name = "MacroText",
                                    .Ordinal = k,
                                    .Rule = SkippedWhenEmpty,
                                    .Kind = Text};
        t[MacroLabelEntry(k) - 1] = {.Index = MacroLabelEntry(k),
                                     .Name = "MacroLabel",
                                     .Ordinal = k,
                                     .Rule = SkippedWhenEmpty,
                                     .Kind = Text};
        t[MacroColourEntry(k) - 1] = {.Index = MacroColourEntry(k),
                                      .Name = "MacroColour",
                                      .Ordinal = k,
                                      .Rule = SkippedWhenEmpty,
                                      .Kind = Decimal};
    }
    const EntryRow singles[] = {
        Single(EntryId::OptionString, "OptionString", SkippedWhenEmpty, Text),
        Single(EntryId::MyCall, "MyCall", CopiedAsIs, Text),
        Single(EntryId::MyName, "MyName", CopiedAsIs, Text),
        Single(EntryId::MyQTH, "MyQTH", CopiedAsIs, Text),
        Single(EntryId::Others, "Others", CopiedAsIs, Text),
        Single(EntryId::KeyPort, "KeyPort", SkippedWhenEmpty, Text),
        Single(EntryId::KeyLine, "KeyLine", SelectedByWord, Choice, {"RTS", "DTR", "UNO"}),
        Single(EntryId::InputChannel, "InputChannel", SkippedWhenEmpty, Choice,
               {"RightTone", "LeftTone"}),
        Single(EntryId::TxSpeed, "TxSpeed", SkippedWhenEmpty, Decimal),
        Single(EntryId::LevelDisplay, "LevelDisplay", SelectedByWord, Choice, {"CW", "Signal"}),
        Single(EntryId::GraphicMode, "GraphicMode", SelectedByWord, Choice,
               {"Sine", "Synchro", "FFT"}),
        Single(EntryId::InputVolume, "InputVolume", SkippedWhenEmpty, Decimal),
        Single(EntryId::NoiseReduction, "NoiseReduction", SkippedWhenEmpty, Choice,
               {"NoiseON1", "NoiseON2", "NoiseOFF"}),
        Single(EntryId::QrmFilter, "QrmFilter", SkippedWhenEmpty, Switch, {"QRMON", "QRMOFF"}),
        Single(EntryId::ThresholdDb, "ThresholdDb", SkippedWhenEmpty, Decimal),
        // "ToneAUTO", "ToneAutoOff" or a centre frequency in Hz.
        Single(EntryId::ToneCentre, "ToneCentre", SkippedWhenEmpty, Text,
               {"ToneAUTO", "ToneAutoOff"}),
        Single(EntryId::CaptureDevice, "CaptureDevice", SkippedWhenEmpty, Text),
        Single(EntryId::KeyMode, "KeyMode", SelectedByWord, Choice,
               {"TXENG", "DIRECT", "IME", "KANA"}),
        Single(EntryId::SpaceDel, "SpaceDel", SkippedWhenEmpty, Switch,
               {"SpaceDelON", "SpaceDelOFF"}),
        // Language letter then the automatic-switch letter.
        Single(EntryId::RxLanguage, "RxLanguage", SelectedByWord, Text),
        Single(EntryId::Extend, "Extend", SkippedWhenEmpty, Switch, {"ExtendON", "ExtendOFF"}),
        Single(EntryId::AutoThreshold, "AutoThreshold", SelectedByWord, Switch,
               {"ThreON", "ThreOFF"}),
        Single(EntryId::TxClearAuto, "TxClearAuto", SkippedWhenEmpty, Switch,
               {"TxClearAutoON", "TxClearAutoOFF"}),
        Single(EntryId::TxClearDelay, "TxClearDelay", SkippedWhenEmpty, Decimal),
        Single(EntryId::AutoCqText, "AutoCqText", CopiedAsIs, Text),
        Single(EntryId::RxAutoSpeed, "RxAutoSpeed", SkippedWhenEmpty, Switch,
               {"rxautoON", "rxautoOFF"}),
        Single(EntryId::QslText, "QslText", CopiedAsIs, Text),
        Single(EntryId::DotRatio, "DotRatio", SelectedByWord, Text),
        Single(EntryId::DashRatio, "DashRatio", SelectedByWord, Text),
        Single(EntryId::CharSpaceRatio, "CharSpaceRatio", SelectedByWord, Text),
        Single(EntryId::WordSpaceRatio, "WordSpaceRatio", SkippedWhenEmpty, Text),
        Single(EntryId::ContestName, "ContestName", SkippedWhenEmpty, Text),
        Single(EntryId::ContestMode, "ContestMode", SelectedByWord, Switch,
               {"ContestON", "ContestOFF"}),
        Single(EntryId::ContestNumber, "ContestNumber", SkippedWhenEmpty, Text),
        Single(EntryId::QslPrefix, "QslPrefix", CopiedAsIs, Text),
    };
    for (const EntryRow& s : singles) {
        t[s.Index - 1] = s;
    }
    t[Index(EntryId::AutoCqTimes) - 1] = {.Index = Index(EntryId::AutoCqTimes),
                                          .Name = "AutoCqTimes",
                                          .Rule = DefaultWhenEmpty,
                                          .Kind = Decimal,
                                          .EmptyAs = "0705"};
    for (int link = 0; link < kWebLinkCount; ++link) {
        for (int part = 0; part < 2; ++part) {
            int index = WebLinkEntry(link, part);
            t[index - 1] = {.Index = index,
                            .Name = part == 0 ? "WebLinkName" : "WebLinkUrl",
                            .Ordinal = link + 1,
                            .Rule = SkippedWhenEmpty,
                            .Kind = Text};
        }
    }
    for (int index = Index(EntryId::QslPrefix) + 1; index <= kEntryCount; ++index) {
        t[index - 1] = {.Index = index, .Name = "Unused", .Ordinal = index};
    }
    return t;
}

}  // namespace detail

inline constexpr std::array<EntryRow, kEntryCount> kEntryTable = detail::MakeEntryTable();

// The row of entry 1 to 160.
constexpr const EntryRow& RowOf(int index) {
    return kEntryTable.at(index - 1);
}
constexpr const EntryRow& RowOf(EntryId id) {
    return RowOf(Index(id));
}

// "MyCall", "MacroText7"; empty for an index outside 1 to 160.
std::string EntryName(int index);
// The entry of a name as EntryName gives it; 0 when there is none.
int EntryIndexOf(std::string_view name);

// The words an entry accepts (empty for free text and numbers).
std::span<const std::string_view> EntryWords(const EntryRow& entryRow);

}  // namespace morvane::common
