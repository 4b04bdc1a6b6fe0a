// How the weak decoder adapts to a sender's own timing: the speed search
// under heavy weighting, and the borders between dots and dashes, inner
// gaps, character and word spaces.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string_view>
#include <vector>

#include "receive/weak/SenderRhythm.h"
#include "receive/weak/SpeedSearch.h"

namespace morvane::receive::weak {
namespace {

// Runs of `codes` (dots and dashes, ' ' between characters, '|' between
// words) at `dotSteps`, every mark `weighting` dots longer and every space
// as much shorter.
std::vector<TimedRun> Weighted(std::string_view codes, double dotSteps, double weighting) {
    std::vector<TimedRun> runs;
    const auto add = [&](bool mark, double dots) {
        runs.push_back(
            {static_cast<int>(std::lround((dots + (mark ? weighting : -weighting)) * dotSteps)),
             mark});
    };
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const char c = codes[i];
        if (c == ' ' || c == '|') {
            runs.back().Steps += static_cast<int>(std::lround((c == ' ' ? 2.0 : 6.0) * dotSteps));
            continue;
        }
        add(true, c == '-' ? 3.0 : 1.0);
        add(false, 1.0);
    }
    return runs;
}

TEST(SpeedSearch, AHeavyFistsDotsAreNotTakenForDashesOfHalfTheSpeed) {
    // Mostly dots, as at the start of "HL0Q" or "S55": long dots and short
    // gaps look like dashes and dots of half the unit unless the weighting
    // is allowed for.
    const std::string_view starts[] = {".... .-..|----- --.-", "... ..... .....|..-. --.",
                                       ".... ..|. . ...|.-."};
    for (std::string_view codes : starts) {
        for (double weighting : {0.0, 0.2, 0.35}) {
            const auto estimate = EstimateDotSteps(Weighted(codes, 19.0, weighting));
            ASSERT_TRUE(estimate.has_value()) << codes;
            EXPECT_NEAR(*estimate, 19.0, 0.15 * 19.0) << codes << " weighting " << weighting;
        }
    }
}

// Runs that are nothing but dots and inner gaps of one speed fit just as
// well as dashes and character spaces of two and a half times it; real text
// has dots and inner gaps, so the slower reading wins. The runs are what the
// search saw of a 5 and the start of a 4 after a noise burst, where the
// speed locked at the fast reading and the rest printed as Ts and Ms.
TEST(SpeedSearch, RunsOfDotsAndInnerGapsAreNotTakenForDashesOfAFasterSender) {
    const std::vector<TimedRun> heard{{6, true},  {11, false}, {20, true}, {20, false},
                                      {22, true}, {17, false}, {23, true}, {58, false},
                                      {20, true}, {18, false}, {17, true}, {20, false},
                                      {17, true}, {19, false}, {26, true}, {6, false}};
    const auto estimate = EstimateDotSteps(heard);
    ASSERT_TRUE(estimate.has_value());
    EXPECT_NEAR(*estimate, 20.0, 3.0);
    // Text of dots alone, dashes alone and the usual mix keeps its unit.
    for (std::string_view codes : {"... ...|... ...", "--- ---|- --", ".-. .-|--. ..-"}) {
        const auto kept = EstimateDotSteps(Weighted(codes, 14.0, 0.0));
        ASSERT_TRUE(kept.has_value()) << codes;
        EXPECT_NEAR(*kept, 14.0, 0.15 * 14.0) << codes;
    }
}

TEST(SenderRhythm, BordersFollowTheSendersOwnDashesAndSpaces) {
    struct Sender {
        const char* Name;
        double Dot, Dash, Inner, Character, Word;
    };
    // The last two are read wrongly with fixed borders at 2 and 5 dots.
    const Sender senders[] = {{"keyer", 1.0, 3.0, 1.0, 3.0, 7.0},
                              {"long dashes, wide spaces", 1.1, 4.0, 0.9, 4.0, 8.0},
                              {"light dots, short dashes", 0.8, 2.0, 1.0, 2.7, 6.0},
                              {"cramped word spaces", 1.0, 3.0, 1.0, 3.6, 4.8}};
    std::mt19937_64 rng(3);
    std::normal_distribution<double> jitter(1.0, 0.08);
    for (const Sender& s : senders) {
        SenderRhythm rhythm;
        for (int i = 0; i < 60; ++i) {
            rhythm.AddMark(s.Dot * jitter(rng));
            rhythm.AddSpace(s.Inner * jitter(rng));
            rhythm.AddMark(s.Dash * jitter(rng));
            rhythm.AddSpace((i % 3 == 0 ? s.Word : s.Character) * jitter(rng));
        }
        EXPECT_GT(rhythm.DashBorder(), 1.15 * s.Dot) << s.Name;
        EXPECT_LT(rhythm.DashBorder(), s.Dash / 1.15) << s.Name;
        EXPECT_GT(rhythm.CharacterBorder(), 1.15 * s.Inner) << s.Name;
        EXPECT_LT(rhythm.CharacterBorder(), s.Character / 1.15) << s.Name;
        EXPECT_GT(rhythm.WordBorder(), 1.05 * s.Character) << s.Name;
        EXPECT_LT(rhythm.WordBorder(), s.Word / 1.05) << s.Name;
    }

    // Noise runs of any length cannot take the borders far from the usual
    // ones, and a reset forgets the sender.
    SenderRhythm rhythm;
    std::uniform_real_distribution<double> any(0.05, 30.0);
    for (int i = 0; i < 500; ++i) {
        rhythm.AddMark(any(rng));
        rhythm.AddSpace(any(rng));
        EXPECT_GE(rhythm.DashBorder(), 1.6);
        EXPECT_LE(rhythm.DashBorder(), 2.8);
        EXPECT_GE(rhythm.CharacterBorder(), 1.6);
        EXPECT_LE(rhythm.CharacterBorder(), 2.8);
        EXPECT_GE(rhythm.WordBorder(), 4.0);
        EXPECT_LE(rhythm.WordBorder(), 6.5);
    }
    rhythm.Reset();
    EXPECT_NEAR(rhythm.DashBorder(), std::sqrt(3.0), 1e-9);
    EXPECT_NEAR(rhythm.WordBorder(), std::sqrt(21.0), 1e-9);
}

TEST(SenderRhythm, SpreadsNarrowForAKeyerAndStayWideForAHandSender) {
    // Lengths off by 6 % (a keyer) and by 25 % (a hand sender), as log dots.
    struct Sender {
        double Jitter;
        double Low, High;  // bounds of every learned spread
    };
    const Sender senders[] = {{0.06, 0.1, 0.12}, {0.25, 0.18, 0.35}};
    for (const Sender& s : senders) {
        std::mt19937_64 rng(5);
        std::normal_distribution<double> jitter(0.0, s.Jitter);
        SenderRhythm rhythm;
        for (int i = 0; i < 200; ++i) {
            rhythm.AddMark(std::exp(jitter(rng)));
            rhythm.AddSpace(std::exp(jitter(rng)));
            rhythm.AddMark(3.0 * std::exp(jitter(rng)));
            rhythm.AddSpace((i % 3 == 0 ? 7.0 : 3.0) * std::exp(jitter(rng)));
        }
        for (int kind = 0; kind < 2; ++kind) {
            EXPECT_GE(rhythm.MarkSpread(kind), s.Low) << s.Jitter << " mark " << kind;
            EXPECT_LE(rhythm.MarkSpread(kind), s.High) << s.Jitter << " mark " << kind;
        }
        for (int kind = 0; kind < 3; ++kind) {
            EXPECT_GE(rhythm.SpaceSpread(kind), s.Low) << s.Jitter << " space " << kind;
            EXPECT_LE(rhythm.SpaceSpread(kind), s.High) << s.Jitter << " space " << kind;
        }
    }
    // Runs of any length keep the spreads within their bounds; a reset
    // starts wide again.
    SenderRhythm rhythm;
    std::mt19937_64 rng(6);
    std::uniform_real_distribution<double> any(0.05, 30.0);
    for (int i = 0; i < 500; ++i) {
        rhythm.AddMark(any(rng));
        rhythm.AddSpace(any(rng));
    }
    for (int kind = 0; kind < 2; ++kind) {
        EXPECT_GE(rhythm.MarkSpread(kind), 0.1);
        EXPECT_LE(rhythm.MarkSpread(kind), 0.5);
    }
    rhythm.Reset();
    EXPECT_DOUBLE_EQ(rhythm.MarkSpread(0), 0.3);
    EXPECT_DOUBLE_EQ(rhythm.SpaceSpread(0), 0.35);
}

}  // namespace
}  // namespace morvane::receive::weak
