// The carrier tracker against a synthetic keyed carrier whose frequency and
// phase are known at every step, and the coherent ratio against a plain
// numerical integration over the phase.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>

#include "receive/weak/CarrierTracker.h"

namespace morvane::receive::weak {
namespace {

constexpr double kStepS = 32.0 / 11025.0;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr int kHalf = 100;   // the tracker's half window
constexpr int kAge = kHalf;  // evidence for the step whose future half is in
constexpr double kMixHz = 700.0;

struct Carrier {
    double OffsetHz = 0.0;     // tone over the mixer at the start
    double DriftHzPerS = 0.0;  // the tone's drift
    double JumpAtS = -1.0;     // a phase jump of pi here (none when negative)
    double Amplitude = 1.0;
    double NoiseSigma = 0.0;  // per component
    bool Keyed = true;        // 60 ms on, 60 ms off; else noise alone
};

struct StepTruth {
    double ToneHz;
    double Phase;  // of the tone, mixer phase put back
    bool Mark;
};

// Feeds `seconds` of mixed-down steps to `tracker` (weights the true keying
// softened, as an envelope would give them) and calls `look` with each step's
// evidence and the truth of that step.
template <typename Look>
void FeedCarrier(CarrierTracker& tracker, const Carrier& c, double seconds, std::uint64_t seed,
                 Look look) {
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    const int steps = static_cast<int>(seconds / kStepS);
    std::vector<StepTruth> truth;
    double phase = 0.0, mixPhase = 0.0, mixHz = kMixHz;
    for (int n = 0; n < steps; ++n) {
        const double t = n * kStepS;
        const double hz = kMixHz + c.OffsetHz + c.DriftHzPerS * t;
        phase += kTwoPi * hz * kStepS;
        // The mixer follows the drift in whole hertz once a block, as the
        // tone tracker would: no phase jump for the carrier tracker.
        if (n % 32 == 0)
            mixHz = kMixHz + std::round(c.DriftHzPerS * t);
        mixPhase += kTwoPi * mixHz * kStepS;
        const bool jumped = c.JumpAtS >= 0.0 && t >= c.JumpAtS;
        const double tonePhase = phase + (jumped ? std::numbers::pi : 0.0);
        const bool mark = c.Keyed && static_cast<int>(t / 0.06) % 2 == 0;
        std::complex<double> step = c.NoiseSigma * std::complex<double>(gauss(rng), gauss(rng));
        if (mark)
            step += c.Amplitude * std::polar(1.0, tonePhase - mixPhase);
        tracker.Push(std::complex<float>(step), mixHz);
        if (n >= 8)  // the envelope's verdict comes a few steps late
            tracker.Weigh(8, c.Keyed ? (truth[n - 8].Mark ? 0.8 : 0.2) : 0.5);
        truth.push_back({hz, std::fmod(tonePhase, kTwoPi), mark});
        if (n % 32 == 31)
            tracker.Update();
        if (n >= kAge + 8)
            look(tracker.Evidence(kAge + 8), truth[n - kAge - 8], (n - kAge - 8) * kStepS);
    }
}

TEST(CarrierTracker, LocksToAToneAFewHertzOffAndFollowsASlowDrift) {
    // Amplitude over noise as at -3 dB in 500 Hz: a²/2σ² about 0.7 a step.
    struct Case {
        double OffsetHz, DriftHzPerS;
    };
    for (const Case c :
         {Case{0.0, 0.0}, Case{3.5, 0.0}, Case{-4.2, 0.0}, Case{1.0, 0.8}, Case{-2.0, -1.5}}) {
        CarrierTracker tracker({.StepSeconds = kStepS, .HalfWindowSteps = kHalf});
        double cosSum = 0.0, kappaSum = 0.0;
        int marks = 0;
        FeedCarrier(tracker,
                    {.OffsetHz = c.OffsetHz, .DriftHzPerS = c.DriftHzPerS, .NoiseSigma = 0.85}, 8.0,
                    5, [&](const CarrierView& view, const StepTruth& truth, double t) {
                        if (t < 3.0 || !truth.Mark)
                            return;
                        // In-phase over the whole step: the cosine of the phase error
                        // on average (the noise averages out).
                        cosSum += view.InPhase / 1.0;
                        kappaSum += view.Kappa;
                        ++marks;
                    });
        ASSERT_GT(marks, 100);
        const double hzNow = kMixHz + c.OffsetHz + c.DriftHzPerS * 8.0;
        // The search spans the last second, so a drift leaves it half a
        // second behind.
        EXPECT_NEAR(tracker.CarrierHz(), hzNow - 0.5 * c.DriftHzPerS, 0.3)
            << c.OffsetHz << " Hz, " << c.DriftHzPerS << " Hz/s";
        EXPECT_GT(cosSum / marks, 0.9) << c.OffsetHz << " Hz, " << c.DriftHzPerS << " Hz/s";
        EXPECT_GT(kappaSum / marks, 30.0) << c.OffsetHz << " Hz, " << c.DriftHzPerS << " Hz/s";
    }
}

TEST(CarrierTracker, ReportsThePhaseUnknownOnNoiseAloneAndAfterAJump) {
    // Noise alone, every step half a mark by the envelope's verdict: the
    // phase is seldom taken as half known and never as known (the decoder
    // starts trusting it at 12, fully at 30). The frequency search picks the
    // best of its candidates, so noise reaches a little more than the 2 of
    // a single guess.
    CarrierTracker noise({.StepSeconds = kStepS, .HalfWindowSteps = kHalf});
    int steps = 0, trusted = 0;
    FeedCarrier(noise, {.NoiseSigma = 1.0, .Keyed = false}, 30.0, 9,
                [&](const CarrierView& view, const StepTruth&, double) {
                    ++steps;
                    trusted += view.Kappa >= 12.0 ? 1 : 0;
                    EXPECT_LT(view.Kappa, 30.0);
                });
    EXPECT_LT(trusted, steps / 10);

    // A clean carrier turned over at 3 s: sure before and after, unsure
    // across the jump, and never confidently wrong.
    CarrierTracker jump({.StepSeconds = kStepS, .HalfWindowSteps = kHalf});
    double kappaAtJump = 1e9, kappaBefore = 1e9, kappaAfter = 1e9;
    FeedCarrier(jump, {.OffsetHz = 2.0, .JumpAtS = 3.0, .NoiseSigma = 0.05}, 7.0, 11,
                [&](const CarrierView& view, const StepTruth& truth, double t) {
                    if (!truth.Mark)
                        return;
                    if (std::abs(t - 3.0) < 0.03)
                        kappaAtJump = std::min(kappaAtJump, view.Kappa);
                    else if (t > 1.5 && t < 2.6)
                        kappaBefore = std::min(kappaBefore, view.Kappa);
                    else if (t > 4.1 && t < 5.5)
                        kappaAfter = std::min(kappaAfter, view.Kappa);
                    // Wherever the phase is claimed, the step lies along it.
                    if (view.Kappa >= 20.0) {
                        EXPECT_GT(view.InPhase, 0.5) << "at " << t << " s";
                    }
                });
    EXPECT_LT(kappaAtJump, 6.0);
    EXPECT_GT(kappaBefore, 100.0);
    EXPECT_GT(kappaAfter, 100.0);
}

// p(z | mark) / p(z | space) with the phase von Mises around 0, integrated
// numerically.
double IntegratedLlr(const CarrierView& v) {
    const std::complex<double> z(v.InPhase, v.Quadrature);
    const double s2 = v.NoiseSigma * v.NoiseSigma;
    constexpr int kPoints = 20000;
    double mark = 0.0, norm = 0.0;
    for (int i = 0; i < kPoints; ++i) {
        const double theta = -std::numbers::pi + kTwoPi * (i + 0.5) / kPoints;
        const double prior = std::exp(v.Kappa * (std::cos(theta) - 1.0));
        mark += prior * std::exp(-std::norm(z - std::polar(v.Amplitude, theta)) / (2.0 * s2));
        norm += prior;
    }
    return std::log(mark / norm) + std::norm(z) / (2.0 * s2);
}

TEST(CoherentLlr, MatchesTheRatioIntegratedOverThePhase) {
    const CarrierView views[] = {
        {.InPhase = 1.2, .Quadrature = 0.3, .Amplitude = 1.0, .NoiseSigma = 0.8, .Kappa = 0.0},
        {.InPhase = -0.4, .Quadrature = 1.1, .Amplitude = 1.0, .NoiseSigma = 0.8, .Kappa = 3.0},
        {.InPhase = 0.9, .Quadrature = -0.2, .Amplitude = 1.5, .NoiseSigma = 1.0, .Kappa = 30.0},
        {.InPhase = 0.1, .Quadrature = 0.0, .Amplitude = 2.0, .NoiseSigma = 0.5, .Kappa = 300.0},
        {.InPhase = 3.0, .Quadrature = 2.0, .Amplitude = 2.0, .NoiseSigma = 0.5, .Kappa = 8.0},
    };
    for (const CarrierView& v : views)
        EXPECT_NEAR(CoherentLlr(v), IntegratedLlr(v), 0.01)
            << "x " << v.InPhase << " q " << v.Quadrature << " kappa " << v.Kappa;
    // A sure phase leaves the linear matched-filter ratio (a·x - a²/2)/σ².
    const CarrierView sure{
        .InPhase = 0.7, .Quadrature = 0.4, .Amplitude = 1.0, .NoiseSigma = 1.0, .Kappa = 1e6};
    EXPECT_NEAR(CoherentLlr(sure), 0.7 - 0.5, 1e-3);
    EXPECT_EQ(CoherentLlr(CarrierView{}), 0.0);
}

}  // namespace
}  // namespace morvane::receive::weak
