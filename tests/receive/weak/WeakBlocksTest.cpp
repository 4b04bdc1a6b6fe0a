// The weak decoder's blocks against plain references: the tone tracker,
// the demodulator's selectivity, the two-mode level fit, the speed search
// and the timing search's resistance to a noisy step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "decode/CharacterSink.h"
#include "decode/CodeTables.h"
#include "receive/weak/CharacterSearch.h"
#include "receive/weak/ElementAssembler.h"
#include "receive/weak/LevelModel.h"
#include "receive/weak/MarkSpaceViterbi.h"
#include "receive/weak/SenderRhythm.h"
#include "receive/weak/SpeedSearch.h"
#include "receive/weak/ToneDemodulator.h"
#include "receive/weak/ToneTracker.h"

namespace morvane::receive::weak {
namespace {

constexpr double kRate = 11025.0;

// Keyed tone (50 % duty, 60 ms on and off) plus white noise of `noiseSigma`.
std::vector<float> KeyedTone(double hz, double amplitude, double noiseSigma, int blocks,
                             std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> gauss(0.0, noiseSigma);
    std::vector<float> audio(static_cast<std::size_t>(blocks) * 1024);
    for (std::size_t i = 0; i < audio.size(); ++i) {
        const bool on = (i / 662) % 2 == 0;
        audio[i] = static_cast<float>(
            (on ? amplitude * std::sin(2.0 * std::numbers::pi * hz * i / kRate) : 0.0) +
            gauss(rng));
    }
    return audio;
}

TEST(ToneTracker, FindsTheToneAcrossTheBandAndIgnoresNoise) {
    // Noise sigma 1000 per sample is 0 dB in 500 Hz for a tone of 1000 * sqrt(2 * 500 / 5512.5)
    // amplitude; take the tone at +3 dB of that.
    const double amplitude = 1000.0 * std::sqrt(2.0 * 500.0 / (kRate / 2.0)) * std::sqrt(2.0);
    for (double hz : {310.0, 555.0, 800.0, 1190.0}) {
        ToneTracker tracker;
        const auto audio = KeyedTone(hz, amplitude, 1000.0, 16, 7);
        for (std::size_t at = 0; at < audio.size(); at += 1024)
            tracker.Process(std::span<const float>(audio).subspan(at, 1024));
        EXPECT_NEAR(tracker.ToneHz(), hz, 4.0) << hz;
        EXPECT_TRUE(tracker.SignalPresent()) << hz;
    }
    ToneTracker noiseOnly;
    const auto noise = KeyedTone(700.0, 0.0, 1000.0, 200, 8);
    for (std::size_t at = 0; at < noise.size(); at += 1024) {
        noiseOnly.Process(std::span<const float>(noise).subspan(at, 1024));
        ASSERT_FALSE(noiseOnly.SignalPresent()) << "block " << at / 1024;
    }
}

TEST(ToneTracker, KeepsTheStrongerStationWhenAWeakerOneStartsNearby) {
    ToneTracker tracker;
    const auto strong = KeyedTone(700.0, 3000.0, 300.0, 40, 9);
    const auto weak = KeyedTone(800.0, 1200.0, 0.0, 40, 10);
    for (std::size_t at = 0; at < strong.size(); at += 1024) {
        std::vector<float> mix(1024);
        for (std::size_t i = 0; i < mix.size(); ++i)
            mix[i] = strong[at + i] + (at >= 20 * 1024 ? weak[at + i] : 0.0f);
        tracker.Process(mix);
    }
    EXPECT_NEAR(tracker.ToneHz(), 700.0, 4.0);
}

TEST(ToneDemodulator, PassesTheToneAndRejectsANeighbour100HzAway) {
    auto level = [](double hz) {
        ToneDemodulator demodulator({.DelaySamples = 1});
        demodulator.SetToneHz(700.0);
        demodulator.SetAverageSteps(10);  // 20 wpm
        std::vector<float> audio(8192), out(8192 / 32 + 1);
        std::vector<std::complex<float>> raw(out.size());
        for (std::size_t i = 0; i < audio.size(); ++i)
            audio[i] =
                static_cast<float>(1000.0 * std::cos(2.0 * std::numbers::pi * hz * i / kRate));
        const std::size_t n = demodulator.Process(audio, out, raw);
        return out[n - 1];
    };
    // A real tone of amplitude A mixes down to A / 2.
    EXPECT_NEAR(level(700.0), 500.0, 5.0);
    EXPECT_LT(level(800.0), 500.0 / 10.0);  // more than 20 dB down
    EXPECT_LT(level(600.0), 500.0 / 10.0);
}

TEST(ToneDemodulator, TheLowPassPassesTheShareOfNoiseItsGainSays) {
    // White noise: the envelope's Rayleigh level against the steps' noise
    // per component before the low-pass, at short and long averages.
    for (int length : {1, 3, 12, 40}) {
        ToneDemodulator demodulator({.DelaySamples = 1});
        demodulator.SetToneHz(650.0);
        demodulator.SetAverageSteps(length);
        std::mt19937_64 rng(static_cast<std::uint64_t>(length));
        std::normal_distribution<double> gauss(0.0, 1000.0);
        std::vector<float> audio(1024), out(audio.size() / 32 + 1);
        std::vector<std::complex<float>> raw(out.size());
        double rawPower = 0.0, envelopePower = 0.0;
        int count = 0;
        for (int block = 0; block < 1500; ++block) {
            for (float& sample : audio)
                sample = static_cast<float>(gauss(rng));
            const std::size_t n = demodulator.Process(audio, out, raw);
            for (std::size_t i = 0; i < n && block > 2; ++i, ++count) {
                rawPower += std::norm(raw[i]) / 2.0;
                envelopePower += out[i] * out[i] / 2.0;
            }
        }
        const double gain = std::sqrt(envelopePower / rawPower);
        EXPECT_NEAR(gain, LowPassNoiseGain(length), 0.05 * LowPassNoiseGain(length))
            << length << " steps";
    }
}

TEST(LevelModel, FitsNoiseAndMarkLevelsOfAKeyedEnvelope) {
    std::mt19937_64 rng(3);
    std::normal_distribution<double> gauss(0.0, 1.0);
    for (double mark : {4.0, 8.0, 20.0}) {
        std::vector<float> samples;
        for (int i = 0; i < 2000; ++i) {
            // Complex Gaussian noise (sigma 1 per part), plus the line in 40 % of the steps.
            const double line = i % 5 < 2 ? mark : 0.0;
            samples.push_back(static_cast<float>(std::hypot(line + gauss(rng), gauss(rng))));
        }
        std::vector<float> scratch(samples.size());
        const LevelFit fit = FitLevels(samples, 6, scratch);
        EXPECT_NEAR(fit.NoiseSigma, 1.0, 0.15) << mark;
        EXPECT_NEAR(fit.MarkLevel, std::hypot(mark, 1.0), 0.15 * mark) << mark;
        EXPECT_NEAR(fit.MarkShare, 0.4, 0.08) << mark;
        EXPECT_GT(MarkLogLikelihoodRatio(mark, fit), 0.0);
        EXPECT_LT(MarkLogLikelihoodRatio(1.0, fit), 0.0);
    }
}

// Runs of "PARIS" (.--. .- .-. .. ...) at `dot` steps, each length off by
// up to `spread` of itself.
std::vector<TimedRun> Paris(double dot, double spread, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> off(1.0 - spread, 1.0 + spread);
    const std::vector<std::pair<int, bool>> units{
        {1, true},  {1, false}, {3, true},  {1, false}, {3, true},  {1, false}, {1, true},
        {3, false}, {1, true},  {1, false}, {3, true},  {3, false}, {1, true},  {1, false},
        {3, true},  {1, false}, {1, true},  {3, false}, {1, true},  {1, false}, {1, true},
        {3, false}, {1, true},  {1, false}, {1, true},  {1, false}, {1, true},  {7, false}};
    std::vector<TimedRun> runs;
    for (int repeat = 0; repeat < 2; ++repeat)
        for (auto [length, mark] : units)
            runs.push_back({static_cast<int>(std::lround(length * dot * off(rng))), mark});
    return runs;
}

TEST(SpeedSearch, FindsTheDotOfEvenAndHandSentRuns) {
    for (double dot : {9.0, 17.0, 30.0, 50.0}) {
        for (double spread : {0.0, 0.25}) {
            const auto estimate = EstimateDotSteps(Paris(dot, spread, 4));
            ASSERT_TRUE(estimate.has_value());
            EXPECT_NEAR(*estimate, dot, 0.12 * dot) << dot << " spread " << spread;
        }
    }
    // A few marks are not enough to judge.
    const auto few = Paris(20.0, 0.0, 5);
    EXPECT_FALSE(EstimateDotSteps(std::span(few).first(6)).has_value());
}

// Collects the runs the search hands on, merged as the assembler merges them.
class RunLog : public RunSink {
  public:
    void OnRunPiece(std::int64_t, bool mark, int steps, double) override {
        if (!Runs.empty() && Runs.back().Mark == mark)
            Runs.back().Steps += steps;
        else
            Runs.push_back({steps, mark});
    }
    void OnSpaceProgress(int) override {}
    std::vector<TimedRun> Runs;
};

TEST(MarkSpaceViterbi, ANoisyStepDoesNotCutADashNorDoesASpikeMakeADot) {
    MarkSpaceViterbi search(56);
    search.SetDotSteps(10.0);
    // Space, a dash with one step of the strongest space evidence in it, a
    // space with one step of the strongest mark evidence in it, a dot, then
    // silence.
    std::vector<double> llr;
    auto add = [&](int steps, double value) { llr.insert(llr.end(), steps, value); };
    add(100, -2.0);
    add(14, 2.0);
    add(1, -kMaxStepLlr);
    add(15, 2.0);
    add(15, -2.0);
    add(1, kMaxStepLlr);
    add(14, -2.0);
    add(10, 3.0);
    add(200, -2.0);
    for (double value : llr)
        search.Push(value);
    RunLog log;
    search.Decide(0, log);
    ASSERT_EQ(log.Runs.size(), 5u);
    EXPECT_TRUE(log.Runs[1].Mark);
    EXPECT_EQ(log.Runs[1].Steps, 30);
    EXPECT_EQ(log.Runs[2].Steps, 30);
    EXPECT_EQ(log.Runs[3].Steps, 10);
}

TEST(MarkSpaceViterbi, LengthPriorsFollowTheSendersRhythm) {
    // A hand sender's 4.5-dot dash with a short dip in the middle: with the
    // usual 3-dot dashes in mind the search cuts it into two marks, with the
    // sender's own dashes learned it keeps it whole.
    std::vector<double> llr;
    auto add = [&](int steps, double value) { llr.insert(llr.end(), steps, value); };
    add(100, -2.0);
    add(20, 1.0);
    add(4, -1.0);
    add(21, 1.0);
    add(200, -2.0);
    auto marks = [&](const SenderRhythm& rhythm) {
        MarkSpaceViterbi search(56);
        search.SetRhythm(rhythm);
        search.SetDotSteps(10.0);
        for (double value : llr)
            search.Push(value);
        RunLog log;
        search.Decide(0, log);
        return std::ranges::count_if(log.Runs, [](const TimedRun& r) { return r.Mark; });
    };
    SenderRhythm usual;
    EXPECT_EQ(marks(usual), 2);
    SenderRhythm hand;
    for (int i = 0; i < 100; ++i) {
        hand.AddMark(1.0);
        hand.AddSpace(1.0);
        hand.AddMark(4.5);
        hand.AddSpace(i % 3 == 0 ? 7.0 : 3.0);
    }
    EXPECT_EQ(marks(hand), 1);
}

// Summed evidence of a stretch at `unitsPerDot`: each run given as its kind,
// length in dots and evidence per unit (marks positive, spaces negative).
struct TimedPiece {
    bool Mark;
    double Dots;
    double PerUnit;
};

std::vector<double> Cumulative(const std::vector<TimedPiece>& pieces, double unitsPerDot) {
    std::vector<double> sum{0.0};
    for (const TimedPiece& piece : pieces)
        for (long u = 0; u < std::lround(piece.Dots * unitsPerDot); ++u)
            sum.push_back(sum.back() + piece.PerUnit);
    return sum;
}

// Dots and dashes of the search's reading, ' ' between characters.
std::string Reading(std::span<const FoundMark> marks) {
    std::string text;
    for (const FoundMark& mark : marks) {
        if (mark.FirstOfCharacter && !text.empty())
            text += ' ';
        text += mark.Dash ? '-' : '.';
    }
    return text;
}

TEST(CharacterSearch, ReadsWholeCharactersOfTheTableWhereTheLengthsAlonePointElsewhere) {
    KnownCodes english{};
    for (int code = 2; code < kSearchCodes; ++code)
        english[code] = decode::ReceiveEntry(decode::ReceiveTable::English, code) != "*";
    const TimedPiece gap{false, 1.0, -1.0}, space{false, 3.0, -1.0}, edge{false, 2.0, -1.0};
    const TimedPiece dot{true, 1.0, 1.0}, dash{true, 3.0, 1.0};
    struct Case {
        const char* Name;
        std::vector<TimedPiece> Pieces;
        const char* Expected;
    };
    const Case cases[] = {
        // Plain keying is read as sent, character spaces included.
        {"CQ",
         {edge, dash, gap, dot, gap, dash, gap, dot, space, dash, gap, dash, gap, dot, gap, dash,
          edge},
         "-.-. --.-"},
        // A dash cut to 1.5 dots: "--.--" is no character, the digit is.
        {"0 with a short dash",
         {edge, dash, gap, dash, gap, {true, 1.5, 1.0}, gap, dash, gap, dash, edge},
         "-----"},
        // A dot the noise hid (no evidence either way) between two inner
        // gaps: one digit rather than two letters.
        {"5 with a hidden dot",
         {edge, dot, gap, dot, gap, {false, 1.0, 0.0}, gap, dot, gap, dot, edge},
         "....."},
        // The same length of clear silence is a character space.
        {"I I", {edge, dot, gap, dot, space, dot, gap, dot, edge}, ".. .."},
        // A one-unit spike in a character space is noise, not an E.
        {"E T with a spike",
         {edge, dot, {false, 1.5, -1.0}, {true, 1.0 / 6.0, 1.0}, {false, 1.5, -1.0}, dash, edge},
         ". -"},
        // Silence reads as nothing.
        {"silence", {{false, 12.0, -1.0}}, ""},
    };
    CharacterSearch search;
    for (const Case& c : cases) {
        const auto units = Cumulative(c.Pieces, 6.0);
        EXPECT_EQ(Reading(search.Search(units, 6.0, TimingPriors{}, english)), c.Expected)
            << c.Name;
    }
    // Only codes the table knows are read: without "0" the short dash is a
    // dot again and the stretch splits into characters that exist.
    KnownCodes noZero = english;
    noZero[decode::CodeNumberOf("-----")] = false;
    noZero[decode::CodeNumberOf("--.--")] = true;
    const auto units = Cumulative(cases[1].Pieces, 6.0);
    EXPECT_EQ(Reading(search.Search(units, 6.0, TimingPriors{}, noZero)), "--.--");
}

class CodeLog : public decode::CharacterSink {
  public:
    bool ExtendOn() const override { return false; }
    void EmitCharacter(long long code) override { Text += code == 2 ? "E" : code == 3 ? "T" : "?"; }
    void EmitWordSpace() override { Text += ' '; }
    decode::ExtendedResult EmitExtended(const decode::ExtendedCharacter&) override { return {}; }
    std::string Text;
};

TEST(ElementAssembler, ALoneElementNeedsMoreConfidenceThanOneInAWord) {
    // Runs at 10 steps a dot; marks half as strong as expected.
    auto run = [](double squelch) {
        CodeLog log;
        ElementAssembler assembler(log, nullptr);
        assembler.SetDotSteps(10.0);
        assembler.SetExpectedStrength(1.0, -1.0);
        assembler.SetSquelch(squelch);
        const struct {
            bool Mark;
            int Steps;
            double Strength;
        } runs[] = {{false, 100, -100.0}, {true, 10, 4.0},   // E alone
                    {false, 70, -70.0},   {true, 30, 12.0},  // T, then E in the same word
                    {false, 30, -30.0},   {true, 10, 4.0},  {false, 70, -70.0}};
        std::int64_t at = 0;
        for (const auto& r : runs) {
            assembler.OnRunPiece(at, r.Mark, r.Steps, r.Strength);
            at += r.Steps;
        }
        assembler.Finish();
        return log.Text;
    };
    EXPECT_EQ(run(0.0), "E TE ");
    EXPECT_EQ(run(0.3), "TE ");
    EXPECT_EQ(run(1.0), "");
}

}  // namespace
}  // namespace morvane::receive::weak
