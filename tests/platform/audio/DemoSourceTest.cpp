#include "platform/audio/DemoSource.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "receive/ReceivePath.h"

namespace morvane::platform::audio {
namespace {

using Clock = std::chrono::steady_clock;
using receive::ReadStatus;

TEST(DemoSource, PacedHalvesArriveInRealTimeAndInterruptWakes) {
    DemoSource demo({.Paced = true, .LengthS = std::nullopt, .Seed = 1});
    ASSERT_EQ(demo.Open(std::nullopt), std::nullopt);
    std::array<std::int16_t, receive::kHalfSamples> half{};
    const auto start = Clock::now();
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(demo.WaitHalf(half), ReadStatus::Block);
    const auto elapsed = Clock::now() - start;
    // Four halves are 371.5 ms of audio.
    EXPECT_GE(elapsed, std::chrono::milliseconds(360));
    EXPECT_LT(elapsed, std::chrono::milliseconds(1500));

    std::jthread stopper([&demo] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        demo.Stop();
    });
    const auto before = Clock::now();
    EXPECT_EQ(demo.WaitHalf(half), ReadStatus::Interrupted);
    EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(80));
    EXPECT_EQ(demo.WaitHalf(half), ReadStatus::End);
}

// A reader held up (the process stopped, the machine busy) gets the halves
// of the time it missed at once, but not seconds of them in a burst: a sound
// card would have overrun too, and a burst would flood decoding and window.
TEST(DemoSource, PacedReaderHeldUpDoesNotGetTheMissedSecondsInABurst) {
    DemoSource demo({.Paced = true, .LengthS = std::nullopt, .Seed = 1});
    ASSERT_EQ(demo.Open(std::nullopt), std::nullopt);
    std::array<std::int16_t, receive::kHalfSamples> half{};
    ASSERT_EQ(demo.WaitHalf(half), ReadStatus::Block);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // 16 halves due

    const auto start = Clock::now();
    int quick = 0;
    while (Clock::now() - start < std::chrono::milliseconds(200)) {
        ASSERT_EQ(demo.WaitHalf(half), ReadStatus::Block);
        ++quick;
    }
    EXPECT_LE(quick, 5);
    // Then the pace holds again: four halves take their 371.5 ms.
    const auto paced = Clock::now();
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(demo.WaitHalf(half), ReadStatus::Block);
    EXPECT_GE(Clock::now() - paced, std::chrono::milliseconds(300));
}

TEST(DemoSource, UnpacedDemoEndsAfterItsLengthAndDecodes) {
    DemoSource demo({.Paced = false, .LengthS = 40.0, .Seed = 1});
    ASSERT_EQ(demo.Open(std::nullopt), std::nullopt);
    receive::ReceivePathOptions options;
    options.AutoLanguage = true;
    options.Mode = receive::KeyMode::Direct;
    receive::ReceivePath path(options);
    std::array<std::int16_t, receive::kHalfSamples> half{};
    int halves = 0;
    double power = 0;
    const auto start = Clock::now();
    while (demo.WaitHalf(half) == ReadStatus::Block) {
        ++halves;
        for (std::size_t i = 0; i < half.size(); i += 2) {
            EXPECT_EQ(half[i], half[i + 1]);
            power += double(half[i]) * half[i];
        }
        path.OnBlock(half, 0);
    }
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(halves, 431);  // ceil(40 s × 11025 / 1024)
    EXPECT_GT(power / (halves * 1024.0), 1e5) << "band noise is always present";
    path.Flush();
    const std::string text = path.ReceivedText();
    EXPECT_NE(text.find("CQ CQ CQ DE JA1ABC"), std::string::npos) << text;
    EXPECT_NE(text.find("JA1ABC DE JH2XYZ"), std::string::npos) << text;
}

}  // namespace
}  // namespace morvane::platform::audio
