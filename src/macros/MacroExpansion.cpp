// Macro tag expansion; see MacroExpansion.h. The order of the steps matters:
// text inserted by one tag is searched for the tags of the later steps (the
// SendNR template relies on it), never for its own tag again.
#include "macros/MacroExpansion.h"

#include <cstdio>

#include "common/Utf8.h"

namespace morvane::macros {

namespace {

char OptionAt(std::string_view optionString, std::size_t position) {
    return position < optionString.size() ? optionString[position] : 'N';
}

int TwoDigitOption(std::string_view optionString, std::size_t position) {
    return position < optionString.size() ? ParseDecimal(optionString.substr(position, 2)) : 0;
}

std::string ReportForTransfer(std::string report) {
    for (char& c : report) {
        if (c == 'N') {
            c = '9';
        }
    }
    return report;
}

std::string HourMinute(const CivilTime& time) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", time.Hour, time.Minute);
    return text;
}

std::string TrimBlanks(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n\v\f";
    std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    std::size_t last = text.find_last_not_of(kBlanks);
    return std::string(text.substr(first, last - first + 1));
}

std::string PadRight(std::string value, std::size_t width) {
    std::size_t length = common::Utf8Length(value);
    if (length < width) {
        value.append(width - length, ' ');
    }
    return value;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Width of "<Tag%n>" / "<Tag%nn>" starting at `at`: the width and the form's
// length, or a length of 0 when the form is malformed.
std::pair<int, std::size_t> ClosedWidth(std::string_view text, std::size_t at,
                                        std::size_t prefixLength) {
    std::size_t p = at + prefixLength;
    if (p < text.size() && IsDigit(text[p])) {
        if (p + 1 < text.size() && text[p + 1] == '>') {
            return {text[p] - '0', prefixLength + 2};
        }
        if (p + 2 < text.size() && IsDigit(text[p + 1]) && text[p + 2] == '>') {
            int width = (text[p] - '0') * 10 + (text[p + 1] - '0');
            return {width > 15 ? 15 : width, prefixLength + 3};
        }
    }
    return {0, 0};
}

// Replaces each well-formed width form; `valueFor(width)` gives the text.
template <typename ValueFor>
void ReplaceWidthForm(std::string& text, std::string_view prefix, ValueFor valueFor) {
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(prefix, from)) != std::string::npos;) {
        auto [width, length] = ClosedWidth(text, at, prefix.size());
        if (length == 0) {
            from = at + prefix.size();
            continue;
        }
        std::string value = valueFor(width);
        text.replace(at, length, value);
        from = at + value.size();
    }
}

}  // namespace

int ParseDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && IsDigit(text[i]) && value < 1'000'000'000; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    return static_cast<int>(negative ? -value : value);
}

bool ReplaceTag(std::string& text, std::string_view tag, std::string_view value) {
    bool replaced = false;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(tag, from)) != std::string::npos;) {
        text.replace(at, tag.size(), value);
        from = at + value.size();
        replaced = true;
    }
    return replaced;
}

std::string CutNumber(std::string_view number, std::string_view optionString) {
    std::string out(number);
    char zero = OptionAt(optionString, 15);
    bool cutOneNine = OptionAt(optionString, 16) == 'A';
    for (char& c : out) {
        if (c == '0' && (zero == 'O' || zero == 'T')) {
            c = zero;
        } else if (cutOneNine && c == '1') {
            c = 'A';
        } else if (cutOneNine && c == '9') {
            c = 'N';
        }
    }
    return out;
}

std::string UncutNumber(std::string_view number) {
    std::string out(number);
    for (char& c : out) {
        switch (c) {
            case 'N':
            case 'n':
                c = '9';
                break;
            case 'A':
            case 'a':
                c = '1';
                break;
            case 'O':
            case 'o':
            case 'T':
            case 't':
                c = '0';
                break;
            default:
                break;
        }
    }
    return out;
}

std::string AutoGreeting(int localHour, std::string_view optionString) {
    int gm = TwoDigitOption(optionString, 7);
    int ga = TwoDigitOption(optionString, 9);
    int ge = TwoDigitOption(optionString, 11);
    const char* chosen = nullptr;
    // Each test overrides the ones before it.
    if (localHour >= gm && localHour < ga) {
        chosen = "GM";
    }
    if (localHour >= ga && localHour < ge) {
        chosen = "GA";
    }
    if (localHour >= ge && localHour < 24) {
        chosen = "GE";
    }
    if (gm >= 1 && localHour < gm) {
        chosen = "GE";
    }
    if (localHour > 24) {
        chosen = "";
    }
    return chosen ? chosen : "AUTO";
}

std::string TemperatureText(std::string_view temperature, bool fahrenheit,
                            std::string_view optionString) {
    if (temperature.empty()) {
        return {};
    }
    std::string out(temperature);
    if (out.front() == '-' && OptionAt(optionString, 26) == 'M') {
        out.replace(0, 1, "MIN");
    }
    out += fahrenheit ? "F" : "C";
    return out;
}

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

void MacroExpander::ExpandMacroTags(const ExpansionFields& f) {
    std::string& text = WorkText;
    if (text.empty()) {
        return;
    }
    const bool send = !HamlogExpansion && !CtestwinExpansion;
    const ClockReading now = clock_.Now();  // one instant for every clock tag

    ReplaceTag(text, "<SendNR>", send ? f.SendNrText : f.SendNrTemplate);
    ReplaceTag(text, "<HisCall>", f.HisCall);
    ReplaceTag(text, "<HisName>", f.HisName);
    ReplaceTag(text, "<HisQTH>", f.HisQTH);
    ReplaceTag(text, "<HisRST>", send ? f.HisRST : ReportForTransfer(f.HisRST));
    ReplaceTag(text, "<MyRST>", send ? f.MyRST : ReportForTransfer(f.MyRST));
    ReplaceTag(text, "<MyQTH>", f.MyQTH);
    ReplaceTag(text, "<Others>", f.Others);
    ReplaceTag(text, "<MyCall>", f.MyCall);
    ReplaceTag(text, "<MyName>", f.MyName);
    if (text.find("<Greeting>") != std::string::npos) {
        // The country lookup runs only when a greeting is actually needed.
        std::string greeting =
            f.Greeting == "AUTO"
                ? AutoGreeting(greetingHours_.DxLocalHour(f.HisCall), f.OptionString)
                : f.Greeting;
        ReplaceTag(text, "<Greeting>", greeting);
    }
    ReplaceTag(text, "<MyWX>", f.MyWX);
    ReplaceTag(text, "<HisWX>", f.HisWX);
    ReplaceTag(text, "<MyTemp>", TemperatureText(f.MyTemp, f.Fahrenheit, f.OptionString));
    ReplaceTag(text, "<HisTemp>", TemperatureText(f.HisTemp, f.Fahrenheit, f.OptionString));
    if (f.TxInputMode == 3 && !kanaTable_.empty()) {
        std::string widened;
        for (std::string_view character : common::SplitUtf8(text)) {
            std::string_view replacement = character;
            for (const decode::HalfWidthKanaRow& row : kanaTable_) {
                if (!row.HalfWidth.empty() && row.HalfWidth == character) {
                    replacement = row.FullWidth;
                    break;
                }
            }
            widened += replacement;
        }
        text = std::move(widened);
    }
    if (f.ContestMode) {
        ReplaceTag(text, "<TestNR>", send ? CutNumber(f.TestNR, f.OptionString) : f.TestNR);
        ReplaceTag(text, "<TestName>", f.TestName);
        bool uncut = HamlogExpansion && !f.RcvdNR.empty() && OptionAt(f.OptionString, 14) == 'A';
        ReplaceTag(text, "<RcvdNR>", uncut ? UncutNumber(f.RcvdNR) : f.RcvdNR);
        ReplaceTag(text, "<JST>", HourMinute(now.Local));
        ReplaceTag(text, "<UTC>", HourMinute(now.Utc));
    }
    text = TrimBlanks(text);
}

void MacroExpander::ReplaceWidthForms(const ExpansionFields& f) {
    const bool uncut = OptionAt(f.OptionString, 14) == 'A';
    ReplaceWidthForm(WorkText, "<RcvdNR%", [&](int width) {
        std::string value = PadRight(f.RcvdNR, static_cast<std::size_t>(width));
        return uncut ? UncutNumber(value) : value;
    });
    ReplaceWidthForm(WorkText, "<SendNR%", [&](int width) {
        MacroExpander inner(clock_, greetingHours_, kanaTable_);
        inner.HamlogExpansion = true;
        inner.WorkText = f.SendNrTemplate;
        inner.ExpandMacroTags(f);
        return PadRight(inner.WorkText, static_cast<std::size_t>(width));
    });
    // The TestNR form is a fixed ten characters: "<TestNR%", one digit, and
    // one more character that is taken to be ">".
    constexpr std::string_view kTestPrefix = "<TestNR%";
    std::size_t from = 0;
    for (std::size_t at; (at = WorkText.find(kTestPrefix, from)) != std::string::npos;) {
        std::size_t digit = at + kTestPrefix.size();
        if (digit + 1 >= WorkText.size() || !IsDigit(WorkText[digit])) {
            from = digit;
            continue;
        }
        std::size_t tagBytes =
            kTestPrefix.size() + 1 + common::Utf8CharAt(WorkText, digit + 1).size();
        std::size_t width = static_cast<std::size_t>(WorkText[digit] - '0');
        std::string value = f.TestNR;
        std::size_t length = common::Utf8Length(value);
        if (length < width) {
            value.insert(0, width - length, '0');
        }
        WorkText.replace(at, tagBytes, value);
        from = at + value.size();
    }
}

void MacroExpander::ExpandLogTags(const ExpansionFields& fields) {
    if (HamlogExpansion) {
        ReplaceWidthForms(fields);
    }
    ExpandMacroTags(fields);
}

std::string MacroExpander::Expand(std::string_view text, const ExpansionFields& fields) {
    WorkText = std::string(text);
    if (HamlogExpansion) {
        ExpandLogTags(fields);
    } else {
        ExpandMacroTags(fields);
    }
    return WorkText;
}

}  // namespace morvane::macros
