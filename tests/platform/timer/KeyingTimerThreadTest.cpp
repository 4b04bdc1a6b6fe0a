// The timer thread keeps to absolute deadlines and releases when stopped.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/timer/KeyingTimerThread.h"

namespace morvane::platform {
namespace {

using Clock = std::chrono::steady_clock;

TEST(KeyingTimerThread, TicksNeverComeBeforeTheirDeadline) {
    // Re-armed periods in ms, as the engine would return them.
    const std::vector<int> periods{10, 5, 1, 20, 3, 60, 7, 2, 15, 4};
    std::mutex mutex;
    std::vector<Clock::time_point> ticks;
    std::atomic<int> released{0};
    std::atomic<bool> stepAfterRelease{false};
    KeyingTimerThread timer(
        [&]() -> std::optional<int> {
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
    for (int i = 0; i < 200; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::lock_guard lock(mutex);
        if (ticks.size() > periods.size() + 2)
            break;
    }
    timer.Stop();
    EXPECT_EQ(released.load(), 1);
    EXPECT_FALSE(stepAfterRelease.load());

    std::lock_guard lock(mutex);
    ASSERT_GT(ticks.size(), periods.size() + 1);
    auto deadline = start + std::chrono::milliseconds(30);
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_GE(ticks[i], deadline) << "tick " << i;
        // Each deadline follows the previous deadline, not the late wake-up.
        deadline += std::chrono::milliseconds(i < periods.size() ? periods[i] : periods.back());
    }
}

TEST(KeyingTimerThread, StopAnswersDuringALongPeriod) {
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
