// Small text shaping shared by tools, tests and benchmarks.
#pragma once

#include <string>
#include <string_view>

namespace morvane::common {

// Line breaks become blanks, runs of blanks collapse to one, and blanks at
// either end go: window text compared as words.
std::string CollapseBlanks(std::string_view text);

// Levenshtein distance in bytes: the errors of a decoded text against the
// sent one, as insertions, deletions and substitutions.
std::size_t EditDistance(std::string_view a, std::string_view b);

}  // namespace morvane::common
