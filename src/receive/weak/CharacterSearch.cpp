#include "receive/weak/CharacterSearch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace morvane::receive::weak {

namespace {

constexpr double kNone = -std::numeric_limits<double>::infinity();
// Longest runs considered, in dots: weighted dots, hand-sent dashes, uneven
// inner gaps.
constexpr double kLongestDot = 2.6;
constexpr double kLongestDash = 6.0;
constexpr double kLongestInner = 3.0;
// Between two characters of one stretch; longer silence ends a stretch.
constexpr double kLongestSpace = 12.0;
// Keeps any length possible, as in the run search.
constexpr double kFloor = 0.003;
// Each character read costs this much: a hidden dot is not to split one
// character into two.
constexpr double kCharacterPrior = -1.5;
// Long codes are signs and rarer kana: a little evidence more for them.
constexpr double kSixElementPrior = -1.0;
constexpr double kSevenElementPrior = -2.0;

void FillPrior(std::vector<double>& prior, int longest, double unitsPerDot, const RunPrior& run,
               const RunPrior* other = nullptr) {
    prior.assign(static_cast<std::size_t>(longest) + 1, kNone);
    const auto density = [](const RunPrior& p, double dots) {
        const double z = (std::log(dots) - p.LogDots) / p.Spread;
        return p.Weight * std::exp(-0.5 * z * z) /
               (p.Spread * dots * std::sqrt(2.0 * std::numbers::pi));
    };
    for (int d = 1; d <= longest; ++d) {
        const double dots = d / unitsPerDot;
        double p = kFloor + density(run, dots);
        if (other != nullptr)
            p += density(*other, dots);
        prior[static_cast<std::size_t>(d)] = std::log(p);
    }
}

int Depth(int code) {
    int depth = 0;
    for (; code > 1; code >>= 1)
        ++depth;
    return depth;
}

double CodePrior(int code) {
    const int depth = Depth(code);
    return kCharacterPrior + (depth >= 7   ? kSevenElementPrior
                              : depth == 6 ? kSixElementPrior
                                           : 0.0);
}

}  // namespace

std::span<const FoundMark> CharacterSearch::Search(std::span<const double> cumulative,
                                                   double unitsPerDot, const TimingPriors& priors,
                                                   const KnownCodes& known,
                                                   const TextContext& text) {
    found_.clear();
    score_ = 0.0;
    if (cumulative.size() < 2)
        return found_;
    const int n = static_cast<int>(cumulative.size()) - 1;
    const auto stride = static_cast<std::size_t>(n) + 1;

    // Nodes: codes with a known code at or below them.
    std::array<bool, kSearchCodes> useful{};
    for (int code = kSearchCodes - 1; code >= 2; --code)
        useful[code] = known[code] ||
                       (2 * code + 1 < kSearchCodes && (useful[2 * code] || useful[2 * code + 1]));
    nodes_.clear();
    symbol_.clear();
    index_.fill(-1);
    for (int code = 2; code < kSearchCodes; ++code) {
        if (useful[code]) {
            index_[code] = static_cast<int>(nodes_.size());
            nodes_.push_back(code);
            symbol_.push_back(static_cast<std::int8_t>(TextPrior::SymbolOf(code)));
        }
    }
    const TextPrior* textPrior = text.Prior;
    const int longestDot = std::max(1, static_cast<int>(std::ceil(kLongestDot * unitsPerDot)));
    const int longestDash = std::max(1, static_cast<int>(std::ceil(kLongestDash * unitsPerDot)));
    const int longestInner = std::max(1, static_cast<int>(std::ceil(kLongestInner * unitsPerDot)));
    FillPrior(dotPrior_, longestDot, unitsPerDot, priors.Dot);
    FillPrior(dashPrior_, longestDash, unitsPerDot, priors.Dash);
    FillPrior(innerPrior_, longestInner, unitsPerDot, priors.Inner);
    const int longestSpace = std::min(n, static_cast<int>(std::ceil(kLongestSpace * unitsPerDot)));
    FillPrior(characterPrior_, longestSpace, unitsPerDot, priors.Character, &priors.Word);

    const std::size_t cells = nodes_.size() * stride;
    mark_.assign(cells, kNone);
    gap_.assign(cells, kNone);
    markLength_.assign(cells, 0);
    gapLength_.assign(cells, 0);
    root_.assign(stride, 0.0);
    rootLength_.assign(stride, 0);
    closed_.assign(stride, kNone);
    closedNode_.assign(stride, -1);
    // Each cell keeps the text before the character its best path is in;
    // only that path's text counts, as in any Viterbi search.
    if (textPrior != nullptr) {
        markContext_.assign(cells, 0);
        gapContext_.assign(cells, 0);
        rootContext_.assign(stride, static_cast<std::int16_t>(text.Before));
        closedContext_.assign(stride, 0);
    }

    for (int t = 0; t <= n; ++t) {
        // A character space ends here, or nothing has been read yet.
        for (int d = 1; d <= std::min(t, longestSpace); ++d) {
            const double s = closed_[t - d] + characterPrior_[d];
            if (s > root_[t]) {
                root_[t] = s;
                rootLength_[t] = static_cast<std::int16_t>(d);
            }
        }
        if (textPrior != nullptr && rootLength_[t] > 0)
            rootContext_[t] = closedContext_[t - rootLength_[t]];
        if (t == 0)
            continue;
        const double c = cumulative[t];
        for (std::size_t k = 0; k < nodes_.size(); ++k) {
            const int code = nodes_[k];
            const int parent = code >> 1;
            const bool dash = (code & 1) != 0;
            const std::vector<double>& prior = dash ? dashPrior_ : dotPrior_;
            const int longest = std::min(t, dash ? longestDash : longestDot);
            const double* from =
                parent == 1 ? root_.data()
                            : gap_.data() + static_cast<std::size_t>(index_[parent]) * stride;
            double best = kNone;
            int length = 0;
            for (int d = 1; d <= longest; ++d) {
                const double s = from[t - d] + c - cumulative[t - d] + prior[d];
                if (s > best) {
                    best = s;
                    length = d;
                }
            }
            const std::size_t cell = k * stride + static_cast<std::size_t>(t);
            mark_[cell] = best;
            markLength_[cell] = static_cast<std::int16_t>(length);
            if (textPrior != nullptr && length > 0) {
                const auto begin = static_cast<std::size_t>(t - length);
                markContext_[cell] =
                    parent == 1
                        ? rootContext_[begin]
                        : gapContext_[static_cast<std::size_t>(index_[parent]) * stride + begin];
            }
            // An inner gap after this mark, when the code can go on.
            if (2 * code >= kSearchCodes || !(useful[2 * code] || useful[2 * code + 1]))
                continue;
            const double* marks = mark_.data() + k * stride;
            best = kNone;
            length = 0;
            for (int d = 1; d <= std::min(t, longestInner); ++d) {
                const double s = marks[t - d] + innerPrior_[d];
                if (s > best) {
                    best = s;
                    length = d;
                }
            }
            gap_[cell] = best;
            gapLength_[cell] = static_cast<std::int16_t>(length);
            if (textPrior != nullptr && length > 0)
                gapContext_[cell] = markContext_[k * stride + static_cast<std::size_t>(t - length)];
        }
        for (std::size_t k = 0; k < nodes_.size(); ++k) {
            const int code = nodes_[k];
            if (!known[code])
                continue;
            const std::size_t cell = k * stride + static_cast<std::size_t>(t);
            double s = mark_[cell] + CodePrior(code);
            int context = 0;
            if (textPrior != nullptr) {
                s += text.Weight * textPrior->LogRatio(markContext_[cell], symbol_[k]);
                context = TextPrior::Next(markContext_[cell], symbol_[k]);
            }
            if (s > closed_[t]) {
                closed_[t] = s;
                closedNode_[t] = static_cast<std::int16_t>(k);
                if (textPrior != nullptr)
                    closedContext_[t] = static_cast<std::int16_t>(context);
            }
        }
    }

    // The last character may end anywhere; what follows is silence.
    int end = -1;
    for (int t = 1; t <= n; ++t) {
        double s = closed_[t];
        if (textPrior != nullptr && text.EndsWord && closed_[t] > kNone)
            s += text.Weight * textPrior->LogRatio(closedContext_[t], TextPrior::kBoundary);
        if (s > score_) {
            score_ = s;
            end = t;
        }
    }
    if (end < 0)
        return found_;
    // Trace back: closed character, its marks through the inner gaps, the
    // character space before it.
    int t = end;
    int k = closedNode_[t];
    while (true) {
        const int code = nodes_[static_cast<std::size_t>(k)];
        const std::size_t cell = static_cast<std::size_t>(k) * stride + static_cast<std::size_t>(t);
        const int start = t - markLength_[cell];
        const int parent = code >> 1;
        found_.push_back(FoundMark{
            .Start = start, .End = t, .Dash = (code & 1) != 0, .FirstOfCharacter = parent == 1});
        if (parent != 1) {
            const int p = index_[parent];
            t = start -
                gapLength_[static_cast<std::size_t>(p) * stride + static_cast<std::size_t>(start)];
            k = p;
            continue;
        }
        if (rootLength_[start] == 0)
            break;
        t = start - rootLength_[start];
        k = closedNode_[t];
    }
    std::reverse(found_.begin(), found_.end());
    return found_;
}

}  // namespace morvane::receive::weak
