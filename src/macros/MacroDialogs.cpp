// Macro dialog logic; see MacroDialogs.h.
#include "macros/MacroDialogs.h"

#include <algorithm>
#include <cstdio>

#include "macros/MacroExpansion.h"
#include "macros/MacroTagLists.h"

namespace morvane::macros {

std::string MacroDialogHeading(int macro, bool contest) {
    return "Macro" + std::to_string(macro) + (contest ? " for TEST" : "");
}

bool IsContestHeading(std::string_view heading) {
    return heading.ends_with("TEST");
}

std::vector<std::string_view> MacroTagList(bool contest) {
    using namespace taglists;
    std::vector<std::string_view> items;
    items.reserve(kMacroHead.size() + kMacroContest.size() + kMacroTail.size());
    auto append = [&items](std::span<const std::string_view> part) {
        for (std::string_view item : part) {
            items.push_back(item);
        }
    };
    append(kMacroHead);
    if (contest) {
        append(kMacroContest);
    } else {
        append(kMacroPlain);
    }
    append(kMacroTail);
    return items;
}

std::span<const std::string_view> SpeedTagList() {
    return taglists::kSpeed;
}
std::span<const std::string_view> RatioTagList() {
    return taglists::kRatio;
}
std::span<const std::string_view> SpaceTagList() {
    return taglists::kSpace;
}
std::span<const std::string_view> RemarksTagList() {
    return taglists::kRemarks;
}
std::span<const std::string_view> SendNrTagList() {
    return taglists::kSendNr;
}

std::vector<std::string_view> AutoCqTagList(bool contest) {
    std::vector<std::string_view> items;
    items.reserve(taglists::kAutoCq.size() + 1);
    for (std::string_view item : taglists::kAutoCq) {
        items.push_back(item);
    }
    if (contest) {
        items.push_back(taglists::kAutoCqContest);
    }
    return items;
}

int NextCaptionColour(int colour) {
    return colour >= 0 && colour < 5 ? colour + 1 : 0;
}

std::size_t InsertTagAtCaret(std::string& text, std::size_t selStart, std::size_t selEnd,
                             std::string_view item) {
    std::size_t first = item.find_first_not_of(' ');
    std::string_view tag =
        first == std::string_view::npos ? std::string_view() : item.substr(first);
    selStart = std::min(selStart, text.size());
    selEnd = std::min(std::max(selEnd, selStart), text.size());
    text.replace(selStart, selEnd - selStart, tag);
    return selStart + tag.size();
}

std::optional<std::string> RemarksWidthWarning(std::string_view text,
                                               std::string_view lastChosenItem) {
    if (text.empty() || text.back() != '>') {
        return std::nullopt;
    }
    std::string_view last3 = text.substr(text.size() < 3 ? 0 : text.size() - 3);
    int width = last3.starts_with("%") ? 0 : ParseDecimal(last3);
    if (lastChosenItem == " <TestNR%9>" && width > 9) {
        return "最大桁数は9です。";
    }
    if ((lastChosenItem == " <RcvdNR%15>" || lastChosenItem == " <SendNR%15>") && width > 15) {
        return "最大桁数は15です。";
    }
    return std::nullopt;
}

std::string AutoCqHiddenText(std::string_view times, bool contest) {
    return std::string(times.substr(0, 4)) + (contest ? " for TEST" : "");
}

AutoCqSpinners SpinnersFromTimes(std::string_view hiddenText) {
    auto clamp = [](int value, int low, int high) {
        return value < low ? low : value > high ? high : value;
    };
    int interval = ParseDecimal(hiddenText.substr(0, 2));
    int repeat = hiddenText.size() > 2 ? ParseDecimal(hiddenText.substr(2, 2)) : 0;
    return {clamp(interval, 1, 30), clamp(repeat, 1, 7)};
}

std::string TimesFromSpinners(int interval, int repeat) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d", interval, repeat);
    return text;
}

}  // namespace morvane::macros
