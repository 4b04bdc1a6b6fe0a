#include "qso/CallSign.h"

#include <vector>

#include "common/Utf8.h"

namespace morvane::qso {
namespace {

using Chars = std::vector<std::string_view>;

constexpr std::string_view kSetP3 = "23456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kSetPD = "ACDEHJLPSTVYZ";
constexpr std::string_view kSetP1 = "BFGIKMNRW2";

bool IsAscii(std::string_view c) {
    return c.size() == 1;
}
bool IsDigit(std::string_view c) {
    return IsAscii(c) && c[0] >= '0' && c[0] <= '9';
}
bool IsLetter(std::string_view c) {
    return IsAscii(c) && c[0] >= 'A' && c[0] <= 'Z';
}
bool InSet(std::string_view c, std::string_view set) {
    return IsAscii(c) && set.find(c[0]) != std::string_view::npos;
}
bool Is(std::string_view c, char want) {
    return IsAscii(c) && c[0] == want;
}

std::string Join(const Chars& chars, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < to && i < chars.size(); ++i)
        out += chars[i];
    return out;
}

// Accepts a prefix of one character and the call-area digit.
std::optional<std::string> TwoCharacterTest(std::string_view a, std::string_view digit) {
    if (!InSet(a, kSetP1))
        return std::nullopt;
    return std::string(a) + std::string(digit);
}

std::optional<std::string> ThreeCharacterTest(std::string_view a, std::string_view b,
                                              std::string_view digit) {
    if (IsDigit(b)) {
        if (!InSet(a, kSetPD))
            return std::nullopt;
        return std::string(a) + std::string(b) + std::string(digit);
    }
    if (IsLetter(b)) {
        if (InSet(a, kSetP3))
            return std::string(a) + std::string(b) + std::string(digit);
        return TwoCharacterTest(b, digit);
    }
    return std::nullopt;
}

// Reduces the text up to the call-area digit to the prefix it ends with.
std::optional<std::string> ReducePrefix(const Chars& p) {
    const std::size_t n = p.size();
    auto three = [&] { return ThreeCharacterTest(p[n - 3], p[n - 2], p[n - 1]); };
    auto two = [&] { return TwoCharacterTest(p[n - 2], p[n - 1]); };
    if (n >= 5) {
        const std::size_t f = n - 5;  // first of the last five
        if (Is(p[f], 'D') && Is(p[f + 1], 'E'))
            return three();
        if (Is(p[f + 1], 'D') && Is(p[f + 2], 'E'))
            return two();
        return three();
    }
    if (n == 4)
        return (Is(p[0], 'D') && Is(p[1], 'E')) ? two() : three();
    if (n == 3)
        return three();
    return two();
}

// Keeps at most three suffix letters, and a "/digit" right after them.
std::string ShortenSuffix(const Chars& s) {
    std::size_t slash = s.size();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (Is(s[i], '/')) {
            slash = i;
            break;
        }
    }
    if (slash == s.size())
        return Join(s, 0, 3);
    const std::size_t j = slash <= 3 ? slash : 3;
    if (j + 1 < s.size() && IsDigit(s[j + 1]))
        return Join(s, 0, j + 2);
    return Join(s, 0, j);
}

}  // namespace

std::optional<std::string> ParseCallSign(std::string_view word) {
    Chars chars;
    for (std::string_view c : common::SplitUtf8(word)) {
        if (!Is(c, ' '))
            chars.push_back(c);
    }
    if (chars.empty())
        return std::nullopt;

    // The call-area digit: the last digit that does not follow a "/".
    std::size_t digit = chars.size();
    for (std::size_t i = chars.size(); i-- > 0;) {
        if (IsDigit(chars[i]) && !(i > 0 && Is(chars[i - 1], '/'))) {
            digit = i;
            break;
        }
    }
    if (digit == chars.size())
        return std::nullopt;
    const Chars p(chars.begin(), chars.begin() + static_cast<std::ptrdiff_t>(digit) + 1);
    const Chars s(chars.begin() + static_cast<std::ptrdiff_t>(digit) + 1, chars.end());
    if (s.empty() || p.size() < 2)
        return std::nullopt;

    std::optional<std::string> prefix = ReducePrefix(p);
    if (!prefix)
        return std::nullopt;
    return *prefix + ShortenSuffix(s);
}

std::optional<std::string> CaptureCallSign(std::string_view receiveText) {
    constexpr std::size_t kWindow = 30;
    Chars text = common::SplitUtf8(receiveText);
    if (text.size() >= kWindow)
        text.erase(text.begin(), text.end() - kWindow);
    const std::size_t firstLength = text.size();

    auto boundaryWidth = [&](std::size_t i) -> std::size_t {
        if (i + 1 < text.size() && Is(text[i], ' ') && Is(text[i + 1], ' '))
            return 2;
        if (i + 2 < text.size() && Is(text[i], 'R') && Is(text[i + 1], 'X') &&
            Is(text[i + 2], '>')) {
            return 3;
        }
        return 0;
    };

    for (std::size_t i = text.size(); i-- > 0;) {
        const std::size_t width = boundaryWidth(i);
        if (width == 0 && i != 0)
            continue;
        const std::size_t start = i + width;
        // Cuts made during the walk do not shorten the length this test uses.
        const std::size_t length = (i == 0) ? text.size() - start : firstLength - start;
        if (length >= 3 || i == 0) {
            if (auto call = ParseCallSign(Join(text, start, text.size())))
                return call;
            text.resize(i);
            continue;
        }
        if (width == 2) {
            text.resize(i);
            continue;
        }
        return std::nullopt;  // a prompt with too little after it ends the search
    }
    return std::nullopt;
}

}  // namespace morvane::qso
