// Soft-decision timing decoder: finds the most likely split of the envelope
// into alternating marks and spaces, scoring each mark step by its
// log-likelihood ratio and each run by how likely its length is in Morse
// (marks near 1 or 3 dots, spaces near 1, 3 or 7). One noisy step cannot cut
// a dash in two, because a one-step space is far less likely than a dash
// that dips. The search is a Viterbi over run ends (a semi-Markov model);
// runs are handed on once they lie further back than the decision lag, the
// only delay it adds.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "receive/weak/SenderRhythm.h"
#include "receive/weak/SpeedSearch.h"

namespace morvane::receive::weak {

// Receives the decided runs in order. Consecutive pieces of the same kind
// belong to one run.
class RunSink {
  public:
    virtual ~RunSink() = default;
    // A decided piece of a run beginning at step `start` (counted from the
    // search's last reset). `strength` is its summed log-likelihood ratio
    // (positive for marks that are clearly marks, negative for clear spaces).
    virtual void OnRunPiece(std::int64_t start, bool mark, int steps, double strength) = 0;
    // The space now open is already at least this much longer than its
    // decided pieces, judged at the decision lag.
    virtual void OnSpaceProgress(int steps) = 0;
};

// The steps' own evidence, for a second look at decided runs.
class StepEvidence {
  public:
    virtual ~StepEvidence() = default;
    // Summed log-likelihood ratio of steps first..last; only the last few
    // thousand steps are kept, older ones count as 0.
    virtual double Sum(std::int64_t first, std::int64_t last) const = 0;
    // The newest step pushed.
    virtual std::int64_t Newest() const = 0;
};

// Bound of one step's log-likelihood ratio fed to the search: a click or a
// burst lasting a step must not outweigh the prior against a run that short.
inline constexpr double kMaxStepLlr = 3.0;

// One mode of the run lengths' prior.
struct LengthMode {
    double Weight;
    double Dots;
    double Spread;  // in dots
};

class MarkSpaceViterbi final : public StepEvidence {
  public:
    // `maxDotSteps` bounds the dot lengths SetDotSteps accepts.
    explicit MarkSpaceViterbi(int maxDotSteps);

    void SetDotSteps(double dotSteps);
    // Centres and spreads of the length priors from the sender's rhythm.
    void SetRhythm(const SenderRhythm& rhythm);
    double DotSteps() const { return dotSteps_; }

    // One envelope step's log-likelihood ratio of mark against space.
    void Push(double llr);
    // Hands on every run ending at least `lagSteps` before the newest step.
    void Decide(int lagSteps, RunSink& sink);
    void Reset();
    // The runs of the best path over the last `steps` steps, oldest first,
    // without deciding anything (the run cut by the window start is left
    // out); returns the part of `out` filled.
    std::span<const TimedRun> RecentRuns(int steps, std::span<TimedRun> out) const;
    // Length of the space the best path ends in (0 when it ends in a mark),
    // counted up to `limit` steps.
    int OpenSpaceSteps(int limit) const;

    double Sum(std::int64_t first, std::int64_t last) const override;
    std::int64_t Newest() const override { return now_; }

  private:
    int Index(std::int64_t t) const { return static_cast<int>(t & (kRing - 1)); }

    static constexpr int kRing = 8192;

    double dotSteps_ = 0.0;
    int maxMark_ = 0;
    int maxSpace_ = 0;
    std::vector<double> markPrior_;   // by run length in steps
    std::vector<double> spacePrior_;  // a space after a mark
    std::vector<double> idlePrior_;   // a space continuing a space
    std::vector<double> cumulative_;  // summed llr up to each step
    std::vector<double> markScore_;   // best score of a mark ending at each step
    std::vector<double> spaceScore_;
    std::vector<std::int16_t> markLength_;
    std::vector<std::int16_t> spaceLength_;
    std::vector<std::uint8_t> spaceAfterSpace_;
    std::array<LengthMode, 2> markModes_;   // dot, dash
    std::array<LengthMode, 3> spaceModes_;  // inner gap, character, word space
    std::int64_t now_ = -1;                 // newest step
    std::int64_t decidedEnd_ = -1;          // last step handed on
};

}  // namespace morvane::receive::weak
