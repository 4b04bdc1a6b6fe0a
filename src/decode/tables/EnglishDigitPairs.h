// Digit pairs that both English receive tables read when two digits arrive run
// together; each pattern is the two digit patterns joined. Other pairs ("41",
// "56", ...) deliberately have no entry.
#pragma once

#include <array>
#include <string_view>

namespace morvane::decode::tables {

inline constexpr std::array<std::string_view, 48> kEnglishDigitPairs{{
    "15", "14", "13", "12", "11", "25", "24", "23", "22", "21", "35", "34", "33", "32", "31", "45",
    "44", "43", "42", "57", "58", "59", "50", "66", "67", "68", "69", "60", "76", "77", "78", "79",
    "70", "86", "87", "88", "89", "80", "96", "97", "98", "99", "90", "05", "04", "03", "02", "01",
}};

}  // namespace morvane::decode::tables
