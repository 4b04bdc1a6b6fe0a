#include "synth/TextKeying.h"

#include "common/Utf8.h"

namespace morvane::synth {

namespace {

std::string FindIn(std::span<const decode::TransmitRow> table, std::string_view character) {
    for (const auto& row : table)
        if (!row.Character.empty() && row.Character == character)
            return row.Pattern;
    return {};
}

}  // namespace

std::string PatternForCharacter(std::string_view character, TextAlphabet alphabet) {
    if (character == " " || character == "\u3000")
        return "6";
    std::string pattern;
    if (alphabet == TextAlphabet::Katakana)
        pattern = FindIn(decode::KatakanaTransmitTable(), character);
    else if (alphabet == TextAlphabet::Hiragana)
        pattern = FindIn(decode::HiraganaTransmitTable(), character);
    if (pattern.empty())
        pattern = FindIn(decode::EnglishTransmitTable(), character);
    return pattern;
}

KeyedText TextToEvents(std::string_view text, TextAlphabet alphabet, int speedStep,
                       const KeyingWeights& weights, double startMs) {
    KeyedText keyed;
    double timeMs = startMs;
    const double dotMs = DotLengthMs(speedStep);
    for (std::string_view character : common::SplitUtf8(text)) {
        const std::string pattern = PatternForCharacter(character, alphabet);
        if (pattern.empty()) {
            keyed.Missing.emplace_back(character);
            continue;
        }
        AppendPattern(pattern, dotMs, weights, timeMs, keyed.Events);
    }
    keyed.EndMs = timeMs;
    return keyed;
}

}  // namespace morvane::synth
