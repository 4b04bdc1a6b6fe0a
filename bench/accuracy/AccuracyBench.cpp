// Character error rate of the receive path against signal-to-noise ratio:
// generated CW (white Gaussian noise, SNR stated in 500 Hz) decoded with the
// default options (automatic tone and threshold) and with the tone fixed and
// a manual threshold (two settings an operator might choose; the automatic
// threshold stays within -75..-45 dB, so strong noise needs a higher one),
// and with the weak-signal decoder. bench_accuracy_table compares the two
// decoders on varied recordings.
// The counters form the table: CER_% per case (edit distance over the sent
// length, so insertions can push it past 100).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "common/Text.h"
#include "receive/ReceivePath.h"
#include "synth/CwSynth.h"
#include "synth/TextKeying.h"

namespace {

using namespace morvane;

constexpr const char* kText =
    "VVV VVV CQ CQ DE JA1ABC JA1ABC K JA1ABC DE JH2XYZ UR RST 599 NAME TARO QTH TOKYO "
    "HW? BK R TNX FER QSO 73 TU SK 7N4QRS 5W1XY 73 ES GL";

// Decodes the text at `wpm` and `snrDb` with `seed`; returns the edit distance.
// `thresholdDb` 0 means the default options (automatic tone and threshold);
// -1 the weak-signal decoder.
std::size_t Errors(double snrDb, int wpm, int thresholdDb, std::uint64_t seed) {
    const int step = (wpm * 5 - 25) / 5;  // 5 characters per word
    auto keyed = synth::TextToEvents(kText, synth::TextAlphabet::English, step, {}, 500.0);
    synth::CwSynth synth(
        {.Layout = synth::ChannelLayout::StereoBoth,
         .NoiseOn = true,
         .SnrDb = snrDb,
         .NoiseBandwidthHz = 500.0,
         .ReferenceAmplitude = 4000.0,
         .Seed = seed},
        {synth::Station{.Events = keyed.Events, .ToneHz = 603.0, .Amplitude = 4000.0}});
    receive::ReceivePathOptions options;
    if (thresholdDb == -1) {
        options.Decoder = receive::DecoderKind::Weak;
    } else if (thresholdDb != 0) {
        options.ToneBin = receive::NearestToneBin(603.0);
        options.ThresholdDb = thresholdDb;
    }
    receive::ReceivePath path(options);
    std::array<std::int16_t, receive::kHalfSamples> half{};
    for (std::int64_t done = 0; done < synth.TotalFrames(); done += receive::kHalfFrames) {
        synth.Render(half);
        path.OnBlock(half, 0);
    }
    path.Flush();
    return common::EditDistance(common::CollapseBlanks(path.ReceivedText()), kText);
}

// Arguments: SNR in tenths of a dB, words per minute, manual threshold in dB
// with the tone fixed at 603 Hz (0: automatic tone and threshold; -1: the
// weak-signal decoder).
void CharacterErrorRate(benchmark::State& state) {
    const double snrDb = state.range(0) / 10.0;
    const int wpm = static_cast<int>(state.range(1));
    const int thresholdDb = static_cast<int>(state.range(2));
    std::size_t errors = 0, characters = 0;
    std::uint64_t seed = 1;
    for (auto _ : state) {
        errors += Errors(snrDb, wpm, thresholdDb, seed++);
        characters += std::string(kText).size();
    }
    state.counters["SNR_dB"] = snrDb;
    state.counters["WPM"] = wpm;
    state.counters["Thr_dB"] = thresholdDb;
    state.counters["CER_%"] = 100.0 * static_cast<double>(errors) / static_cast<double>(characters);
}

void Cases(benchmark::internal::Benchmark* bench) {
    for (int threshold : {0, -45, -35, -1})
        for (int wpm : {20, 30})
            for (int snrTenths : {100, 60, 30, 0, -30})
                bench->Args({snrTenths, wpm, threshold});
}

BENCHMARK(CharacterErrorRate)
    ->Apply(Cases)
    ->ArgNames({"snr10", "wpm", "thr"})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
