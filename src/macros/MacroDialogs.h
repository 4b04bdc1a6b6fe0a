// The editing dialogs of the macros as data and logic: their tag lists,
// inserting a chosen tag at the caret, the caption colour button, the Remarks
// width warnings and the Auto CQ times text. The window draws them.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::macros {

// Macro dialog heading: "Macro7" or "Macro7 for TEST".
std::string MacroDialogHeading(int macro, bool contest);
bool IsContestHeading(std::string_view heading);  // ends with "TEST"

// The macro dialog's four lists (items keep their leading blank; the Space list has none).
std::vector<std::string_view> MacroTagList(bool contest);
std::span<const std::string_view> SpeedTagList();
std::span<const std::string_view> RatioTagList();
std::span<const std::string_view> SpaceTagList();
std::span<const std::string_view> RemarksTagList();  // fifth item selected at first
std::span<const std::string_view> SendNrTagList();   // " <HisRST>", " <TestNR>"
std::vector<std::string_view> AutoCqTagList(bool contest);

inline constexpr int kRemarksInitialItem = 4;  // " <SendNR%15>"

// The "Caption" button: 0, 1, 2, 3, 4, 5, 0 ...
int NextCaptionColour(int colour);

// A list item inserted at the caret, replacing the selection [selStart, selEnd)
// (byte offsets); leading blanks of the item are removed. Returns the new
// caret offset, just after the inserted text.
std::size_t InsertTagAtCaret(std::string& text, std::size_t selStart, std::size_t selEnd,
                             std::string_view item);

// Remarks dialog: the warning to show after a change of `text`, given the
// item chosen last from its list; nothing when no warning applies.
std::optional<std::string> RemarksWidthWarning(std::string_view text,
                                               std::string_view lastChosenItem);

// Auto CQ dialog: hidden text "IIRR" or "IIRR for TEST".
std::string AutoCqHiddenText(std::string_view times, bool contest);
struct AutoCqSpinners {
    int Interval = 7;  // 1 to 30
    int Repeat = 5;    // 1 to 7
};
AutoCqSpinners SpinnersFromTimes(std::string_view hiddenText);
std::string TimesFromSpinners(int interval, int repeat);  // "1203"

}  // namespace morvane::macros
