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

double RunCost(double logSteps, bool mark, double logUnit) {
    static constexpr std::array<double, 2> kMarkUnits{0.0, 1.0986};           // log 1, log 3
    static constexpr std::array<double, 3> kSpaceUnits{0.0, 1.0986, 1.9459};  // log 1, 3, 7
    double best = kClip;
    auto consider = [&](double logUnits) {
        const double d = logSteps - logUnits - logUnit;
        best = std::min(best, d * d);
    };
    if (mark) {
        for (double units : kMarkUnits)
            consider(units);
        return best;
    }
    for (double units : kSpaceUnits)
        consider(units);
    return 0.5 * best;  // spaces are less regular, above all when hand sent
}

}  // namespace

std::optional<double> EstimateDotSteps(std::span<const TimedRun> runs,
                                       const SpeedSearchRange& range) {
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
            for (std::size_t i = 0; i < count; ++i) {
                const double length = steps[i] + (runs[i].Mark ? -shift : shift);
                cost += length < 1.0 ? kClip : RunCost(std::log(length), runs[i].Mark, logUnit);
            }
            if (cost < bestCost) {
                bestCost = cost;
                bestUnit = unit;
            }
        }
    }
    return bestUnit;
}

}  // namespace morvane::receive::weak
