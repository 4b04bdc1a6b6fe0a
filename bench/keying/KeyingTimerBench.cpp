// Keying precision of the real timer thread: about 60 seconds of text keyed
// into a recorder on the steady clock, each element's length compared with
// the same text keyed on virtual time. Reports the absolute error in ms.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "../common/KeyTiming.h"
#include "platform/timer/KeyingTimerThread.h"

namespace {

using namespace morvane;

// 60 s at 100 characters per minute.
std::string SixtySecondText() {
    std::string text;
    while (text.size() < 100)
        text += "CQ TEST DE JA1ZZZ 599 ";
    return text;
}

void BM_TimerThreadElementError(benchmark::State& state) {
    const std::string text = SixtySecondText();
    const std::vector<std::int64_t> ideal = bench::IdealKeyTimesMs(text);
    for (auto _ : state) {
        transmit::TransmitText tx;
        text::WindowCommandQueue windows;
        transmit::SendEcho echo(windows);
        bench::QuietReceive quiet;
        transmit::KeyingListener listener;
        bench::NoPort port;
        bench::ActionRecorder recorder(port);
        transmit::KeyingEngine engine({tx, recorder, echo, quiet, listener});
        platform::KeyingTimerThread timer([&] { return engine.KeyingStep(); }, [] {});
        tx.Append(text);
        timer.Start(transmit::kInitialTimerPeriodMs);
        while (recorder.Count() < ideal.size()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        timer.Stop();
        std::vector<double> errors;
        bench::AddIntervalErrors(ideal, recorder, 0, errors);
        bench::ReportIntervalErrors(state, std::move(errors));
        state.counters["elevated"] = timer.Elevated() ? 1 : 0;
        state.counters["span_s"] = double(ideal.back()) / 1000.0;
    }
}
BENCHMARK(BM_TimerThreadElementError)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
