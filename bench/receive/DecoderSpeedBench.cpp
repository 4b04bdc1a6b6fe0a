// Decoding speed of both decoders through the receive path: about three
// minutes of 20 wpm CW at 0 dB, decoded from a cold start. x_realtime is
// seconds of audio per CPU second.
#include <benchmark/benchmark.h>

#include "receive/ReceivePath.h"
#include "synth/BandRecording.h"

namespace {

using namespace morvane;

const synth::Recording& Contact() {
    static const synth::Recording recording =
        synth::MakeRecording({.Wpm = 20.0, .ToneHz = 700.0, .SnrDb = 0.0, .Words = 70, .Seed = 3});
    return recording;
}

void Decode(benchmark::State& state) {
    const auto& frames = Contact().Frames;
    receive::ReceivePathOptions options;
    options.Decoder =
        state.range(0) == 0 ? receive::DecoderKind::Standard : receive::DecoderKind::Weak;
    for (auto _ : state) {
        receive::ReceivePath path(options);
        for (std::size_t at = 0; at + receive::kHalfSamples <= frames.size();
             at += receive::kHalfSamples)
            path.OnBlock(std::span<const std::int16_t, receive::kHalfSamples>(
                             frames.data() + at, receive::kHalfSamples),
                         0);
        benchmark::DoNotOptimize(path.ReceivedText());
    }
    const double audioS = static_cast<double>(frames.size() / 2) / receive::kCaptureRateHz;
    state.counters["x_realtime"] = benchmark::Counter(
        audioS * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(Decode)->Arg(0)->Name("Decode/Standard")->Unit(benchmark::kMillisecond);
BENCHMARK(Decode)->Arg(1)->Name("Decode/Weak")->Unit(benchmark::kMillisecond);

}  // namespace
