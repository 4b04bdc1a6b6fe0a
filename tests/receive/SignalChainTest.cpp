#include "receive/SignalChain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "ReceiveReference.h"
#include "receive/ReceiveToggles.h"

namespace morvane::receive {
namespace {

namespace ref = reference;

struct RecordingSink : TickSink {
    std::vector<std::pair<int, int>> Ticks;  // (SignalLevel, Threshold)
    void TimingStep(int level, int threshold) override { Ticks.emplace_back(level, threshold); }
};

struct ChainFixture {
    RecordingSink sink;
    SignalChain chain{sink};
    long samples = 0;

    ChainFixture() { chain.Options().InputChannel = 0; }

    void Feed(const std::vector<std::int16_t>& frames) {
        chain.ReadBlock(frames);
        chain.ProcessBlock();
        samples += 1024;
    }
    void FeedSilence(int blocks) {
        for (int b = 0; b < blocks; ++b)
            Feed(std::vector<std::int16_t>(2048, 0));
    }
    void FeedTone(int blocks, double amplitude, double toneBin) {
        for (int b = 0; b < blocks; ++b)
            Feed(ref::ToneFrames(amplitude, toneBin, samples));
    }
};

int TruncClamp(double db) {
    if (!(db > -90.0))
        return -90;
    if (db > 0.0)
        return 0;
    return static_cast<int>(db);
}

// True when rounding could move trunc(db) across an integer.
bool NearBoundary(double db) {
    return std::abs(db - std::round(db)) < 1e-6 && db > -90.0 && db < 0.0;
}

TEST(SignalChain, ReadBlockTakesTheChosenChannelAndCarriesFour) {
    RecordingSink sink;
    SignalChain chain(sink);
    std::vector<std::int16_t> frames(2048);
    for (int i = 0; i < 1024; ++i) {
        frames[static_cast<std::size_t>(2 * i)] = static_cast<std::int16_t>(i);
        frames[static_cast<std::size_t>(2 * i + 1)] = static_cast<std::int16_t>(-i - 1000);
    }
    chain.ReadBlock(frames);  // channel not chosen yet: untouched
    EXPECT_TRUE(std::all_of(chain.RawBlock().begin(), chain.RawBlock().end(),
                            [](double v) { return v == 0.0; }));
    chain.Options().InputChannel = 0;
    chain.ReadBlock(frames);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(chain.RawBlock()[static_cast<std::size_t>(i)], 0.0);
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(chain.RawBlock()[static_cast<std::size_t>(4 + i)], i);
    chain.Options().InputChannel = 1;
    chain.ReadBlock(frames);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(chain.RawBlock()[static_cast<std::size_t>(i)], 1020 + i);
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(chain.RawBlock()[static_cast<std::size_t>(4 + i)], -i - 1000);
    const std::vector<double> before(chain.RawBlock().begin(), chain.RawBlock().end());
    chain.Options().InputChannel = 2;
    chain.ReadBlock(frames);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), chain.RawBlock().begin()));
}

struct ChainCase {
    bool nr1;
    bool nr2;
    bool qrm;
    int toneBin;
    double gain;
    LevelMode mode;
};

// Runs three blocks of noise plus a keyed tone through the chain and the
// slow reference side by side.
void CheckAgainstReference(const ChainCase& c) {
    SCOPED_TRACE(testing::Message() << "nr1 " << c.nr1 << " nr2 " << c.nr2 << " qrm " << c.qrm
                                    << " bin " << c.toneBin);
    ChainFixture f;
    ReceiveOptions& o = f.chain.Options();
    o.Nr1On = c.nr1;
    o.Nr2On = c.nr2;
    o.QrmFilterOn = c.qrm;
    o.ToneBin = c.toneBin;
    o.InputGain = c.gain;
    o.LevelDisplayMode = c.mode;
    o.Threshold = -40;

    std::mt19937 rng(static_cast<unsigned>(c.toneBin * 7 + c.nr1 + 2 * c.nr2 + 4 * c.qrm));
    std::vector<double> raw(4, 0.0);       // carried values, then every left sample
    std::vector<double> stream(288, 0.0);  // history before the first block, then WorkBlocks
    std::vector<int> levels;
    for (int b = 0; b < 3; ++b) {
        std::vector<std::int16_t> frames = ref::RandomFrames(rng, 3000);
        for (std::size_t i = 0; i < 1024; ++i) {
            // A tone keyed on for the middle third of each block.
            if (i > 300 && i < 700)
                frames[2 * i] = static_cast<std::int16_t>(
                    frames[2 * i] + 20000.0 * std::cos(2.0 * std::numbers::pi * c.toneBin *
                                                       static_cast<double>(i) / 512.0));
            raw.push_back(frames[2 * i]);
        }
        f.Feed(frames);

        std::vector<double> work = ref::Median5({raw.end() - 1028, raw.end()});
        if (c.qrm)
            work = ref::Comb(work, c.toneBin);
        for (std::size_t i = 0; i < 1024; ++i)
            ASSERT_NEAR(f.chain.WorkBlock()[i], work[i], 1e-9) << "block " << b << " sample " << i;
        const std::size_t blockStart = stream.size() - 288;
        stream.insert(stream.end(), work.begin(), work.end());

        for (int j = 0; j < 32; ++j) {
            const auto first =
                stream.begin() + static_cast<long>(blockStart + 32 * static_cast<std::size_t>(j));
            const std::vector<double> window(first, first + 300);
            const double expected =
                ref::WindowToneMagnitude(window, c.nr1, c.nr2, c.toneBin, c.gain);
            const double actual = f.chain.ToneMagnitudes()[static_cast<std::size_t>(j)];
            ASSERT_NEAR(actual, expected, 1e-9 * expected + 1e-12)
                << "block " << b << " window " << j;
            const double db = ref::LevelDb(expected);
            levels.push_back(NearBoundary(db) ? 999 : TruncClamp(db));
        }

        // Block spectrum of the first 600 conditioned samples.
        std::vector<double> r = ref::Autocorrelation({work.begin(), work.begin() + 600}, 300.0);
        r[0] = 0.0;
        double largest = 0.0;
        std::vector<double> expectedSpectrum(512);
        for (int k = 0; k < 512; ++k) {
            expectedSpectrum[static_cast<std::size_t>(k)] =
                ref::WindowedDftMagnitude(r, 512, k, c.gain);
            largest = std::max(largest, expectedSpectrum[static_cast<std::size_t>(k)]);
        }
        for (std::size_t k = 0; k < 512; ++k)
            ASSERT_NEAR(f.chain.DisplaySpectrum()[k], expectedSpectrum[k], 1e-10 * largest) << k;
    }

    // SignalLevel of every window from the 9 latest levels, where none of
    // them sits on a truncation edge.
    ASSERT_EQ(f.sink.Ticks.size(), 96u);
    std::vector<int> history(9, -90);
    int checked = 0;
    for (std::size_t w = 0; w < levels.size(); ++w) {
        history.erase(history.begin());
        history.push_back(levels[w]);
        if (std::find(history.begin(), history.end(), 999) != history.end())
            continue;
        std::vector<int> s = history;
        std::sort(s.begin(), s.end());
        const int expected =
            c.mode == LevelMode::Signal ? (-40 < s[4] ? s[7] : s[1]) : (s[4] > -40 ? s[4] : s[1]);
        EXPECT_EQ(f.sink.Ticks[w].first, expected) << "window " << w;
        EXPECT_EQ(f.sink.Ticks[w].second, -40);
        ++checked;
    }
    EXPECT_GT(checked, 80);
    // The tone lifts the level above the threshold somewhere and the noise
    // keeps it below elsewhere, so the comparison covers both branches.
    const auto [lo, hi] = std::minmax_element(f.sink.Ticks.begin(), f.sink.Ticks.end());
    EXPECT_LE(lo->first, -40);
    EXPECT_GT(hi->first, -40);
}

TEST(SignalChain, MatchesSlowReferenceInEveryNoiseMode) {
    CheckAgainstReference({false, false, false, 28, 1.0, LevelMode::Signal});
    CheckAgainstReference({true, false, false, 20, 0.6, LevelMode::CW});
    CheckAgainstReference({false, true, false, 28, 1.0, LevelMode::Signal});
    CheckAgainstReference({false, true, true, 8, 2.0, LevelMode::CW});
    CheckAgainstReference({false, false, true, 37, 1.0, LevelMode::Signal});
}

TEST(SignalChain, HistoryWindowsHoldThePreviousBlockTail) {
    ChainFixture f;
    std::mt19937 rng(9);
    f.Feed(ref::RandomFrames(rng, 10000));
    const std::vector<double> first(f.chain.WorkBlock().begin(), f.chain.WorkBlock().end());
    f.Feed(ref::RandomFrames(rng, 10000));
    for (int j = 0; j < 9; ++j) {
        const auto kept = f.chain.HistoryWindow(j);
        ASSERT_EQ(kept.size(), static_cast<std::size_t>(288 - 32 * j));
        EXPECT_TRUE(
            std::equal(kept.begin(), kept.end(), first.end() - static_cast<long>(kept.size())));
    }
    const auto second = f.chain.WorkBlock();
    // Window 3 spans both blocks: 192 old samples, then 108 new ones.
    const auto w3 = f.chain.Window(3);
    EXPECT_TRUE(std::equal(w3.begin(), w3.begin() + 192, first.end() - 192));
    EXPECT_TRUE(std::equal(w3.begin() + 192, w3.end(), second.begin()));
    // Window 9 is the first inside the block; window 31 ends at 1004.
    EXPECT_TRUE(std::equal(f.chain.Window(9).begin(), f.chain.Window(9).end(), second.begin()));
    EXPECT_EQ(&f.chain.Window(31).back(), &second[1003]);

    // After keying the chain forgets the old signal.
    f.chain.Options().WorkBlockClearRequested = true;
    f.FeedSilence(1);
    EXPECT_TRUE(std::all_of(f.chain.HistoryWindow(0).begin(), f.chain.HistoryWindow(0).end(),
                            [](double v) { return v == 0.0; }));
}

TEST(SignalChain, SilenceReadsFloorAndNeverAMark) {
    for (auto [nr1, nr2] :
         {std::pair{false, false}, std::pair{true, false}, std::pair{false, true}}) {
        ChainFixture f;
        f.chain.Options().Nr1On = nr1;
        f.chain.Options().Nr2On = nr2;
        f.chain.Options().Threshold = -89;
        f.FeedSilence(4);
        ASSERT_EQ(f.sink.Ticks.size(), 128u);
        for (auto [level, threshold] : f.sink.Ticks) {
            EXPECT_EQ(level, -90);
            EXPECT_LT(level, threshold);
        }
    }
}

TEST(SignalChain, FullScaleToneLevelAndGain) {
    // Full scale at the tone bin, no noise reduction: the Hamming window's
    // sum over points 1..255 is 137.70, a cosine puts half its amplitude in
    // the bin, so A ≤ 32767 × 137.70 / 512 = 8812.5 (−11.4 dB); the median
    // shaves the peaks by a few percent.
    ChainFixture f;
    f.chain.Options().Nr2On = false;
    f.FeedTone(3, 32767.0, 28);
    const double a = f.chain.ToneMagnitudes()[20] / 256.0;
    EXPECT_LE(a, 8812.6);
    EXPECT_GE(a, 0.95 * 8812.5);
    EXPECT_EQ(f.chain.LevelHistory()[8], -11);

    // Gain 2 doubles every magnitude: +6 dB from a lower level.
    ChainFixture low;
    low.chain.Options().Nr2On = false;
    low.FeedTone(3, 32767.0 / 8.0, 28);
    ChainFixture doubled;
    doubled.chain.Options().Nr2On = false;
    doubled.chain.Options().InputGain = 2.0;
    doubled.FeedTone(3, 32767.0 / 8.0, 28);
    for (std::size_t j = 0; j < 32; ++j)
        EXPECT_NEAR(doubled.chain.ToneMagnitudes()[j], 2.0 * low.chain.ToneMagnitudes()[j],
                    1e-12 * low.chain.ToneMagnitudes()[j]);
    EXPECT_EQ(low.chain.LevelHistory()[8], -29);
    EXPECT_EQ(doubled.chain.LevelHistory()[8], -23);

    // The autocorrelation squares the level: a full-scale tone reads 0 dB.
    ChainFixture nr;
    nr.chain.Options().Nr1On = true;
    nr.chain.Options().Nr2On = false;
    nr.FeedTone(3, 32767.0, 28);
    EXPECT_EQ(nr.chain.LevelHistory()[8], 0);
}

TEST(SignalChain, AutomaticThresholdFollowsSweepExtremes) {
    ChainFixture f;
    ToggleThresholdAuto(f.chain.Options(), true);
    // The first sweep ends after 330 windows (window 10 of block 10); its
    // extremes are silence (−90) and a full-scale tone (0 with NR2).
    f.FeedSilence(5);
    f.FeedTone(6, 32767.0, 28);
    ASSERT_EQ(f.sink.Ticks.size(), 352u);
    EXPECT_EQ(f.sink.Ticks[329].second, -45);
    EXPECT_EQ(f.sink.Ticks[330].second, -54);  // trunc((1.2 × −90 + 0) / 2)
    EXPECT_EQ(f.chain.Options().Threshold, -54);
    EXPECT_EQ(f.chain.ThresholdLabel.Read(), "Threshold -54db");
    EXPECT_EQ(f.chain.LevelMax(), 0);  // restarted, then the tone again
    EXPECT_EQ(f.chain.LevelMin(), 0);

    // Silence alone would give −99: limited to −75.
    ChainFixture quiet;
    ToggleThresholdAuto(quiet.chain.Options(), true);
    quiet.FeedSilence(11);
    EXPECT_EQ(quiet.chain.Options().Threshold, -75);
    EXPECT_EQ(quiet.chain.ThresholdLabel.Read(), "Threshold -75db");

    // A steady loud level would give −12: limited to −45.
    // (Switched on after the first block, so the tone's onset is not seen.)
    ChainFixture loud;
    loud.chain.Options().Threshold = -60;
    loud.FeedTone(1, 32767.0, 28);
    ToggleThresholdAuto(loud.chain.Options(), true);
    loud.FeedTone(10, 32767.0, 28);
    EXPECT_EQ(loud.chain.Options().Threshold, -45);

    // In CW mode the threshold stays where it is.
    ChainFixture cw;
    ToggleThresholdAuto(cw.chain.Options(), true);
    SelectLevelDisplayMode(cw.chain.Options(), LevelMode::CW);
    cw.FeedSilence(12);
    EXPECT_EQ(cw.chain.Options().Threshold, -45);
    EXPECT_EQ(cw.chain.ThresholdLabel.Version(), 0u);
}

TEST(SignalChain, AutomaticThresholdNeedsAtLeast101Columns) {
    ChainFixture narrow;
    narrow.chain.SetLevelDisplaySize(100, 121);
    ToggleThresholdAuto(narrow.chain.Options(), true);
    narrow.FeedSilence(30);
    EXPECT_EQ(narrow.chain.Options().Threshold, -45);
    EXPECT_EQ(narrow.chain.ThresholdLabel.Version(), 0u);

    ChainFixture wide;
    wide.chain.SetLevelDisplaySize(101, 121);
    ToggleThresholdAuto(wide.chain.Options(), true);
    wide.FeedSilence(7);  // 202 windows to the edge
    EXPECT_EQ(wide.chain.Options().Threshold, -75);
}

TEST(SignalChain, ToneTrackingTakesAPeakSeenInThreeBlocks) {
    ChainFixture f;
    ToggleToneAuto(f.chain.Options(), true);
    // Moderate, so the spectrum does not saturate at 0 dB over several bins.
    f.FeedTone(2, 2000.0, 20);
    EXPECT_EQ(f.chain.Options().ToneBin, 28);
    EXPECT_EQ(f.chain.Tracker().ToneCandidate, 20);
    f.FeedTone(1, 2000.0, 20);
    EXPECT_EQ(f.chain.Options().ToneBin, 20);
    EXPECT_EQ(f.chain.ToneLabel.Read(), "431Hz");

    // Frozen or another display: no tracking.
    for (int variant = 0; variant < 2; ++variant) {
        ChainFixture g;
        ToggleToneAuto(g.chain.Options(), true);
        if (variant == 0)
            g.chain.Options().ToneDisplayStopped = true;
        if (variant == 1)
            SelectToneDisplayMode(g.chain.Options(), ToneMode::Sine);
        g.FeedTone(5, 2000.0, 20);
        EXPECT_EQ(g.chain.Options().ToneBin, 28);
        EXPECT_EQ(g.chain.TonePicture.Version(), variant == 0 ? 0u : 5u);
    }
}

TEST(SignalChain, StoppedLevelDisplayStopsDecodingAndCwShowsTapeAfterRedraw) {
    ChainFixture f;
    f.chain.Options().LevelDisplayStopped = true;
    f.FeedSilence(2);
    EXPECT_TRUE(f.sink.Ticks.empty());
    EXPECT_EQ(f.chain.LevelPicture.Version(), 0u);

    f.chain.Options().LevelDisplayStopped = false;
    f.FeedSilence(1);
    EXPECT_EQ(f.sink.Ticks.size(), 32u);
    EXPECT_EQ(f.chain.LevelPicture.Read().Labels[1], "-45");

    SelectLevelDisplayMode(f.chain.Options(), LevelMode::CW);
    f.FeedSilence(1);
    EXPECT_EQ(f.sink.Ticks.size(), 64u);  // the redraw window still times
    const DisplayPicture tape = f.chain.LevelPicture.Read();
    EXPECT_EQ(tape.Labels[1], "");
    EXPECT_EQ(tape.Lines.size(), 3u);  // tape grid, no ticks in silence
    EXPECT_EQ(f.chain.LevelDisplay().TapeRow, 1);
}

}  // namespace
}  // namespace morvane::receive
