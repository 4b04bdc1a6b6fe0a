// The timer thread keeps to its deadlines, survives signals and releases when stopped.
#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "../ProcessSupport.h"
#include "platform/timer/KeyingTicker.h"
#include "platform/timer/KeyingTimerThread.h"

namespace morvane::platform {
namespace {

using Clock = std::chrono::steady_clock;

void NoOp(int) {}

// Signals land on the timer thread while it sleeps: an interrupted sleep
// must not bring a tick early.
TEST(KeyingTimerThread, TicksNeverComeBeforeTheirDeadline) {
    test::Watchdog watchdog(std::chrono::seconds(5), "timer thread");
    struct sigaction action {};
    action.sa_handler = NoOp;  // no SA_RESTART: the sleep returns EINTR
    struct sigaction previous {};
    sigaction(SIGUSR1, &action, &previous);
    // Re-armed periods in ms, as the engine would return them.
    const std::vector<int> periods{10, 5, 1, 20, 3, 60, 7, 2, 15, 4};
    std::mutex mutex;
    std::vector<Clock::time_point> ticks;
    std::atomic<int> released{0};
    std::atomic<bool> stepAfterRelease{false};
    std::atomic<pthread_t> timerThread{};
    std::atomic<bool> known{false};
    KeyingTimerThread timer(
        [&]() -> std::optional<int> {
            timerThread.store(pthread_self());
            known.store(true);
            if (released.load() > 0)
                stepAfterRelease.store(true);
            std::lock_guard lock(mutex);
            ticks.push_back(Clock::now());
            if (ticks.size() <= periods.size())
                return periods[ticks.size() - 1];
            return std::nullopt;
        },
        [&] { released.fetch_add(1); });
    Clock::time_point start = Clock::now();
    timer.Start(30);
    for (int i = 0; i < 2000; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(500));
        if (known.load())
            pthread_kill(timerThread.load(), SIGUSR1);
        std::lock_guard lock(mutex);
        if (ticks.size() > periods.size() + 2)
            break;
    }
    timer.Stop();
    sigaction(SIGUSR1, &previous, nullptr);
    EXPECT_EQ(released.load(), 1);
    EXPECT_FALSE(stepAfterRelease.load());

    std::lock_guard lock(mutex);
    ASSERT_GT(ticks.size(), periods.size() + 1);
    // Each tick is due a period after the previous deadline, or after the
    // previous tick when that came late (within the on-time tolerance).
    const auto tolerance = std::chrono::nanoseconds(kLateToleranceNs);
    auto deadline = start + std::chrono::milliseconds(30);
    std::vector<Clock::duration> late;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_GE(ticks[i], deadline) << "tick " << i;
        late.push_back(ticks[i] - deadline);
        const auto period =
            std::chrono::milliseconds(i < periods.size() ? periods[i] : periods.back());
        deadline = std::max(deadline, ticks[i] - tolerance) + period;
    }
    // Not a speed check: a sleep that overshoots by a slice or more is a fault.
    std::sort(late.begin(), late.end());
    EXPECT_LT(late[late.size() / 2], std::chrono::milliseconds(20));
}

TEST(KeyingTimerThread, StopAnswersDuringALongPeriod) {
    test::Watchdog watchdog(std::chrono::seconds(5), "timer thread stop");
    std::atomic<int> steps{0};
    std::atomic<int> released{0};
    KeyingTimerThread timer([&]() -> std::optional<int> { return steps.fetch_add(1), 10'000; },
                            [&] { released.fetch_add(1); });
    timer.Start(10'000);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    auto before = Clock::now();
    timer.Stop();
    EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(500));
    EXPECT_EQ(steps.load(), 0);
    EXPECT_EQ(released.load(), 1);
    timer.Stop();  // a second stop is harmless
    EXPECT_EQ(released.load(), 1);
}

}  // namespace
}  // namespace morvane::platform
