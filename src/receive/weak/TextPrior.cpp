#include "receive/weak/TextPrior.h"

#include <array>
#include <cmath>
#include <string_view>

#include "decode/tables/InternationalMorse.h"
#include "receive/weak/TextPriorTable.h"

namespace morvane::receive::weak {

namespace {

static_assert(kTextPriorAlphabet.size() == TextPrior::kSymbols);
static_assert(kTextPriorCosts.size() ==
              static_cast<std::size_t>(TextPrior::kContexts) * TextPrior::kSymbols);

constexpr long long CodeOf(std::string_view elements) {
    long long code = 1;
    for (char element : elements)
        code = 2 * code + (element == '-' ? 1 : 0);
    return code;
}

constexpr std::array<decode::tables::PatternText, 5> kSigns{{
    {"-..-.", "/"},
    {"..--..", "?"},
    {".-.-.-", "."},
    {"--..--", ","},
    {"-...-", "="},
}};

// Against a random letter's probability: readings of random letters weigh
// about as much with the prior as without, so it does not favour reading
// them as fewer characters (EI as S), while likely text gains.
constexpr double kRandomLetterNats = 3.2581;  // log 26

// Codes of up to seven elements, as the search builds them.
constexpr std::size_t kCodes = 256;

constexpr std::array<std::int8_t, kCodes> MakeSymbols() {
    std::array<std::int8_t, kCodes> symbols{};
    for (auto& symbol : symbols)
        symbol = -1;
    const auto add = [&](const decode::tables::PatternText& row) {
        const auto at = kTextPriorAlphabet.find(row.Text);
        symbols[static_cast<std::size_t>(CodeOf(row.Elements))] = static_cast<std::int8_t>(at);
    };
    for (const auto& row : decode::tables::kInternationalMorse)
        add(row);
    for (const auto& row : kSigns)
        add(row);
    return symbols;
}

constexpr std::array<std::int8_t, kCodes> kSymbolOfCode = MakeSymbols();

}  // namespace

TextPrior::TextPrior(double floorShare)
    : logRatio_(static_cast<std::size_t>(kContexts) * kSymbols) {
    const double uniform = floorShare / kSymbols;
    unknown_ = std::log(uniform) + kRandomLetterNats;
    for (std::size_t i = 0; i < logRatio_.size(); ++i) {
        const auto level = kTextPriorDigits.find(kTextPriorCosts[i]);
        const double p = std::exp(-kTextPriorQuantumNats * static_cast<double>(level));
        logRatio_[i] =
            static_cast<float>(std::log((1.0 - floorShare) * p + uniform) + kRandomLetterNats);
    }
}

int TextPrior::SymbolOf(long long code) {
    return code >= 0 && code < static_cast<long long>(kCodes)
               ? kSymbolOfCode[static_cast<std::size_t>(code)]
               : -1;
}

}  // namespace morvane::receive::weak
