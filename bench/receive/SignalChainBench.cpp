// Throughput of the receive chain per 1024-sample block, by noise mode.
// "x_realtime" is how many blocks' worth of audio one core processes in the
// time the audio lasts (a block is 1024 / 11025 s).
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "receive/SignalChain.h"

namespace {

using morvane::decode::TickSink;
using morvane::receive::SignalChain;

struct CountingSink : TickSink {
    long Marks = 0;
    void TimingStep(int level, int threshold) override { Marks += level > threshold; }
};

enum Mode { kNrOff, kNr1, kNr2, kNr2Qrm };

void BM_ProcessBlock(benchmark::State& state) {
    CountingSink sink;
    SignalChain chain(sink);
    auto& o = chain.Options();
    const auto mode = static_cast<Mode>(state.range(0));
    o.InputChannel = 0;
    o.Nr1On = mode == kNr1;
    o.Nr2On = mode == kNr2 || mode == kNr2Qrm;
    o.QrmFilterOn = mode == kNr2Qrm;

    // Eight blocks of a keyed 603 Hz tone in noise, replayed.
    std::mt19937 rng(1);
    std::normal_distribution<double> noise(0.0, 2000.0);
    std::vector<std::vector<std::int16_t>> blocks(8, std::vector<std::int16_t>(2048));
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        for (std::size_t i = 0; i < 1024; ++i) {
            const double t = static_cast<double>(b * 1024 + i);
            const bool key = (static_cast<long>(t) / 700) % 2 == 0;
            const double v =
                noise(rng) +
                (key ? 8000.0 * std::cos(2.0 * std::numbers::pi * 28.0 * t / 512.0) : 0.0);
            blocks[b][2 * i] = static_cast<std::int16_t>(v);
        }
    }
    std::size_t next = 0;
    for (auto _ : state) {
        chain.ReadBlock(blocks[next]);
        chain.ProcessBlock();
        next = (next + 1) % blocks.size();
    }
    benchmark::DoNotOptimize(sink.Marks);
    const double blocks_done = static_cast<double>(state.iterations());
    state.counters["blocks_per_s"] = benchmark::Counter(blocks_done, benchmark::Counter::kIsRate);
    state.counters["x_realtime"] =
        benchmark::Counter(blocks_done * 1024.0 / 11025.0, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_ProcessBlock)->Arg(kNrOff)->Name("ProcessBlock/NrOff");
BENCHMARK(BM_ProcessBlock)->Arg(kNr1)->Name("ProcessBlock/Nr1");
BENCHMARK(BM_ProcessBlock)->Arg(kNr2)->Name("ProcessBlock/Nr2");
BENCHMARK(BM_ProcessBlock)->Arg(kNr2Qrm)->Name("ProcessBlock/Nr2Qrm");

}  // namespace
