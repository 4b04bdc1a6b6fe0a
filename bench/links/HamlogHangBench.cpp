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

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "../common/KeyTiming.h"
#include "platform/logger/UnixLoggerWindows.h"
#include "platform/logger/WindowHost.h"
#include "platform/timer/KeyingTimerThread.h"
#include "qso/LoggerPtt.h"

namespace {

using namespace morvane;
using namespace std::chrono_literals;

constexpr const char* kCall = "CQ DE JA1ZZZ K";
constexpr int kCalls = 6;
constexpr int kPttLeadMs = 50;

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
    const std::vector<std::int64_t> ideal = bench::IdealKeyTimesMs(kCall, kPttLeadMs);
    for (auto _ : state) {
        HamlogWindow hamlog(mode == Ptt::HamlogHung || mode == Ptt::HungOnKeyingThread);
        platform::local::WindowHost host("TThwin", hamlog);
        std::string error;
        if (mode != Ptt::Port && !host.Start(&error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        platform::UnixLoggerWindows windows("hWndMRVN");
        bench::NoPort port;
        std::atomic<bool> linkUp{true};
        qso::LoggerPttOutput queued(port, windows, linkUp);
        queued.SetPttViaLogger(mode != Ptt::Port);
        PttOnKeyingThread direct(windows);
        bench::ActionRecorder recorder(mode == Ptt::HungOnKeyingThread
                                           ? static_cast<transmit::KeyOutput&>(direct)
                                           : static_cast<transmit::KeyOutput&>(queued));

        transmit::TransmitText tx;
        text::WindowCommandQueue echoWindows;
        transmit::SendEcho echo(echoWindows);
        bench::QuietReceive quiet;
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
            bench::AddIntervalErrors(ideal, recorder, first, errors);
        }
        timer.Stop();
        hamlog.Release();
        if (errors.empty()) {
            state.SkipWithError("the calls were not keyed");
            break;
        }
        bench::ReportIntervalErrors(state, std::move(errors));
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
