// Keying precision of the real timer thread: about 60 seconds of text keyed
// into a recorder on the steady clock, each element's length compared with
// the same text keyed on virtual time. Reports the absolute error in ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "platform/timer/KeyingTimerThread.h"
#include "text/WindowCommand.h"
#include "transmit/KeyingEngine.h"
#include "transmit/VirtualKeying.h"

namespace {

using namespace morvane;

struct Quiet final : transmit::ReceiveHandOver {
    void SetReceiveEnabled(bool) override {}
    void ResetSpeedMeasurement() override {}
    void ResetSendMark() override {}
    void ResetElementTiming() override {}
};

class SteadyClock final : public transmit::KeyingClock {
  public:
    std::int64_t NowMs() const override { return NowUs() / 1000; }
    static std::int64_t NowUs() {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

// Records action times in microseconds. Lock-free, so that the reader never
// holds up the timer thread (a lock would measure priority inversion).
class MicroRecorder final : public transmit::KeyOutput {
  public:
    void KeyDown() override { Add(); }
    void KeyUp() override { Add(); }
    void PttOn() override { Add(); }
    void PttOff() override { Add(); }
    std::size_t Count() const { return count_.load(std::memory_order_acquire); }
    std::vector<std::int64_t> Times() const {
        return {times_.begin(), times_.begin() + std::ptrdiff_t(Count())};
    }

  private:
    void Add() {
        std::size_t at = count_.load(std::memory_order_relaxed);
        if (at >= times_.size())
            return;
        times_[at] = SteadyClock::NowUs();
        count_.store(at + 1, std::memory_order_release);
    }
    std::array<std::int64_t, 8192> times_{};
    std::atomic<std::size_t> count_{0};
};

// 60 s at 100 characters per minute.
std::string SixtySecondText() {
    std::string text;
    while (text.size() < 100)
        text += "CQ TEST DE JA1ZZZ 599 ";
    return text;
}

std::vector<std::int64_t> IdealTimesMs(const std::string& text) {
    transmit::TransmitText tx;
    text::WindowCommandQueue windows;
    transmit::SendEcho echo(windows);
    Quiet quiet;
    transmit::KeyingListener listener;
    transmit::VirtualKeyingTimer timer;
    transmit::KeyEventRecorder recorder(timer);
    transmit::KeyingEngine engine({tx, recorder, echo, quiet, listener});
    tx.Append(text);
    timer.RunUntilIdle(engine);
    std::vector<std::int64_t> times;
    for (const auto& event : recorder.Events())
        times.push_back(event.TimeMs);
    return times;
}

void BM_TimerThreadElementError(benchmark::State& state) {
    const std::string text = SixtySecondText();
    const std::vector<std::int64_t> ideal = IdealTimesMs(text);
    for (auto _ : state) {
        transmit::TransmitText tx;
        text::WindowCommandQueue windows;
        transmit::SendEcho echo(windows);
        Quiet quiet;
        transmit::KeyingListener listener;
        MicroRecorder recorder;
        transmit::KeyingEngine engine({tx, recorder, echo, quiet, listener});
        platform::KeyingTimerThread timer([&] { return engine.KeyingStep(); }, [] {});
        tx.Append(text);
        timer.Start(transmit::kInitialTimerPeriodMs);
        while (recorder.Count() < ideal.size()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        timer.Stop();
        std::vector<std::int64_t> real = recorder.Times();
        std::vector<double> errors;
        for (std::size_t i = 1; i < ideal.size(); ++i) {
            double realMs = double(real[i] - real[i - 1]) / 1000.0;
            errors.push_back(std::fabs(realMs - double(ideal[i] - ideal[i - 1])));
        }
        std::sort(errors.begin(), errors.end());
        auto at = [&](double q) { return errors[std::size_t(q * double(errors.size() - 1))]; };
        state.counters["p50_ms"] = at(0.50);
        state.counters["p99_ms"] = at(0.99);
        state.counters["max_ms"] = errors.back();
        state.counters["elements"] = double(errors.size());
        state.counters["elevated"] = timer.Elevated() ? 1 : 0;
        state.counters["span_s"] = double(ideal.back()) / 1000.0;
    }
}
BENCHMARK(BM_TimerThreadElementError)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
