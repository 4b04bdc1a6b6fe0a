// Key timing while HamLog hangs. Six calls of "CQ DE JA1ZZZ K", each with
// PTT on before and off after, are keyed by the real timer thread with PTT
// switched four ways: on the keying port (the idle figure), through a
// HamLog that answers, through a HamLog that never answers (each PTT
// message then waits its full time bound on the link's thread), and, for
// comparison, sent to the hung HamLog straight from the keying thread.
// Every interval between the engine's actions (PTT lead, elements, spaces,
// PTT tail) is compared with the same call keyed on virtual time; the
// absolute error is reported in ms.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/logger/UnixLoggerWindows.h"
#include "platform/logger/WindowHost.h"
#include "platform/timer/KeyingTimerThread.h"
#include "qso/LoggerPtt.h"
#include "text/WindowCommand.h"
#include "transmit/KeyingEngine.h"
#include "transmit/VirtualKeying.h"

namespace {

using namespace morvane;
using namespace std::chrono_literals;

constexpr const char* kCall = "CQ DE JA1ZZZ K";
constexpr int kCalls = 6;
constexpr int kPttLeadMs = 50;

struct Quiet final : transmit::ReceiveHandOver {
    void SetReceiveEnabled(bool) override {}
    void ResetSpeedMeasurement() override {}
    void ResetSendMark() override {}
    void ResetElementTiming() override {}
};

std::int64_t NowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Records when the engine takes each action, in microseconds, then passes
// it on. Lock-free, so that the reader never holds up the timer thread.
class ActionRecorder final : public transmit::KeyOutput {
  public:
    explicit ActionRecorder(transmit::KeyOutput& next) : next_(next) {}
    void KeyDown() override {
        Add();
        next_.KeyDown();
    }
    void KeyUp() override {
        Add();
        next_.KeyUp();
    }
    void PttOn() override {
        Add();
        next_.PttOn();
    }
    void PttOff() override {
        Add();
        next_.PttOff();
    }
    std::size_t Count() const { return count_.load(std::memory_order_acquire); }
    std::int64_t At(std::size_t i) const { return times_[i]; }

  private:
    transmit::KeyOutput& next_;
    void Add() {
        const std::size_t at = count_.load(std::memory_order_relaxed);
        if (at >= times_.size())
            return;
        times_[at] = NowUs();
        count_.store(at + 1, std::memory_order_release);
    }
    std::array<std::int64_t, 4096> times_{};
    std::atomic<std::size_t> count_{0};
};

struct NoPort final : transmit::KeyOutput {
    void KeyDown() override {}
    void KeyUp() override {}
    void PttOn() override {}
    void PttOff() override {}
};

// PTT messages sent from the keying thread itself, waiting for HamLog.
class PttOnKeyingThread final : public transmit::KeyOutput {
  public:
    explicit PttOnKeyingThread(platform::LoggerWindows& windows) : windows_(windows) {}
    void KeyDown() override {}
    void KeyUp() override {}
    void PttOn() override { Send(qso::kHamlogPttOn); }
    void PttOff() override { Send(qso::kHamlogPttOff); }

  private:
    void Send(std::uint32_t command) {
        const auto deadline = platform::DeadlineIn(qso::kLinkOperationTimeout);
        if (const auto hamlog = windows_.FindWindowByClass(qso::kHamlogClass, deadline))
            windows_.SendCopyData(hamlog, command, {}, deadline);
    }
    platform::LoggerWindows& windows_;
};

// Action times of one call on virtual time, in ms.
std::vector<std::int64_t> IdealKeyTimesMs() {
    transmit::TransmitText tx;
    text::WindowCommandQueue windows;
    transmit::SendEcho echo(windows);
    Quiet quiet;
    transmit::KeyingListener listener;
    transmit::VirtualKeyingTimer timer;
    transmit::KeyEventRecorder recorder(timer);
    transmit::KeyingEngine engine({tx, recorder, echo, quiet, listener});
    engine.SetPttLeadMs(kPttLeadMs);
    tx.Append(kCall);
    timer.RunUntilIdle(engine);
    std::vector<std::int64_t> times;
    for (const auto& event : recorder.Events())
        times.push_back(event.TimeMs);
    return times;
}

// HamLog's window: answers every message, or (hung) none until stopped.
class HamlogWindow final : public platform::local::WindowRequestHandler {
  public:
    explicit HamlogWindow(bool hung) : hung_(hung) {}
    void OnCopyData(const platform::local::CopyDataRequest&,
                    platform::local::CopyDataReply&) override {
        std::unique_lock lock(mutex_);
        released_.wait(lock, [this] { return !hung_; });
    }
    void Release() {
        {
            std::lock_guard lock(mutex_);
            hung_ = false;
        }
        released_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool hung_;
};

enum class Ptt { Port, HamlogAnswering, HamlogHung, HungOnKeyingThread };

void BM_KeyTimingWithPttThroughHamlog(benchmark::State& state) {
    const auto mode = static_cast<Ptt>(state.range(0));
    char folder[] = "/tmp/morvane_bench.XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    setenv("XDG_RUNTIME_DIR", folder, 1);
    const std::vector<std::int64_t> ideal = IdealKeyTimesMs();
    for (auto _ : state) {
        HamlogWindow hamlog(mode == Ptt::HamlogHung || mode == Ptt::HungOnKeyingThread);
        platform::local::WindowHost host("TThwin", hamlog);
        std::string error;
        if (mode != Ptt::Port && !host.Start(&error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        platform::UnixLoggerWindows windows("hWndMRVN");
        NoPort port;
        std::atomic<bool> linkUp{true};
        qso::LoggerPttOutput queued(port, windows, linkUp);
        queued.SetPttViaLogger(mode != Ptt::Port);
        PttOnKeyingThread direct(windows);
        ActionRecorder recorder(mode == Ptt::HungOnKeyingThread
                                    ? static_cast<transmit::KeyOutput&>(direct)
                                    : static_cast<transmit::KeyOutput&>(queued));

        transmit::TransmitText tx;
        text::WindowCommandQueue echoWindows;
        transmit::SendEcho echo(echoWindows);
        Quiet quiet;
        transmit::KeyingListener listener;
        transmit::KeyingEngine engine({tx, recorder, echo, quiet, listener});
        engine.SetPttLeadMs(kPttLeadMs);
        platform::KeyingTimerThread timer([&] { return engine.KeyingStep(); }, [] {});
        timer.Start(transmit::kInitialTimerPeriodMs);
        std::vector<double> errors;
        for (int call = 0; call < kCalls; ++call) {
            const std::size_t first = recorder.Count();
            tx.Append(kCall);
            const auto giveUp = std::chrono::steady_clock::now() + 60s;
            while ((recorder.Count() < first + ideal.size() || !engine.Idle()) &&
                   std::chrono::steady_clock::now() < giveUp) {
                std::this_thread::sleep_for(20ms);
            }
            if (recorder.Count() < first + ideal.size())
                break;
            for (std::size_t i = 1; i < ideal.size(); ++i) {
                const double realMs =
                    double(recorder.At(first + i) - recorder.At(first + i - 1)) / 1000.0;
                errors.push_back(std::fabs(realMs - double(ideal[i] - ideal[i - 1])));
            }
        }
        timer.Stop();
        hamlog.Release();
        if (errors.empty()) {
            state.SkipWithError("the calls were not keyed");
            break;
        }
        std::sort(errors.begin(), errors.end());
        auto at = [&](double q) { return errors[std::size_t(q * double(errors.size() - 1))]; };
        state.counters["p50_ms"] = at(0.50);
        state.counters["p99_ms"] = at(0.99);
        state.counters["max_ms"] = errors.back();
        state.counters["elements"] = double(errors.size());
        state.counters["ptt_sent"] = queued.MessagesSent();
        state.counters["ptt_failed"] = queued.MessagesFailed();
        state.counters["elevated"] = timer.Elevated() ? 1 : 0;
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_KeyTimingWithPttThroughHamlog)
    ->ArgName("ptt_port0_answering1_hung2_hungsync3")
    ->DenseRange(0, 3)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
