// Receive tables and CodeNumber arithmetic. Each receive table is built once,
// on first use, from the compact pattern lists in tables/; the two-kana groups
// whose pattern is just their kana joined are derived here instead of being
// written out.
#include "decode/CodeTables.h"

#include <array>
#include <cstddef>
#include <string>
#include <unordered_map>

#include "common/Utf8.h"
#include "decode/KanaText.h"
#include "decode/tables/EnglishDigitPairs.h"
#include "decode/tables/EnglishExtraEntries.h"
#include "decode/tables/InternationalMorse.h"
#include "decode/tables/WabunIrregularGroups.h"
#include "decode/tables/WabunJoinedGroups.h"
#include "decode/tables/WabunSingleEntries.h"

namespace morvane::decode {
namespace {

constexpr std::size_t kSlotCount = static_cast<std::size_t>(kMaxCodeNumber) + 1;

// Longest pattern whose CodeNumber still fits a long long.
constexpr std::size_t kMaxElements = 62;

// An empty slot reads as "*".
using ReceiveSlots = std::array<std::string, kSlotCount>;

void Put(ReceiveSlots& slots, std::string_view elements, std::string_view text) {
    const long long code = CodeNumberOf(elements);
    if (code >= kMinCodeNumber && code <= kMaxCodeNumber) {
        slots[static_cast<std::size_t>(code)] = std::string(text);
    }
}

std::string_view ElementsOf(std::span<const tables::PatternText> rows, std::string_view text) {
    for (const auto& row : rows) {
        if (row.Text == text) {
            return row.Elements;
        }
    }
    return {};
}

// Both English tables share letters, digits and digit pairs; they differ only
// in the extra signs and groups.
ReceiveSlots BuildEnglish(bool mixed) {
    ReceiveSlots slots;
    for (const auto& row : tables::kInternationalMorse) {
        Put(slots, row.Elements, row.Text);
    }
    for (const auto& row : tables::kEnglishExtraEntries) {
        const std::string_view text = mixed ? row.MixedEnglish : row.English;
        if (!text.empty()) {
            Put(slots, row.Elements, text);
        }
    }
    for (std::string_view pair : tables::kEnglishDigitPairs) {
        const std::string elements =
            std::string(ElementsOf(tables::kInternationalMorse, pair.substr(0, 1))) +
            std::string(ElementsOf(tables::kInternationalMorse, pair.substr(1, 1)));
        Put(slots, elements, pair);
    }
    return slots;
}

ReceiveSlots BuildHiragana() {
    ReceiveSlots slots;
    std::unordered_map<std::string_view, std::string_view> singleElements;
    for (const auto& row : tables::kWabunSingleEntries) {
        Put(slots, row.Elements, row.Text);
        singleElements.emplace(row.Text, row.Elements);
    }
    for (std::string_view group : tables::kWabunJoinedGroups) {
        std::string elements;
        bool complete = true;
        for (std::string_view kana : common::SplitUtf8(group)) {
            const auto found = singleElements.find(kana);
            complete = complete && found != singleElements.end();
            if (found != singleElements.end()) {
                elements += found->second;
            }
        }
        if (complete) {
            Put(slots, elements, group);
        }
    }
    // Irregular groups come last so they win over a joined group.
    for (const auto& row : tables::kWabunIrregularGroups) {
        Put(slots, row.Elements, row.Text);
    }
    return slots;
}

ReceiveSlots BuildKatakana() {
    ReceiveSlots slots = BuildHiragana();
    for (std::string& text : slots) {
        text = HiraganaToKatakana(text);
    }
    return slots;
}

const ReceiveSlots& Slots(ReceiveTable table) {
    switch (table) {
        case ReceiveTable::English: {
            static const ReceiveSlots english = BuildEnglish(false);
            return english;
        }
        case ReceiveTable::MixedEnglish: {
            static const ReceiveSlots mixed = BuildEnglish(true);
            return mixed;
        }
        case ReceiveTable::Hiragana: {
            static const ReceiveSlots hiragana = BuildHiragana();
            return hiragana;
        }
        case ReceiveTable::Katakana:
            break;
    }
    static const ReceiveSlots katakana = BuildKatakana();
    return katakana;
}

}  // namespace

long long CodeNumberOf(std::string_view dotsAndDashes) {
    if (dotsAndDashes.empty() || dotsAndDashes.size() > kMaxElements) {
        return 0;
    }
    long long code = 1;
    for (char element : dotsAndDashes) {
        if (element != '.' && element != '-') {
            return 0;
        }
        code = code * 2 + (element == '-' ? 1 : 0);
    }
    return code;
}

std::string_view ReceiveEntry(ReceiveTable table, long long codeNumber) {
    if (codeNumber < kMinCodeNumber || codeNumber > kMaxCodeNumber) {
        return kUnknownEntry;
    }
    const std::string& text = Slots(table)[static_cast<std::size_t>(codeNumber)];
    return text.empty() ? kUnknownEntry : std::string_view(text);
}

}  // namespace morvane::decode
