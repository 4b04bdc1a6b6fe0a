#include "qso/LogFormats.h"

#include <cctype>

#include "common/Utf8.h"
#include "macros/MacroExpansion.h"

namespace morvane::qso {
namespace {

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string ReportDigits(std::string_view report) {
    std::string out(report);
    for (char& c : out) {
        if (c == 'N')
            c = '9';
    }
    return out;
}

std::string ReceivedNumberDigits(std::string_view number) {
    return macros::UncutNumber(number);
}

std::optional<std::string> QthAsNumber(std::string_view qth) {
    if (qth.size() < 4 || qth.size() > 7)
        return std::nullopt;
    std::string upper;
    for (char c : qth)
        upper += Upper(c);
    std::string code = upper;
    for (char& c : code) {
        if (c == 'O' || c == 'T')
            c = '0';
        if (c == 'A')
            c = '1';
        if (c == 'N')
            c = '9';
    }
    auto allDigits = [](std::string_view text) {
        for (char c : text) {
            if (!IsDigit(c))
                return false;
        }
        return true;
    };
    if (allDigits(code))
        return code;
    // A city code with a ward letter: "ddddd/L".
    const char last = upper.back();
    if (upper.size() == 7 && upper[5] == '/' && last >= 'A' && last <= 'Z' &&
        allDigits(std::string_view(code).substr(0, 5))) {
        return code.substr(0, 5) + last;
    }
    return std::nullopt;
}

std::string QslTextFor(std::string_view qslText, char eightCharacter, std::string_view hisCall) {
    const bool eight =
        hisCall.starts_with("8N") || hisCall.starts_with("8J") || hisCall.starts_with("8K");
    const auto characters = common::SplitUtf8(qslText);
    if (!eight || characters.empty())
        return std::string(qslText);
    // A one-character text gains the mark as its second character.
    std::string text(characters[0]);
    text += eightCharacter;
    for (std::size_t i = 2; i < characters.size(); ++i)
        text += characters[i];
    return text;
}

std::uint32_t DomesticCommand(std::string_view hisCall) {
    const std::string_view head = hisCall.substr(0, 2);
    const bool japan = (head >= "JA" && head <= "JS") || (head >= "7J" && head <= "7N") ||
                       (head >= "8J" && head <= "8N");
    return japan ? 26 : 25;
}

std::string CountUpContestNumber(std::string_view number) {
    if (number.empty())
        return {};
    // Decimal addition on the text itself: no overflow, width kept or grown.
    std::string out(number);
    std::size_t i = out.size();
    while (i > 0) {
        --i;
        if (!IsDigit(out[i]))
            return std::string(number);  // the field takes digits only
        if (out[i] != '9') {
            ++out[i];
            return out;
        }
        out[i] = '0';
    }
    return "1" + out;
}

std::optional<std::string> PrintableAscii(std::string_view text) {
    for (char c : text) {
        if (c < ' ' || c > '~')
            return std::nullopt;
    }
    return std::string(text);
}

std::string WithoutBlanks(std::string_view text) {
    std::string out(text);
    std::erase(out, ' ');
    return out;
}

}  // namespace morvane::qso
