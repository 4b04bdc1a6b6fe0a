// Bringing the station to the state stored in the settings document, in a
// fixed order (contest mode first, so that entries 13 to 15 land in the right
// place; the option string before the things it affects). Each entry is
// skipped when empty, copied even when empty, or selected by its word.
#pragma once

#include <string_view>

#include "settings/ApplyTargets.h"
#include "settings/OptionDialog.h"
#include "settings/SettingsDocument.h"

namespace morvane::settings {

inline constexpr std::string_view kUsbNotFoundMessage = "USBIF4CWが見つかりませんでした。";
inline constexpr std::string_view kPortNotOpenedMessage = "ポートが開けませんでした。";
inline constexpr std::string_view kDefaultAutoCqTimes = "0705";

// " (" + the file name after the last path separator + ")".
std::string TitleFilePart(std::string_view documentPath);

// Applies every entry of `document`; `state` receives the option string, the
// operator texts and the data-file path. Does not store any entry again.
void ApplySettings(const SettingsDocument& document, std::string_view documentPath,
                   OptionState& state, ApplyTargets& targets);

// Applies one entry's text the way a data file's entry is applied (its
// rule from the entry table, its target), without storing it. Entries 1 to
// 30 follow the contest mode in force; entry 125 applies only in contest
// mode. Entry 91 is applied only when it differs from the current options.
void ApplyEntry(int index, const std::string& value, OptionState& state, ApplyTargets& targets);

}  // namespace morvane::settings
