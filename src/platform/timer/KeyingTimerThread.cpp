#include "platform/timer/KeyingTimerThread.h"

#include <pthread.h>
#include <sched.h>
#include <time.h>

#include <algorithm>

#include "platform/timer/KeyingTicker.h"

namespace morvane::platform {

namespace {

constexpr std::int64_t kNsPerMs = 1'000'000;
constexpr std::int64_t kNsPerS = 1'000'000'000;
// Long sleeps are cut into slices so Stop() is answered promptly.
constexpr std::int64_t kStopCheckNs = 50 * kNsPerMs;

std::int64_t NowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * kNsPerS + now.tv_nsec;
}

void SleepUntilNs(std::int64_t deadline) {
    timespec until{static_cast<time_t>(deadline / kNsPerS), static_cast<long>(deadline % kNsPerS)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) != 0) {
        // Interrupted by a signal: sleep again to the same deadline.
    }
}

// Real-time priority keeps wake-up latency well under a millisecond on a busy
// machine; without the privilege the thread runs at normal priority.
bool TryElevate() {
    sched_param param{};
    param.sched_priority = std::min(sched_get_priority_max(SCHED_FIFO), 60);
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

}  // namespace

KeyingTimerThread::KeyingTimerThread(std::function<std::optional<int>()> step,
                                     std::function<void()> release)
    : step_(std::move(step)), release_(std::move(release)) {}

KeyingTimerThread::~KeyingTimerThread() {
    Stop();
}

void KeyingTimerThread::Start(int initialPeriodMs) {
    Stop();
    thread_ =
        std::jthread([this, initialPeriodMs](std::stop_token stop) { Run(stop, initialPeriodMs); });
}

void KeyingTimerThread::Stop() {
    if (!thread_.joinable())
        return;
    thread_.request_stop();
    thread_.join();
}

void KeyingTimerThread::Run(std::stop_token stop, int initialPeriodMs) {
    elevated_.store(TryElevate());
    KeyingTicker ticker(step_, NowNs);
    ticker.Arm(initialPeriodMs);
    while (!stop.stop_requested()) {
        while (ticker.DeadlineNs() - NowNs() > kStopCheckNs && !stop.stop_requested()) {
            SleepUntilNs(NowNs() + kStopCheckNs);
        }
        if (stop.stop_requested())
            break;
        SleepUntilNs(ticker.DeadlineNs());
        ticker.RunStep();
    }
    // Whatever the last step did, the key must not stay down.
    if (release_)
        release_();
}

}  // namespace morvane::platform
