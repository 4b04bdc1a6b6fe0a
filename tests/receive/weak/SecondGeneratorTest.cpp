// The accuracy table's second generator, and the weak-signal decoder on its
// recordings: keying envelopes, timing and noise the decoder was not written
// against. The generator is checked first, since a wrong SNR or timing there
// would make every figure in the table wrong.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "IndependentCw.h"
#include "WeakDecoding.h"
#include "common/Text.h"
#include "receive/ReceivePath.h"

namespace morvane::receive {
namespace {

using accuracy::EdgeShape;
using accuracy::IndependentPlan;

IndependentPlan Plan(std::string text, double wpm, double toneHz, EdgeShape edge, double riseMs,
                     std::uint64_t seed) {
    IndependentPlan plan;
    plan.Text = std::move(text);
    plan.Style.Wpm = wpm;
    plan.ToneHz = toneHz;
    plan.Edge = edge;
    plan.RiseMs = riseMs;
    plan.Noise = false;
    plan.Seed = seed;
    return plan;
}

TEST(SecondGenerator, KeysItsTimingModelAndSetsTheNoiseForTheSnr) {
    // A keyer without jitter: PARIS is 50 dots with its word space, so the
    // second word starts 50 dots after the first.
    auto plan = Plan("PARIS PARIS", 20.0, 700.0, EdgeShape::RaisedCosine, 5.0, 1);
    plan.Style.Jitter = 0.0;
    const auto marks = accuracy::KeyText(plan);
    ASSERT_EQ(marks.size(), 28u);
    const double dotS = 0.06;
    EXPECT_NEAR(marks.front().StartS, 1.0, 1e-9);
    EXPECT_NEAR(marks[1].EndS - marks[1].StartS, 3 * dotS, 1e-9);      // a dash of P
    EXPECT_NEAR(marks[14].StartS - marks[0].StartS, 50 * dotS, 1e-9);  // next PARIS

    // A hand sender: his dash weight on average, character spaces kept
    // apart from word spaces whatever their spread.
    plan.Text = "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 1234567890 TEST TEST";
    plan.Style = {.Wpm = 20.0,
                  .DashDots = 3.6,
                  .CharSpaceDots = 3.5,
                  .WordSpaceDots = 6.0,
                  .SpaceSpread = 0.3,
                  .Jitter = 0.1};
    const auto hand = accuracy::KeyText(plan);
    double dashes = 0, dots = 0;
    int dashCount = 0, dotCount = 0;
    for (const auto& mark : hand) {
        const double length = (mark.EndS - mark.StartS) / dotS;
        (length > 2.0 ? dashes : dots) += length;
        ++(length > 2.0 ? dashCount : dotCount);
    }
    EXPECT_NEAR((dashes / dashCount) / (dots / dotCount), 3.6, 0.3);
    for (std::size_t i = 1; i < hand.size(); ++i) {
        const double gap = (hand[i].StartS - hand[i - 1].EndS) / dotS;
        EXPECT_TRUE(gap < 4.81 || gap >= 5.0) << "gap " << i << ": " << gap << " dots";
    }

    // Noise only before the signal: its power in 500 Hz is SnrDb under the
    // tone's A^2 / 2.
    for (double snrDb : {6.0, -3.0}) {
        auto noisy = Plan("E", 20.0, 700.0, EdgeShape::Exponential, 3.0, 2);
        noisy.Noise = true;
        noisy.SnrDb = snrDb;
        noisy.Amplitude = 1000.0;
        const auto recording = accuracy::Render(noisy);
        double power = 0.0;
        const std::size_t lead = 10000;  // frames, all before the first key-down
        for (std::size_t i = 0; i < lead; ++i)
            power += std::pow(recording.Stereo[2 * i], 2.0);
        const double inBand = power / lead * 500.0 / (11025.0 / 2.0);
        EXPECT_NEAR(10.0 * std::log10(500000.0 / inBand), snrDb, 0.3);
        // One second of noise after the last key-up too, in whole halves.
        const double frames = static_cast<double>(recording.Stereo.size() / 2);
        EXPECT_EQ(recording.Stereo.size() % kHalfSamples, 0u);
        EXPECT_GE(frames / 11025.0, recording.Marks.back().EndS + 1.0);
        EXPECT_LT(frames / 11025.0, recording.Marks.back().EndS + 1.1);
    }
}

TEST(SecondGenerator, WeakDecoderCopiesEveryEdgeToneAndSpeedFromTheFirstCharacter) {
    struct Case {
        double Wpm, ToneHz;
        EdgeShape Edge;
        double RiseMs;
    };
    const Case cases[] = {{10, 300, EdgeShape::Exponential, 8},
                          {15, 520, EdgeShape::RaisedCosine, 1},
                          {22, 940, EdgeShape::Exponential, 2},
                          {30, 700, EdgeShape::RaisedCosine, 10},
                          {40, 1200, EdgeShape::RaisedCosine, 3}};
    std::mt19937_64 rng(77);
    for (const Case& c : cases) {
        const auto plan =
            Plan(accuracy::ExchangeText(rng, 8), c.Wpm, c.ToneHz, c.Edge, c.RiseMs, rng());
        const auto recording = accuracy::Render(plan);
        EXPECT_EQ(DecodeWeak(recording.Stereo), recording.Text)
            << c.Wpm << " wpm, " << c.ToneHz << " Hz";
    }
}

TEST(SecondGenerator, WeakDecoderFollowsASpeedChangeBetweenOvers) {
    // One station, then the other answering twice as fast on nearly the same
    // tone, with seconds of noise between their overs.
    // The longer pause empties the level window of marks, so the signal
    // has to be found again as well.
    struct Overs {
        double First, Second, PauseS;
    };
    std::mt19937_64 rng(5);
    for (const auto& [first, second, pause] :
         {Overs{14.0, 30.0, 2.0}, Overs{32.0, 16.0, 2.0}, Overs{14.0, 30.0, 4.0}}) {
        auto a =
            Plan(accuracy::ExchangeText(rng, 6), first, 640.0, EdgeShape::RaisedCosine, 4.0, rng());
        auto b =
            Plan(accuracy::ExchangeText(rng, 6), second, 655.0, EdgeShape::Exponential, 4.0, rng());
        a.Noise = b.Noise = true;
        a.PadS = b.PadS = pause / 2.0;
        a.SnrDb = b.SnrDb = 10.0;
        auto audio = accuracy::Render(a).Stereo;
        const auto answer = accuracy::Render(b).Stereo;
        audio.insert(audio.end(), answer.begin(), answer.end());
        EXPECT_EQ(DecodeWeak(audio), a.Text + " " + b.Text)
            << first << " then " << second << " after " << pause << " s";
    }
}

// Character error rate over recordings of the second generator at 15, 22
// and 30 wpm.
double ErrorRate(double snrDb, bool handSent, int count, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::size_t errors = 0, sent = 0;
    for (int i = 0; i < count; ++i) {
        auto plan = accuracy::DrawPlan(rng, 15.0 + 7.5 * (i % 3), handSent);
        plan.SnrDb = snrDb;
        const auto recording = accuracy::Render(plan);
        errors += common::EditDistance(DecodeWeak(recording.Stereo), recording.Text);
        sent += recording.Text.size();
    }
    return static_cast<double>(errors) / static_cast<double>(sent);
}

TEST(SecondGenerator, WeakDecoderCopiesKeyedAndHandSentCwInNoise) {
    EXPECT_LT(ErrorRate(0.0, false, 6, 31), 0.06);
    EXPECT_LT(ErrorRate(6.0, true, 6, 32), 0.06);
}

}  // namespace
}  // namespace morvane::receive
