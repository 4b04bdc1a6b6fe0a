// The keying engine on the timer's deadline rule with a virtual clock that
// wakes late or jumps: elements keep their length, on-time ticks do not drift.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/timer/KeyingTicker.h"
#include "text/WindowCommand.h"
#include "transmit/KeyingEngine.h"
#include "transmit/VirtualKeying.h"

namespace morvane::platform {
namespace {

constexpr std::int64_t kMs = 1'000'000;

struct QuietReceive final : transmit::ReceiveHandOver {
    void SetReceiveEnabled(bool) override {}
    void ResetSpeedMeasurement() override {}
    void ResetSendMark() override {}
    void ResetElementTiming() override {}
};

// Records the virtual time of every action in ns; a key-down may take time.
struct NsRecorder final : transmit::KeyOutput {
    std::int64_t& Now;
    std::int64_t SlowDownNs;
    std::vector<std::int64_t> Times;
    NsRecorder(std::int64_t& now, std::int64_t slowDownNs) : Now(now), SlowDownNs(slowDownNs) {}
    void KeyDown() override {
        Now += SlowDownNs;
        Times.push_back(Now);
    }
    void KeyUp() override { Times.push_back(Now); }
    void PttOn() override { Times.push_back(Now); }
    void PttOff() override { Times.push_back(Now); }
};

struct Disturbance {
    std::int64_t LateNs = 0;     // every wake-up this late
    std::int64_t StallAtNs = 0;  // the clock jumps once, at the first wake-up after this
    std::int64_t StallNs = 0;
    std::int64_t SlowDownNs = 0;  // every key-down takes effect this long into its step
};

// Keys `text` with the ticker on a virtual clock; returns the action times.
std::vector<std::int64_t> KeyOnVirtualClock(const std::string& text, const Disturbance& how) {
    std::int64_t now = 0;
    transmit::TransmitText tx;
    text::WindowCommandQueue windows;
    transmit::SendEcho echo(windows);
    QuietReceive receive;
    transmit::KeyingListener listener;
    NsRecorder recorder(now, how.SlowDownNs);
    transmit::KeyingEngine engine({tx, recorder, echo, receive, listener});
    engine.SetPttLeadMs(25);
    tx.Append(text);
    KeyingTicker ticker([&] { return engine.KeyingStep(); }, [&] { return now; });
    ticker.Arm(transmit::kInitialTimerPeriodMs);
    bool stalled = how.StallNs == 0;
    for (int idle = 0, ticks = 0; idle < 3 && ticks < 10'000; ++ticks) {
        now = std::max(now, ticker.DeadlineNs() + how.LateNs);
        if (!stalled && now >= how.StallAtNs) {
            now += how.StallNs;
            stalled = true;
        }
        ticker.RunStep();
        idle = engine.Idle() ? idle + 1 : 0;
    }
    return recorder.Times;
}

TEST(KeyingTicker, LateTicksDelayTheTextAndOnTimeTicksDoNotDrift) {
    const std::string text = "EEEEE TEST 5NN";
    const std::vector<std::int64_t> ideal = KeyOnVirtualClock(text, {});
    ASSERT_GT(ideal.size(), 40u);
    const std::int64_t span = ideal.back() - ideal.front();
    struct Case {
        const char* Name;
        Disturbance How;
        std::int64_t MaxDelayNs;  // how much later the last action may come
    };
    const Case cases[] = {
        // Wake-up latency within the tolerance: absolute deadlines, no drift.
        {"late 0.9 ms", {.LateNs = 900'000}, 0},
        // Stalls in a dot, in a word gap and across many elements.
        {"stall 300 ms", {.StallAtNs = 700 * kMs, .StallNs = 300 * kMs}, 300 * kMs},
        {"stall 2 s", {.StallAtNs = 1500 * kMs, .StallNs = 2000 * kMs}, 2000 * kMs},
        {"stall 45 ms", {.StallAtNs = 3000 * kMs, .StallNs = 45 * kMs}, 45 * kMs},
        // Every wake-up late beyond the tolerance: each element is kept whole.
        {"late 3 ms", {.LateNs = 3 * kMs}, 3 * kMs * 3 * std::int64_t(ideal.size())},
        // A step slow to key (a stalled device write, preemption) is late too.
        {"slow key-down 5 ms", {.SlowDownNs = 5 * kMs}, 5 * kMs * std::int64_t(ideal.size())},
    };
    for (const Case& c : cases) {
        const std::vector<std::int64_t> real = KeyOnVirtualClock(text, c.How);
        ASSERT_EQ(real.size(), ideal.size()) << c.Name;
        int stretched = 0;
        for (std::size_t i = 1; i < real.size(); ++i) {
            const std::int64_t want = ideal[i] - ideal[i - 1];
            const std::int64_t got = real[i] - real[i - 1];
            EXPECT_GE(got, want) << c.Name << ": element " << i << " cut short";
            stretched += got != want;
        }
        const std::int64_t delay = real.back() - real.front() - span;
        EXPECT_GE(delay, 0) << c.Name;
        EXPECT_LE(delay, c.MaxDelayNs) << c.Name;
        if (c.How.StallNs > 0) {
            EXPECT_LE(stretched, 1) << c.Name << ": only the element the stall hit is longer";
        }
    }
}

}  // namespace
}  // namespace morvane::platform
