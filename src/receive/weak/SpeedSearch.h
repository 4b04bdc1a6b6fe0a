// Dot length from recent mark and space runs: they should be whole multiples
// of one unit (marks 1 or 3, spaces 1, 3 or 7).
// A search over candidate units scores each run by its log distance to the
// nearest allowed multiple, clipped so that noise runs count the same for
// every candidate; the unit with the lowest total wins. Dots alone or dashes
// alone cannot fool it, since the spaces between them are one unit.
#pragma once

#include <optional>
#include <span>

namespace morvane::receive::weak {

struct SpeedSearchRange {
    double MinDotSteps = 8.0;
    double MaxDotSteps = 56.0;
    int MinMarks = 6;  // fewer marks: no estimate
};

struct TimedRun {
    int Steps = 0;
    bool Mark = false;
};

struct SpeedFit {
    double DotSteps = 0.0;
    double CostPerRun = 0.0;  // how badly the runs fit it (0: perfectly)
};

// The dot length in steps that best explains `runs`, and how well; empty
// with too few marks to judge.
std::optional<SpeedFit> FitDotSteps(std::span<const TimedRun> runs,
                                    const SpeedSearchRange& range = {});

// The dot length alone.
std::optional<double> EstimateDotSteps(std::span<const TimedRun> runs,
                                       const SpeedSearchRange& range = {});

}  // namespace morvane::receive::weak
