// The standard transmit pattern rule: split a text into Morse parts (voiced
// and semi-voiced kana become the plain kana plus their mark, small kana their
// full-size kana), then write dots "1" and dashes "3" joined by "4", parts
// joined by "540" (character gap), closed by "2".
#include <string>
#include <vector>

#include "common/Utf8.h"
#include "decode/CodeTables.h"
#include "decode/KanaText.h"
#include "decode/tables/InternationalMorse.h"
#include "decode/tables/KanaParts.h"
#include "decode/tables/StandardSigns.h"
#include "decode/tables/WabunSingleEntries.h"

namespace morvane::decode {
namespace {

std::string_view Lookup(std::span<const tables::PatternText> rows, std::string_view text) {
    for (const auto& row : rows) {
        if (row.Text == text) {
            return row.Elements;
        }
    }
    return {};
}

// Full-width digits "０".."９" are keyed as the ASCII digits.
std::string AsciiDigitOf(std::string_view character) {
    const char32_t cp = common::DecodeUtf8(character);
    if (cp >= U'\uFF10' && cp <= U'\uFF19') {
        return std::string(1, static_cast<char>('0' + (cp - U'\uFF10')));
    }
    return std::string(character);
}

// Dots and dashes of one part; empty when the part has no standard pattern.
std::string_view PartElements(std::string_view part) {
    if (auto elements = Lookup(tables::kInternationalMorse, AsciiDigitOf(part));
        !elements.empty()) {
        return elements;
    }
    if (auto elements = Lookup(tables::kStandardSigns, part); !elements.empty()) {
        return elements;
    }
    return Lookup(tables::kWabunSingleEntries, part);
}

// Appends the Morse parts of one character, in hiragana where it is kana.
void AppendParts(std::string_view character, std::vector<std::string>& parts) {
    const std::string hiragana = KatakanaToHiragana(character);
    for (const auto& row : tables::kKanaParts) {
        if (row.Kana == hiragana) {
            parts.emplace_back(row.Base);
            if (!row.Mark.empty()) {
                parts.emplace_back(row.Mark);
            }
            return;
        }
    }
    parts.push_back(hiragana);
}

}  // namespace

std::string StandardPattern(std::string_view text) {
    const std::vector<std::string_view> characters = common::SplitUtf8(text);
    if (characters.size() == 1 && (characters[0] == " " || characters[0] == "\u3000")) {
        return "6";
    }
    std::vector<std::string> parts;
    for (std::string_view character : characters) {
        AppendParts(character, parts);
    }
    std::string pattern;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string_view elements = PartElements(parts[i]);
        if (elements.empty()) {
            return {};
        }
        if (i > 0) {
            pattern += "540";
        }
        for (std::size_t e = 0; e < elements.size(); ++e) {
            if (e > 0) {
                pattern += '4';
            }
            pattern += elements[e] == '-' ? '3' : '1';
        }
    }
    if (!pattern.empty()) {
        pattern += '2';
    }
    return pattern;
}

}  // namespace morvane::decode
