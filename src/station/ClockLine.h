// The line a clock button stamps into the receive window: the time, the
// zone word and the date, in English whatever the desktop's locale.
#pragma once

#include <string>
#include <string_view>

#include "macros/StationClock.h"

namespace morvane::station {

// " == 09:05 UTC, Mon, Dec 07 2026 ==" followed by "\r\n"; `zone` is "UTC",
// "JST" or "Local".
std::string ClockLineText(const macros::CivilTime& time, std::string_view zone);

}  // namespace morvane::station
