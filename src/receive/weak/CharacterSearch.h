// Reads a stretch of envelope (a word, or its last few characters) as whole
// characters. A semi-Markov Viterbi whose state is the position in the code
// tree: a mark can only extend a code some character begins with, and a
// character space can only close a code the text table knows. Dots, dashes,
// inner gaps and character spaces each have a length prior of their own, so
// the choice between whole characters weighs all their marks and gaps
// together; one element that noise lengthened, cut or hid no longer turns a
// letter into a code that is no character at all.
// Where a TextPrior is given, each character read is weighed by how likely
// it is after the two before it (those handed on already, then the
// reading's own), and the last by how likely the word ends there.
// The stretch is short (a few characters), so the search runs on units of a
// few steps, six or so per dot, and costs little next to the front end.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "receive/weak/TextPrior.h"

namespace morvane::receive::weak {

// Longest character the search builds: every letter, digit and sign, and
// the kana. Run-together groups longer than this are read as their parts.
inline constexpr int kSearchMaxElements = 7;
inline constexpr int kSearchCodes = 2 << kSearchMaxElements;  // CodeNumbers below this

// Which CodeNumbers (below kSearchCodes) the text table knows.
using KnownCodes = std::array<bool, kSearchCodes>;

// Length of one kind of run: log-normal in dots.
struct RunPrior {
    double Weight = 1.0;
    double LogDots = 0.0;  // mean of log(dots)
    double Spread = 0.3;   // standard deviation of log(dots)
};

struct TimingPriors {
    RunPrior Dot{.Weight = 0.55, .LogDots = 0.0, .Spread = 0.3};
    RunPrior Dash{.Weight = 0.45, .LogDots = 1.0986, .Spread = 0.2};
    RunPrior Inner{.Weight = 0.6, .LogDots = 0.0, .Spread = 0.35};
    RunPrior Character{.Weight = 0.3, .LogDots = 1.0986, .Spread = 0.25};
    RunPrior Word{.Weight = 0.1, .LogDots = 1.9459, .Spread = 0.25};
};

// What the text before a stretch says about it.
struct TextContext {
    const TextPrior* Prior = nullptr;  // null: every character alike
    double Weight = 0.0;               // of its log ratios against the evidence
    int Before = TextPrior::kWordStart;
    bool EndsWord = false;  // the stretch is the end of a word
};

// A mark of the best reading, in search units from the stretch start.
struct FoundMark {
    int Start = 0;
    int End = 0;  // one past the last unit
    bool Dash = false;
    bool FirstOfCharacter = false;
};

class CharacterSearch {
  public:
    // `cumulative[u]` is the summed mark log-likelihood ratio of the first
    // `u` units (so cumulative[0] == 0); `unitsPerDot` the dot length in
    // units. Returns the marks of the best reading, oldest first; none when
    // the stretch reads best as silence.
    std::span<const FoundMark> Search(std::span<const double> cumulative, double unitsPerDot,
                                      const TimingPriors& priors, const KnownCodes& known,
                                      const TextContext& text = {});
    // Score of the last reading against silence (0).
    double Score() const { return score_; }

  private:
    std::vector<int> nodes_;                 // CodeNumbers the search visits
    std::array<int, kSearchCodes> index_{};  // CodeNumber -> node, -1 if none
    std::vector<double> mark_, gap_;         // by node and unit
    std::vector<std::int16_t> markLength_, gapLength_;
    std::vector<std::int16_t> markContext_, gapContext_;  // text before, by node and unit
    std::vector<double> root_, closed_;                   // by unit
    std::vector<std::int16_t> rootContext_, closedContext_;
    std::vector<std::int8_t> symbol_;       // by node
    std::vector<std::int16_t> rootLength_;  // 0: nothing before
    std::vector<std::int16_t> closedNode_;
    std::vector<double> dotPrior_, dashPrior_, innerPrior_, characterPrior_;
    std::vector<FoundMark> found_;
    double score_ = 0.0;
};

}  // namespace morvane::receive::weak
