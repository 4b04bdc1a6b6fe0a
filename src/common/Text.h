// Small text shaping shared by tools, tests and benchmarks.
#pragma once

#include <string>
#include <string_view>

namespace morvane::common {

// Line breaks become blanks, runs of blanks collapse to one, and blanks at
// either end go: window text compared as words.
std::string CollapseBlanks(std::string_view text);

}  // namespace morvane::common
