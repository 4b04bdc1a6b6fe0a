// What amateur CW text is likely to say next: a character trigram model of
// contacts, abbreviations, Q codes, plain English, call-sign shapes and
// numbers (TextPriorTable.h). The character search adds a weighted log
// probability to each character it reads, so that where the evidence nearly
// ties between valid characters (a lost dot turning ES into EE) the likely
// text wins. It is kept mild: mixed with a uniform floor, measured against a
// random letter and weighted under the evidence, so random groups and
// unusual calls still read as sent.
#pragma once

#include <cstdint>
#include <vector>

namespace morvane::receive::weak {

class TextPrior {
  public:
    // Word boundary, then A-Z, 0-9 and / ? . , =.
    static constexpr int kSymbols = 42;
    static constexpr int kBoundary = 0;
    // The context at the start of a word: two boundaries before.
    static constexpr int kWordStart = 0;
    static constexpr int kContexts = kSymbols * kSymbols;

    // `floorShare` of each probability is spread evenly over all symbols,
    // bounding what an unlikely one costs.
    explicit TextPrior(double floorShare = 0.3);

    // Symbol of a CodeNumber, -1 for codes the model has none for (other
    // signs, kana).
    static int SymbolOf(long long code);
    // The context once `symbol` (-1: none known) followed `context`.
    static int Next(int context, int symbol) {
        return symbol < 0 ? kWordStart : (context % kSymbols) * kSymbols + symbol;
    }
    // Log probability of `symbol` after `context` against a random letter's
    // (positive: likelier). Symbol -1 (a sign the model does not know)
    // counts as one never seen.
    double LogRatio(int context, int symbol) const {
        return symbol < 0 ? unknown_
                          : logRatio_[static_cast<std::size_t>(context * kSymbols + symbol)];
    }

  private:
    std::vector<float> logRatio_;
    double unknown_ = 0.0;
};

}  // namespace morvane::receive::weak
