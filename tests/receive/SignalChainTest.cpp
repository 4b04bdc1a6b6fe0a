#include "receive/SignalChain.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <random>
#include <thread>

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

    explicit ChainFixture(const std::function<void(ReceiveOptions&)>& setup = {}) {
        chain.Options().InputChannel = 0;
        if (setup)
            setup(chain.Options());
    }
    ReceiveOptions& Opt() { return chain.Options(); }
    void Feed(const std::vector<std::int16_t>& frames) {
        chain.ReadBlock(frames);
        chain.ProcessBlock();
        samples += 1024;
    }
    void FeedSilence(int blocks) {
        for (int b = 0; b < blocks; ++b)
            Feed(std::vector<std::int16_t>(2048, 0));
    }
    void FeedTone(int blocks, double amplitude = 32767.0, double toneBin = 28) {
        for (int b = 0; b < blocks; ++b)
            Feed(ref::ToneFrames(amplitude, toneBin, samples));
    }
};

int TruncClamp(double db) {
    if (!(db > -90.0))
        return -90;
    return db > 0.0 ? 0 : static_cast<int>(db);
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
    const auto raw = [&](int i) { return chain.RawBlock()[static_cast<std::size_t>(i)]; };
    chain.ReadBlock(frames);  // channel not chosen yet: untouched
    EXPECT_TRUE(std::all_of(chain.RawBlock().begin(), chain.RawBlock().end(),
                            [](double v) { return v == 0.0; }));
    // Left, then right: four carried samples, then the chosen channel.
    for (int channel : {0, 1}) {
        chain.Options().InputChannel = channel;
        chain.ReadBlock(frames);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(raw(i), channel == 0 ? 0 : 1020 + i);
        for (int i = 0; i < 1024; ++i)
            ASSERT_EQ(raw(4 + i), channel == 0 ? i : -i - 1000);
    }
    const std::vector<double> before(chain.RawBlock().begin(), chain.RawBlock().end());
    chain.Options().InputChannel = 2;
    chain.ReadBlock(frames);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), chain.RawBlock().begin()));
    frames.resize(2047);
    EXPECT_THROW(chain.ReadBlock(frames), std::invalid_argument);
}

struct ChainCase {
    bool nr1, nr2, qrm;
    int toneBin;
    double gain;
    LevelMode mode;
};

// Three blocks of noise plus a keyed tone through the chain and the slow
// reference side by side: conditioned samples, window magnitudes, block
// spectrum and the level handed to timing.
TEST(SignalChain, MatchesSlowReferenceInEveryNoiseMode) {
    for (const ChainCase& c : {ChainCase{false, false, false, 28, 1.0, LevelMode::Signal},
                               ChainCase{true, false, false, 20, 0.6, LevelMode::CW},
                               ChainCase{false, true, false, 28, 1.0, LevelMode::Signal},
                               ChainCase{false, true, true, 8, 2.0, LevelMode::CW},
                               ChainCase{false, false, true, 37, 1.0, LevelMode::Signal}}) {
        SCOPED_TRACE(testing::Message() << "nr1 " << c.nr1 << " nr2 " << c.nr2 << " qrm " << c.qrm
                                        << " bin " << c.toneBin);
        ChainFixture f([&](ReceiveOptions& o) {
            o.Nr1On = c.nr1;
            o.Nr2On = c.nr2;
            o.QrmFilterOn = c.qrm;
            o.ToneBin = c.toneBin;
            o.InputGain = c.gain;
            o.LevelDisplayMode = c.mode;
            o.Threshold = -40;
        });
        std::mt19937 rng(static_cast<unsigned>(c.toneBin * 7 + c.nr1 + 2 * c.nr2 + 4 * c.qrm));
        std::vector<double> raw(4, 0.0);       // carried values, then every left sample
        std::vector<double> stream(288, 0.0);  // history before the first block, then WorkBlocks
        std::vector<int> levels;
        for (int b = 0; b < 3; ++b) {
            std::vector<std::int16_t> frames = ref::RandomFrames(rng, 3000);
            for (std::size_t i = 0; i < 1024; ++i) {
                if (i > 300 && i < 700)  // the tone is keyed for the middle of each block
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
                ASSERT_NEAR(f.chain.WorkBlock()[i], work[i], 1e-9) << "block " << b << " at " << i;
            const std::size_t blockStart = stream.size() - 288;
            stream.insert(stream.end(), work.begin(), work.end());

            for (std::size_t j = 0; j < 32; ++j) {
                const auto first = stream.begin() + static_cast<long>(blockStart + 32 * j);
                const double expected =
                    ref::WindowToneMagnitude({first, first + 300}, c.nr1, c.nr2, c.toneBin, c.gain);
                ASSERT_NEAR(f.chain.ToneMagnitudes()[j], expected, 1e-9 * expected + 1e-12)
                    << "block " << b << " window " << j;
                const double db = ref::LevelDb(expected);
                levels.push_back(NearBoundary(db) ? 999 : TruncClamp(db));
            }

            // Block spectrum of the first 600 conditioned samples.
            std::vector<double> r = ref::Autocorrelation({work.begin(), work.begin() + 600}, 300.0);
            r[0] = 0.0;
            std::vector<double> spectrum(512);
            for (int k = 0; k < 512; ++k)
                spectrum[static_cast<std::size_t>(k)] =
                    ref::WindowedDftMagnitude(r, 512, k, c.gain);
            const double largest = *std::max_element(spectrum.begin(), spectrum.end());
            for (std::size_t k = 0; k < 512; ++k)
                ASSERT_NEAR(f.chain.DisplaySpectrum()[k], spectrum[k], 1e-10 * largest) << k;
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
            const int expected = c.mode == LevelMode::Signal ? (-40 < s[4] ? s[7] : s[1])
                                                             : (s[4] > -40 ? s[4] : s[1]);
            EXPECT_EQ(f.sink.Ticks[w], std::pair(expected, -40)) << "window " << w;
            ++checked;
        }
        EXPECT_GT(checked, 80);
        // The tone lifts the level above the threshold somewhere and the noise
        // keeps it below elsewhere, so the comparison covers both branches.
        const auto [lo, hi] = std::minmax_element(f.sink.Ticks.begin(), f.sink.Ticks.end());
        EXPECT_LE(lo->first, -40);
        EXPECT_GT(hi->first, -40);
    }
}

// Where windows take their samples is covered by the reference comparison,
// which spans block edges; here only the reset after keying.
TEST(SignalChain, ClearRequestForgetsTheHistory) {
    ChainFixture f;
    std::mt19937 rng(9);
    f.Feed(ref::RandomFrames(rng, 10000));
    const std::vector<double> first(f.chain.WorkBlock().begin(), f.chain.WorkBlock().end());
    f.Feed(ref::RandomFrames(rng, 10000));
    const auto kept = f.chain.HistoryWindow(0);
    ASSERT_EQ(kept.size(), 288u);
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), first.end() - 288));
    f.Opt().WorkBlockClearRequested = true;
    f.FeedSilence(1);
    EXPECT_TRUE(std::all_of(f.chain.HistoryWindow(0).begin(), f.chain.HistoryWindow(0).end(),
                            [](double v) { return v == 0.0; }));
}

TEST(SignalChain, SilenceReadsFloorAndNeverAMark) {
    for (auto [nr1, nr2] : {std::pair{false, false}, std::pair{true, false}, {false, true}}) {
        ChainFixture f([&](ReceiveOptions& o) {
            o.Nr1On = nr1;
            o.Nr2On = nr2;
            o.Threshold = -89;
        });
        f.FeedSilence(4);
        ASSERT_EQ(f.sink.Ticks.size(), 128u);
        for (auto tick : f.sink.Ticks)
            EXPECT_EQ(tick, std::pair(-90, -89));
    }
}

TEST(SignalChain, ToneLevelFollowsAmplitudeGainAndNoiseReduction) {
    // Full scale at the tone bin, no noise reduction: the Hamming window's
    // sum over points 1..255 is 137.70, a cosine puts half its amplitude in
    // the bin, so A ≤ 32767 × 137.70 / 512 = 8812.5 (−11.4 dB); the median
    // shaves the peaks by a few percent. An eighth is 18.1 dB lower, gain 2
    // adds 6 dB; the autocorrelation squares the level, so full scale then
    // reads 0 dB.
    for (auto [nr1, amplitude, gain, level] : {std::tuple{false, 32767.0, 1.0, -11},
                                               {false, 32767.0 / 8, 1.0, -29},
                                               {false, 32767.0 / 8, 2.0, -23},
                                               {true, 32767.0, 1.0, 0}}) {
        ChainFixture f([&](ReceiveOptions& o) {
            o.Nr1On = nr1;
            o.Nr2On = false;
            o.InputGain = gain;
        });
        f.FeedTone(3, amplitude);
        EXPECT_EQ(f.chain.LevelHistory()[8], level) << amplitude << " gain " << gain;
        if (level == -11) {
            EXPECT_LE(f.chain.ToneMagnitudes()[20] / 256.0, 8812.6);
            EXPECT_GE(f.chain.ToneMagnitudes()[20] / 256.0, 0.95 * 8812.5);
        }
    }
}

TEST(SignalChain, InputVolumeSliderPositionsSetTheGain) {
    // The level of an eighth of full scale moves by 20 log10 of the gain of
    // the slider's position, from position 5 (gain 1.0); positions outside 1
    // to 11 are limited, so entry 0 is never used.
    auto level = [](int position) {
        ChainFixture f([&](ReceiveOptions& o) {
            o.Nr2On = false;
            SetInputVolume(o, position);
        });
        f.FeedTone(3, 32767.0 / 16);
        return f.chain.LevelHistory()[8];
    };
    const int unity = level(5);
    ASSERT_LT(unity, -30);
    const double gains[] = {0.05, 0.05, 0.1,  0.3,  0.6,   1.0,  2.0,
                            5.0,  12.0, 30.0, 60.0, 120.0, 120.0};
    for (int position = 0; position <= 12; ++position) {
        const double expected = std::min(0.0, unity + 20 * std::log10(gains[position]));
        EXPECT_NEAR(level(position), expected, 1.0) << "position " << position;
    }
    EXPECT_EQ(level(6) - unity, 6) << "the slider's start doubles the gain";
}

TEST(SignalChain, LoadedToneBinPicksTheSpectrumRangeTheTrackerSearches) {
    // A tone at bin 12 (258 Hz) lies only in the low range (8 to 36): the
    // tracker takes it when the stored tone bin is below 26, never otherwise.
    for (auto [storedBin, high] : {std::pair{20, false}, {25, false}, {26, true}, {44, true}}) {
        ChainFixture f([&](ReceiveOptions& o) {
            o.SpectrumHighRange = !high;
            SetToneBin(o, storedBin);
            EXPECT_EQ(ChooseSpectrumRangeOnLoad(o), high) << storedBin;
            ToggleToneAuto(o, true);
        });
        EXPECT_EQ(f.Opt().SpectrumHighRange, high) << storedBin;
        f.FeedTone(4, 2000.0, 12);
        EXPECT_EQ(f.Opt().ToneBin == 12, !high) << storedBin << " ended at " << f.Opt().ToneBin;
    }
}

TEST(SignalChain, AutomaticThresholdFollowsSweepExtremes) {
    ChainFixture f([](ReceiveOptions& o) { ToggleThresholdAuto(o, true); });
    // The first sweep ends after 330 windows (window 10 of block 10); its
    // extremes are silence (−90) and a full-scale tone (0 with NR2).
    f.FeedSilence(5);
    f.FeedTone(6);
    ASSERT_EQ(f.sink.Ticks.size(), 352u);
    EXPECT_EQ(f.sink.Ticks[329].second, -45);
    EXPECT_EQ(f.sink.Ticks[330].second, -54);  // trunc((1.2 × −90 + 0) / 2)
    EXPECT_EQ(f.Opt().Threshold, -54);
    EXPECT_EQ(f.chain.ThresholdLabel.Read(), "Threshold -54db");
    EXPECT_EQ(f.chain.LevelMax(), 0);  // restarted, then the tone again
    EXPECT_EQ(f.chain.LevelMin(), 0);

    // Limits, CW mode, and the narrowest area that sweeps at all. The loud
    // case switches on after its first block, so the tone's onset is not seen.
    struct Row {
        const char* what;
        int width;
        LevelMode mode;
        int start, toneBefore, silence, tone, expected;
    };
    for (const Row& r :
         {Row{"silence: -99 limited", 165, LevelMode::Signal, -45, 0, 11, 0, -75},
          Row{"loud: -12 limited", 165, LevelMode::Signal, -60, 1, 0, 10, -45},
          Row{"CW mode keeps it", 165, LevelMode::CW, -45, 0, 12, 0, -45},
          Row{"100 columns: never", 100, LevelMode::Signal, -45, 0, 30, 0, -45},
          Row{"101 columns: 202 windows", 101, LevelMode::Signal, -45, 0, 7, 0, -75}}) {
        ChainFixture g([&](ReceiveOptions& o) {
            o.LevelDisplayWidth = r.width;
            o.Threshold = r.start;
            o.LevelDisplayMode = r.mode;
        });
        g.FeedTone(r.toneBefore);
        ToggleThresholdAuto(g.Opt(), true);
        g.FeedSilence(r.silence);
        g.FeedTone(r.tone);
        EXPECT_EQ(g.Opt().Threshold, r.expected) << r.what;
        if (r.expected == r.start)
            EXPECT_EQ(g.chain.ThresholdLabel.Version(), 0u) << r.what;
        else
            EXPECT_EQ(g.chain.ThresholdLabel.Read(),
                      "Threshold " + std::to_string(r.expected) + "db")
                << r.what;
    }
}

TEST(SignalChain, ToneTrackingTakesAPeakSeenInThreeBlocks) {
    ChainFixture f([](ReceiveOptions& o) { ToggleToneAuto(o, true); });
    // Moderate, so the spectrum does not saturate at 0 dB over several bins.
    f.FeedTone(2, 2000.0, 20);
    EXPECT_EQ(f.Opt().ToneBin, 28);
    EXPECT_EQ(f.chain.Tracker().ToneCandidate, 20);
    f.FeedTone(1, 2000.0, 20);
    EXPECT_EQ(f.Opt().ToneBin, 20);
    EXPECT_EQ(f.chain.ToneLabel.Read(), "431Hz");

    // Frozen or another display: no tracking.
    for (bool frozen : {true, false}) {
        ChainFixture g([&](ReceiveOptions& o) {
            ToggleToneAuto(o, true);
            if (frozen)
                o.ToneDisplayStopped = true;
            else
                SelectToneDisplayMode(o, ToneMode::Sine);
        });
        g.FeedTone(5, 2000.0, 20);
        EXPECT_EQ(g.Opt().ToneBin, 28);
        EXPECT_EQ(g.chain.TonePicture.Version(), frozen ? 0u : 5u);
    }
}

TEST(SignalChain, StoppedLevelDisplayStopsDecodingAndCwShowsTapeAfterRedraw) {
    ChainFixture f([](ReceiveOptions& o) { o.LevelDisplayStopped = true; });
    f.FeedSilence(2);
    EXPECT_TRUE(f.sink.Ticks.empty());
    EXPECT_EQ(f.chain.LevelPicture.Version(), 0u);

    f.Opt().LevelDisplayStopped = false;
    f.FeedSilence(1);
    EXPECT_EQ(f.sink.Ticks.size(), 32u);
    EXPECT_EQ(f.chain.LevelPicture.Read().Labels[1], "-45");

    SelectLevelDisplayMode(f.Opt(), LevelMode::CW);
    f.FeedSilence(1);
    EXPECT_EQ(f.sink.Ticks.size(), 64u);  // the redraw window still times
    const DisplayPicture tape = f.chain.LevelPicture.Read();
    EXPECT_EQ(tape.Labels[1], "");
    EXPECT_EQ(tape.Lines.size(), 3u);  // tape grid, no ticks in silence
    EXPECT_EQ(f.chain.LevelDisplay().TapeRow, 1);
}

TEST(SignalChain, OptionsAndSnapshotsCrossThreadsSafely) {
    // The capture thread processes while the user-interface thread flips
    // every option and reads every output; run under ThreadSanitizer in CI.
    ChainFixture f;
    std::atomic<bool> done{false};
    std::jthread ui([&] {
        DisplayPicture picture;
        std::string label;
        std::uint64_t seenLevel = 0, seenTone = 0, seenLabel = 0;
        for (int i = 0; !done.load(); ++i) {
            ReceiveOptions& o = f.Opt();
            ToggleNr1(o, i % 3 == 0);
            ToggleQrmFilter(o, i % 2 == 0);
            ToggleToneAuto(o, i % 5 != 0);
            ToggleThresholdAuto(o, i % 4 != 0);
            SelectLevelDisplayMode(o, i % 7 == 0 ? LevelMode::CW : LevelMode::Signal);
            SelectToneDisplayMode(o, static_cast<ToneMode>(i % 3));
            o.Threshold = -40 - i % 20;
            SetToneBin(o, 8 + i % 37);
            o.InputGain = i % 2 ? 1.0 : 2.0;
            o.LevelDisplayWidth = 120 + i % 50;
            f.chain.LevelPicture.ReadIfNewer(picture, seenLevel);
            f.chain.TonePicture.ReadIfNewer(picture, seenTone);
            f.chain.ThresholdLabel.ReadIfNewer(label, seenLabel);
            f.chain.ToneLabel.Read();
            std::this_thread::yield();
        }
    });
    std::mt19937 rng(5);
    for (int b = 0; b < 40; ++b)
        f.Feed(ref::RandomFrames(rng, 5000));
    done = true;
    ui.join();
    EXPECT_EQ(f.sink.Ticks.size(), 40u * 32u);
    for (auto [level, threshold] : f.sink.Ticks) {
        EXPECT_GE(level, -90);
        EXPECT_LE(level, 0);
    }
}

}  // namespace
}  // namespace morvane::receive
