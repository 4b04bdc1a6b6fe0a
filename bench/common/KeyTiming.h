// What the keying benchmarks share: the ideal action times of a text on
// virtual time, a lock-free recorder of real action times, and the element
// error figures computed from both.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "text/WindowCommand.h"
#include "transmit/KeyingEngine.h"
#include "transmit/VirtualKeying.h"

namespace morvane::bench {

inline std::int64_t NowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct QuietReceive final : transmit::ReceiveHandOver {
    void SetReceiveEnabled(bool) override {}
    void ResetSpeedMeasurement() override {}
    void ResetSendMark() override {}
    void ResetElementTiming() override {}
};

struct NoPort final : transmit::KeyOutput {
    void KeyDown() override {}
    void KeyUp() override {}
    void PttOn() override {}
    void PttOff() override {}
};

// Records when the engine takes each action, in microseconds, then passes it
// on. Lock-free, so that the reader never holds up the timer thread (a lock
// would measure priority inversion).
class ActionRecorder final : public transmit::KeyOutput {
  public:
    explicit ActionRecorder(transmit::KeyOutput& next) : next_(next) {}
    void KeyDown() override { Add(&transmit::KeyOutput::KeyDown); }
    void KeyUp() override { Add(&transmit::KeyOutput::KeyUp); }
    void PttOn() override { Add(&transmit::KeyOutput::PttOn); }
    void PttOff() override { Add(&transmit::KeyOutput::PttOff); }
    std::size_t Count() const { return count_.load(std::memory_order_acquire); }
    std::int64_t At(std::size_t i) const { return times_[i]; }

  private:
    void Add(void (transmit::KeyOutput::*action)()) {
        const std::size_t at = count_.load(std::memory_order_relaxed);
        if (at < times_.size()) {
            times_[at] = NowUs();
            count_.store(at + 1, std::memory_order_release);
        }
        (next_.*action)();
    }
    transmit::KeyOutput& next_;
    std::array<std::int64_t, 8192> times_{};
    std::atomic<std::size_t> count_{0};
};

// Action times of `text` keyed on virtual time, in ms.
inline std::vector<std::int64_t> IdealKeyTimesMs(std::string_view text, int pttLeadMs = 0) {
    transmit::TransmitText tx;
    text::WindowCommandQueue windows;
    transmit::SendEcho echo(windows);
    QuietReceive quiet;
    transmit::KeyingListener listener;
    transmit::VirtualKeyingTimer timer;
    transmit::KeyEventRecorder recorder(timer);
    transmit::KeyingEngine engine({tx, recorder, echo, quiet, listener});
    engine.SetPttLeadMs(pttLeadMs);
    tx.Append(std::string(text));
    timer.RunUntilIdle(engine);
    std::vector<std::int64_t> times;
    for (const auto& event : recorder.Events())
        times.push_back(event.TimeMs);
    return times;
}

// Adds, for each interval between actions from `first` on, how far the real
// one was from the ideal, in ms.
inline void AddIntervalErrors(const std::vector<std::int64_t>& idealMs,
                              const ActionRecorder& recorder, std::size_t first,
                              std::vector<double>& errors) {
    for (std::size_t i = 1; i < idealMs.size(); ++i) {
        const double realMs = double(recorder.At(first + i) - recorder.At(first + i - 1)) / 1000.0;
        errors.push_back(std::fabs(realMs - double(idealMs[i] - idealMs[i - 1])));
    }
}

// p50, p99 and max of the errors as counters.
inline void ReportIntervalErrors(benchmark::State& state, std::vector<double> errors) {
    std::sort(errors.begin(), errors.end());
    auto at = [&](double q) { return errors[std::size_t(q * double(errors.size() - 1))]; };
    state.counters["p50_ms"] = at(0.50);
    state.counters["p99_ms"] = at(0.99);
    state.counters["max_ms"] = errors.back();
    state.counters["elements"] = double(errors.size());
}

}  // namespace morvane::bench
