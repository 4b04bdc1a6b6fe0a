#include "receive/weak/MarkSpaceViterbi.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace morvane::receive::weak {

namespace {

constexpr double kNone = -std::numeric_limits<double>::infinity();
constexpr int kMarkDots = 6;    // longest mark run considered
constexpr int kSpaceDots = 10;  // longest space run; longer silences chain runs

// Lengths of marks and spaces in dots. Priors are densities over the length
// in dots, not probabilities of exact step counts: the latter would charge
// each extra run log(dotSteps), which at weak signals outweighs the evidence
// of a real dot. The spreads allow hand-sent dashes of
// 2.5 to 4 dots and uneven spaces; the floor keeps any length possible.
// Until the sender's own rhythm is known; then the modes follow it.
constexpr std::array<LengthMode, 2> kMarkModes{{{0.55, 1.0, 0.3}, {0.45, 3.0, 0.6}}};
constexpr std::array<LengthMode, 3> kSpaceModes{
    {{0.55, 1.0, 0.35}, {0.3, 3.0, 0.75}, {0.15, 7.0, 1.8}}};
constexpr double kFloor = 0.003;

template <std::size_t N>
double LogPrior(const std::array<LengthMode, N>& modes, double dots) {
    double p = kFloor;
    for (const LengthMode& mode : modes) {
        const double z = (dots - mode.Dots) / mode.Spread;
        p += mode.Weight * std::exp(-0.5 * z * z) /
             (mode.Spread * std::sqrt(2.0 * std::numbers::pi));
    }
    return std::log(p);
}

}  // namespace

MarkSpaceViterbi::MarkSpaceViterbi(int maxDotSteps)
    : markPrior_(static_cast<std::size_t>(kMarkDots * maxDotSteps + 1)),
      spacePrior_(static_cast<std::size_t>(kSpaceDots * maxDotSteps + 1)),
      idlePrior_(spacePrior_.size()),
      cumulative_(kRing),
      markScore_(kRing),
      spaceScore_(kRing),
      markLength_(kRing),
      spaceLength_(kRing),
      spaceAfterSpace_(kRing),
      markModes_(kMarkModes),
      spaceModes_(kSpaceModes) {
    SetDotSteps(maxDotSteps / 2.0);
    Reset();
}

void MarkSpaceViterbi::Reset() {
    std::fill(cumulative_.begin(), cumulative_.end(), 0.0);
    std::fill(markScore_.begin(), markScore_.end(), kNone);
    std::fill(spaceScore_.begin(), spaceScore_.end(), 0.0);
    now_ = -1;
    decidedEnd_ = -1;
}

void MarkSpaceViterbi::SetDotSteps(double dotSteps) {
    const int maxDot = static_cast<int>((markPrior_.size() - 1) / kMarkDots);
    dotSteps_ = std::clamp(dotSteps, 2.0, static_cast<double>(maxDot));
    maxMark_ = std::min(static_cast<int>(markPrior_.size()) - 1,
                        static_cast<int>(std::ceil(kMarkDots * dotSteps_)));
    maxSpace_ = std::min(static_cast<int>(spacePrior_.size()) - 1,
                         static_cast<int>(std::ceil(kSpaceDots * dotSteps_)));
    for (int d = 1; d <= maxMark_; ++d)
        markPrior_[d] = LogPrior(markModes_, d / dotSteps_);
    // Silence longer than a word space is cut into runs of five dots or more,
    // each costing the same small amount: long silence must stay cheaper
    // than any noise-made dot in it.
    const double idle = std::log(0.5);
    for (int d = 1; d <= maxSpace_; ++d) {
        spacePrior_[d] = LogPrior(spaceModes_, d / dotSteps_);
        idlePrior_[d] = d >= 5.0 * dotSteps_ ? idle : kNone;
    }
}

void MarkSpaceViterbi::SetRhythm(const SenderRhythm& rhythm) {
    // A log-normal's spread in dots is about its centre times its spread in
    // log dots.
    for (int kind = 0; kind < 2; ++kind) {
        LengthMode& mode = markModes_[static_cast<std::size_t>(kind)];
        mode.Dots = std::exp(rhythm.MarkLogDots(kind));
        mode.Spread = mode.Dots * rhythm.MarkSpread(kind);
    }
    for (int kind = 0; kind < 3; ++kind) {
        LengthMode& mode = spaceModes_[static_cast<std::size_t>(kind)];
        mode.Dots = std::exp(rhythm.SpaceLogDots(kind));
        mode.Spread = mode.Dots * rhythm.SpaceSpread(kind);
    }
    SetDotSteps(dotSteps_);
}

void MarkSpaceViterbi::Push(double llr) {
    const std::int64_t t = ++now_;
    const double c = cumulative_[Index(t - 1)] + llr;
    cumulative_[Index(t)] = c;
    double bestMark = kNone, bestSpace = kNone;
    int markLength = 1, spaceLength = 1;
    bool afterSpace = false;
    for (int d = 1; d <= maxMark_; ++d) {
        const int i = Index(t - d);
        const double s = spaceScore_[i] + c - cumulative_[i] + markPrior_[d];
        if (s > bestMark) {
            bestMark = s;
            markLength = d;
        }
    }
    for (int d = 1; d <= maxSpace_; ++d) {
        const int i = Index(t - d);
        const double fromMark = markScore_[i] + spacePrior_[d];
        const double fromSpace = spaceScore_[i] + idlePrior_[d];
        if (fromMark > bestSpace) {
            bestSpace = fromMark;
            spaceLength = d;
            afterSpace = false;
        }
        if (fromSpace > bestSpace) {
            bestSpace = fromSpace;
            spaceLength = d;
            afterSpace = true;
        }
    }
    // Before the first step there was silence of any length.
    if (t < maxSpace_ && 0.0 > bestSpace) {
        bestSpace = 0.0;
        spaceLength = static_cast<int>(t + 1);
        afterSpace = true;
    }
    const int i = Index(t);
    markScore_[i] = bestMark;
    spaceScore_[i] = bestSpace;
    markLength_[i] = static_cast<std::int16_t>(markLength);
    spaceLength_[i] = static_cast<std::int16_t>(spaceLength);
    spaceAfterSpace_[i] = afterSpace ? 1 : 0;
}

void MarkSpaceViterbi::Decide(int lagSteps, RunSink& sink) {
    struct Piece {
        bool Mark;
        std::int64_t Start;
        std::int64_t End;
    };
    // Trace the best path back to what was handed on already.
    std::array<Piece, 512> pieces{};
    std::size_t count = 0;
    std::int64_t t = now_;
    bool mark = markScore_[Index(t)] > spaceScore_[Index(t)];
    while (t > decidedEnd_ && count < pieces.size()) {
        const int i = Index(t);
        const int length = mark ? markLength_[i] : spaceLength_[i];
        const bool previousMark = !mark && spaceAfterSpace_[i] == 0;
        pieces[count++] = Piece{mark, std::max(t - length + 1, decidedEnd_ + 1), t};
        t -= length;
        mark = mark ? false : previousMark;
    }
    const std::int64_t limit = now_ - lagSteps;
    while (count > 0) {
        const Piece& piece = pieces[count - 1];
        if (piece.End > limit) {
            if (!piece.Mark && piece.Start <= limit)
                sink.OnSpaceProgress(static_cast<int>(limit - piece.Start + 1));
            break;
        }
        const double strength = cumulative_[Index(piece.End)] - cumulative_[Index(piece.Start - 1)];
        sink.OnRunPiece(piece.Start, piece.Mark, static_cast<int>(piece.End - piece.Start + 1),
                        strength);
        decidedEnd_ = piece.End;
        --count;
    }
}

}  // namespace morvane::receive::weak

namespace morvane::receive::weak {

std::span<const TimedRun> MarkSpaceViterbi::RecentRuns(int steps, std::span<TimedRun> out) const {
    const std::int64_t start = std::max<std::int64_t>(0, now_ - std::min(steps, kRing / 2));
    std::size_t count = 0;
    std::int64_t t = now_;
    bool mark = markScore_[Index(t)] > spaceScore_[Index(t)];
    // Newest first, then reversed; the newest run may still grow.
    while (t >= start && count < out.size()) {
        const int i = Index(t);
        const int length = mark ? markLength_[i] : spaceLength_[i];
        const bool previousMark = !mark && spaceAfterSpace_[i] == 0;
        if (t - length + 1 < start)
            break;
        if (count > 0 && out[count - 1].Mark == mark)
            out[count - 1].Steps += length;  // silence cut into pieces
        else
            out[count++] = TimedRun{.Steps = length, .Mark = mark};
        t -= length;
        mark = mark ? false : previousMark;
    }
    std::reverse(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(count));
    return out.first(count);
}

double MarkSpaceViterbi::Sum(std::int64_t first, std::int64_t last) const {
    first = std::max({first, std::int64_t{0}, now_ - kRing + 2});
    last = std::min(last, now_);
    if (last < first)
        return 0.0;
    return cumulative_[Index(last)] - (first == 0 ? 0.0 : cumulative_[Index(first - 1)]);
}

int MarkSpaceViterbi::OpenSpaceSteps(int limit) const {
    limit = std::min(limit, kRing / 2);
    int steps = 0;
    std::int64_t t = now_;
    if (t < 0 || markScore_[Index(t)] > spaceScore_[Index(t)])
        return 0;
    // Silence is chained from space pieces; a space after a mark ends it.
    while (t >= 0 && steps < limit) {
        const int i = Index(t);
        steps += spaceLength_[i];
        if (spaceAfterSpace_[i] == 0)
            break;
        t -= spaceLength_[i];
    }
    return std::min(steps, limit);
}

}  // namespace morvane::receive::weak
