#include "receive/weak/SpeedSearch.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace morvane::receive::weak {

namespace {

constexpr double kClip = 0.36;  // squared log distance of a run that fits nothing (60 %)
// Weightings tried, in dots, and the cost per run of each tenth of a dot
// away from none, so that an even sender's estimate does not wander.
constexpr std::array<double, 6> kWeightings{-0.1, 0.0, 0.1, 0.2, 0.3, 0.4};
constexpr double kWeightingCost = 0.002;
// Real text has dots and inner gaps: a unit under which fewer than this
// share of marks or of spaces are one dot long is charged for each run.
// Without it, runs of a dot's length at 20 wpm fit as dashes and character
// spaces of 50 wpm as well as dots and inner gaps of 20, and a 5 heard after
// a noise burst locked the speed at two and a half times the real one.
constexpr double kMinOneDotShare = 0.3;
constexpr double kMixCost = 0.15;

// The fit of a run and whether its nearest length is one dot.
struct RunFit {
    double Cost;
    bool OneDot;
};

RunFit RunCost(double logSteps, bool mark, double logUnit) {
    static constexpr std::array<double, 2> kMarkUnits{0.0, 1.0986};           // log 1, log 3
    static constexpr std::array<double, 3> kSpaceUnits{0.0, 1.0986, 1.9459};  // log 1, 3, 7
    double best = kClip;
    double nearest = 1e300;
    bool oneDot = false;
    auto consider = [&](double logUnits) {
        const double d = logSteps - logUnits - logUnit;
        best = std::min(best, d * d);
        if (d * d < nearest) {
            nearest = d * d;
            oneDot = logUnits == 0.0;
        }
    };
    if (mark) {
        for (double units : kMarkUnits)
            consider(units);
        return {best, oneDot};
    }
    for (double units : kSpaceUnits)
        consider(units);
    return {0.5 * best, oneDot};  // spaces are less regular, above all when hand sent
}

}  // namespace

std::optional<SpeedFit> FitDotSteps(std::span<const TimedRun> runs, const SpeedSearchRange& range) {
    std::array<double, 1024> steps{};
    const std::size_t count = std::min(runs.size(), steps.size());
    int marks = 0;
    for (std::size_t i = 0; i < count; ++i) {
        steps[i] = std::max(1, runs[i].Steps);
        marks += runs[i].Mark ? 1 : 0;
    }
    if (marks < range.MinMarks)
        return std::nullopt;
    double bestUnit = 0.0;
    double bestCost = 1e300;
    for (double unit = range.MinDotSteps; unit <= range.MaxDotSteps; unit *= 1.025) {
        const double logUnit = std::log(unit);
        // A weighted sender lengthens every mark and shortens every space by
        // the same time; unweighted, a heavy fist's dots and short gaps look
        // like dashes and dots of half the speed.
        for (double weighting : kWeightings) {
            const double shift = weighting * unit;
            double cost =
                kWeightingCost * (weighting / 0.1) * (weighting / 0.1) * static_cast<double>(count);
            int oneDotMarks = 0, oneDotSpaces = 0, spaces = 0;
            for (std::size_t i = 0; i < count; ++i) {
                const double length = steps[i] + (runs[i].Mark ? -shift : shift);
                spaces += runs[i].Mark ? 0 : 1;
                if (length < 1.0) {
                    cost += kClip;
                    continue;
                }
                const RunFit fit = RunCost(std::log(length), runs[i].Mark, logUnit);
                cost += fit.Cost;
                (runs[i].Mark ? oneDotMarks : oneDotSpaces) += fit.OneDot ? 1 : 0;
            }
            cost += kMixCost * static_cast<double>(count) *
                    (std::max(0.0, kMinOneDotShare - oneDotMarks / std::max(1.0, 1.0 * marks)) +
                     std::max(0.0, kMinOneDotShare - oneDotSpaces / std::max(1.0, 1.0 * spaces)));
            if (cost < bestCost) {
                bestCost = cost;
                bestUnit = unit;
            }
        }
    }
    return SpeedFit{bestUnit, bestCost / static_cast<double>(std::max<std::size_t>(1, count))};
}

std::optional<double> EstimateDotSteps(std::span<const TimedRun> runs,
                                       const SpeedSearchRange& range) {
    const auto fit = FitDotSteps(runs, range);
    if (!fit)
        return std::nullopt;
    return fit->DotSteps;
}

}  // namespace morvane::receive::weak
