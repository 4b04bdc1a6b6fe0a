// The weak decoder against what bands bring beside noise: slow fading and
// a weaker station 100 Hz away, from the tone tracker and the level fit up
// to the decoder end to end on generated recordings (fixed seeds).
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "WeakDecoding.h"
#include "common/Text.h"
#include "receive/ReceivePath.h"
#include "receive/weak/LevelModel.h"
#include "receive/weak/ToneTracker.h"
#include "synth/BandRecording.h"

namespace morvane::receive::weak {
namespace {

constexpr double kRate = 11025.0;

// A tone keyed 60 ms on, 60 ms off, over `blocks` blocks of 1024 samples.
std::vector<float> Keyed(double hz, double amplitude, int blocks, std::uint64_t seed) {
    std::vector<float> audio(static_cast<std::size_t>(blocks) * 1024);
    const double phase = static_cast<double>(seed);
    for (std::size_t i = 0; i < audio.size(); ++i)
        audio[i] = (i / 662) % 2 == 0
                       ? static_cast<float>(
                             amplitude * std::sin(2.0 * std::numbers::pi * hz * i / kRate + phase))
                       : 0.0f;
    return audio;
}

std::vector<float> Noise(double sigma, int blocks, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> gauss(0.0, sigma);
    std::vector<float> audio(static_cast<std::size_t>(blocks) * 1024);
    for (float& sample : audio)
        sample = static_cast<float>(gauss(rng));
    return audio;
}

TEST(ToneTracker, HoldsAFadingStationAgainstAWeakerNeighbourThatWasThereFirst) {
    // The neighbour keys throughout; the wanted station comes at 1.8 s, at
    // +3 dB in 500 Hz and 7.5 dB stronger than the neighbour at its best, but
    // already fading: every 14.8 s it goes down to 0.3 of its level, below
    // the neighbour, for a few seconds. At 28 s it stops.
    constexpr int kBlocks = 450;
    constexpr int kStopBlock = 300;
    constexpr double kStartS = 1.8;
    const auto wanted = Keyed(700.0, 2370.0, kBlocks, 11);
    const auto neighbour = Keyed(800.0, 1000.0, kBlocks, 12);
    const auto noise = Noise(3900.0, kBlocks, 13);
    ToneTracker tracker;
    int found = -1, lost = 0, back = -1;
    for (int block = 0; block < kBlocks; ++block) {
        std::vector<float> mix(1024);
        for (std::size_t i = 0; i < mix.size(); ++i) {
            const std::size_t at = static_cast<std::size_t>(block) * 1024 + i;
            const double t = static_cast<double>(at) / kRate;
            const double dip = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * t / 14.8);
            const bool keyed = t >= kStartS && block < kStopBlock;
            mix[i] = noise[at] + neighbour[at] +
                     (keyed ? static_cast<float>(1.0 - 0.7 * dip) * wanted[at] : 0.0f);
        }
        tracker.Process(mix);
        const bool onWanted = std::abs(tracker.ToneHz() - 700.0) < 4.0;
        if (block >= kStopBlock) {
            if (back < 0 && std::abs(tracker.ToneHz() - 800.0) < 4.0)
                back = block - kStopBlock;
        } else if (found < 0 && onWanted) {
            found = block;
        } else if (found >= 0 && !onWanted) {
            ++lost;
        }
    }
    // Found within 3 s of its start, then never left for the neighbour while
    // it sends; once it has gone, the neighbour is taken within 5 s.
    EXPECT_GE(found, 0);
    EXPECT_LT(found, static_cast<int>((kStartS + 3.0) * kRate / 1024));
    EXPECT_EQ(lost, 0) << "found in block " << found;
    EXPECT_GE(back, 0);
    EXPECT_LT(back, static_cast<int>(5.0 * kRate / 1024));
}

TEST(ToneTracker, TwoStationsOfNearlyEqualStrengthDoNotTossTheLockBetweenThem) {
    // 100 Hz apart, 1 dB between them, +6 dB in 500 Hz, each keying its own
    // text: while both send, each move of the lock throws the levels away.
    int moves = 0;
    for (std::uint64_t seed = 1; seed <= 10; ++seed) {
        const double hz = 500.0 + 30.0 * static_cast<double>(seed);
        const auto recording = synth::MakeRecording({.Wpm = 18.0 + static_cast<double>(seed),
                                                     .ToneHz = hz,
                                                     .SnrDb = 6.0,
                                                     .Neighbour = true,
                                                     .NeighbourOffsetHz = seed % 2 ? 100.0 : -100.0,
                                                     .NeighbourDb = -1.0,
                                                     .LeadS = 1.0,
                                                     .Words = 12,
                                                     .Seed = seed});
        ToneTracker tracker;
        std::vector<float> block(1024);
        const std::size_t frames = recording.Frames.size() / 2;
        double last = 0.0;
        for (std::size_t at = 0; at + block.size() <= frames; at += block.size()) {
            for (std::size_t i = 0; i < block.size(); ++i)
                block[i] = recording.Frames[2 * (at + i)];
            tracker.Process(block);
            // From 3 s in, until 2 s before the wanted station's end.
            const bool bothSending = at > 3 * kRate && at + 2 * kRate < frames;
            if (bothSending && std::abs(tracker.ToneHz() - last) > 15.0)
                ++moves;
            last = tracker.ToneHz();
        }
    }
    EXPECT_LE(moves, 13);
}

TEST(LevelModel, TheLocalMarkLevelFollowsAFadeAndHoldsWithoutMarks) {
    std::mt19937_64 rng(4);
    std::normal_distribution<double> gauss(0.0, 1.0);
    // The fit of the last seconds: noise sigma 1, marks at 8 on average.
    const LevelFit fit{.NoiseSigma = 1.0, .MarkLevel = 8.0, .MarkSpread = 3.0, .MarkShare = 0.4};
    // 250 steps, 40 % of them marks at `mark`.
    auto window = [&](double mark) {
        std::vector<float> samples;
        for (int i = 0; i < 250; ++i) {
            const double line = i % 50 < 20 ? mark : 0.0;
            samples.push_back(static_cast<float>(std::hypot(line + gauss(rng), gauss(rng))));
        }
        return samples;
    };
    // A fade from 11 down to 3.5 and back, one window a block (a tenth of a
    // second), each fit starting from the last.
    double level = fit.MarkLevel;
    for (int block = 0; block <= 60; ++block) {
        const double mark = 7.25 + 3.75 * std::cos(2.0 * std::numbers::pi * block / 60.0);
        level = LocalMarkLevel(window(mark), fit, level);
        EXPECT_NEAR(level, mark, 0.15 * mark + 0.3) << "block " << block;
        LevelFit local = fit;
        local.MarkLevel = level;
        EXPECT_GT(MarkLogLikelihoodRatio(mark, local), 0.0) << "block " << block;
    }
    // A word space: no marks, the level stays near where it was.
    EXPECT_NEAR(LocalMarkLevel(window(0.0), fit, 6.0), 6.0, 1.0);
    // The over ends: window after window of noise alone, each from the last.
    // Sinking to the noise's tail would print that tail as text.
    double held = 6.0;
    for (int block = 0; block < 30; ++block)
        held = LocalMarkLevel(window(0.0), fit, held);
    EXPECT_GT(held, 6.0) << held;
}

TEST(WeakDecoder, FollowsTheMarkLevelThroughSlowFading) {
    // Down to 0.35 of the level (-9 dB) every 5 to 9 s; at +6 dB on the
    // peaks the dips are at -3 dB, where steady signals still copy.
    std::mt19937_64 rng(77);
    std::size_t errors = 0, sent = 0;
    for (int i = 0; i < 8; ++i) {
        auto plan = synth::RandomPlan(rng, {.MinWpm = 18.0, .MaxWpm = 28.0});
        plan.SnrDb = 6.0;
        plan.FadeDepth = 0.65;
        plan.FadePeriodS = 5.0 + i % 5;
        const auto recording = synth::MakeRecording(plan);
        errors += common::EditDistance(DecodeWeak(recording.Frames), recording.Text);
        sent += recording.Text.size();
    }
    EXPECT_LT(static_cast<double>(errors) / static_cast<double>(sent), 0.12);
}

TEST(WeakDecoder, AClearStationBesideAWeakerOnePrintsNothingOfItBeforeItsFirstWord) {
    // Without noise the neighbour's keying leaks through as marks; the
    // second before the presence gate is read only on a weak signal (read
    // on every signal, 4 of these 12 were led by the neighbour's characters).
    // Still open: two first words where the neighbour cuts into the first
    // character ("TNX" read "M O X", "VK6QR" "XK6QR").
    std::mt19937_64 rng(66);
    int garbled = 0;
    std::string misses;
    for (int i = 0; i < 12; ++i) {
        auto plan = synth::RandomPlan(rng, {.MinWpm = 18.0, .MaxWpm = 28.0, .Hard = true});
        plan.NoiseOn = false;
        plan.Neighbour = true;
        plan.FadeDepth = 0.0;
        plan.Words = 4;
        const auto recording = synth::MakeRecording(plan);
        const std::string decoded = DecodeWeak(recording.Frames);
        if (decoded != recording.Text) {
            ++garbled;
            misses += "\n  " + recording.Text + " | " + decoded;
        }
    }
    EXPECT_LE(garbled, 2) << misses;
}

TEST(WeakDecoder, AStationStartingBesideAWeakerOneLosesNoCharacterOfItsFirstWord) {
    // The neighbour, 100 Hz away and 6 to 12 dB weaker, keys from 0.2 s; the
    // tracker is on it when the wanted station starts at 0.8 s.
    std::mt19937_64 rng(55);
    for (int i = 0; i < 12; ++i) {
        auto plan = synth::RandomPlan(rng, {.MinWpm = 18.0, .MaxWpm = 28.0, .Hard = true});
        plan.SnrDb = 3.0;
        plan.Neighbour = true;
        plan.FadeDepth = 0.0;
        plan.LeadS = 0.8;
        plan.Words = 3;
        const auto recording = synth::MakeRecording(plan);
        const std::string decoded = DecodeWeak(recording.Frames);
        EXPECT_GE(decoded.find(' '), recording.Text.find(' '))
            << recording.Text << " | " << decoded;
    }
}

}  // namespace
}  // namespace morvane::receive::weak
