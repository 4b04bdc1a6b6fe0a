// The station against the HamLog stand-in on the local window transport: a
// HamLog that stops answering must not stall the one-second tick.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "../platform/logger/LinkHarness.h"
#include "StationRig.h"

namespace morvane::station::test {
namespace {

using namespace std::chrono_literals;

TEST(StationLink, HungHamlogHoldsTheTitleRefreshOnlyBriefly) {
    morvane::test::RuntimeDir runtime;
    morvane::test::SimProcess hamlog(MORVANE_HAMLOG_SIM, {"--hang-on", "2"},
                                     (runtime / "hamlog.log").string());
    ASSERT_TRUE(hamlog.Started());
    ASSERT_TRUE(hamlog.WaitReady());

    std::vector<std::string> lines;
    ConsoleView view([&](const std::string& line) { lines.push_back(line); });
    platform::UnixLoggerWindows windows("hWndMRVN");
    platform::IconvCodePage codePage;
    macros::FixedClock clock{TestTime()};
    station::Station station{
        {.Loggers = {.Windows = &windows, .CodePage = &codePage}, .Clock = &clock}, view};
    station.Start();
    const auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    // Eleven ticks: one title refresh, which finds HamLog answering.
    const auto refresh = [&] {
        auto longest = 0ms;
        for (int tick = 0; tick < 11; ++tick) {
            const auto start = std::chrono::steady_clock::now();
            station.OneSecondTick();
            longest = std::max(longest, std::chrono::duration_cast<std::chrono::milliseconds>(
                                            std::chrono::steady_clock::now() - start));
        }
        return longest;
    };
    refresh();
    ASSERT_TRUE(has("link hamlog up")) << ::testing::PrintToString(lines);
    EXPECT_NE(station.Title().find("[Link to Turbo HamLog]"), std::string::npos) << station.Title();

    station.SendTime();  // HamLog hangs on the time command
    ASSERT_TRUE(hamlog.Contains("hung"));
    const auto longest = refresh();
    EXPECT_LT(longest, 1000ms);  // the links' own bound is 2 s
    EXPECT_TRUE(has("link hamlog down")) << ::testing::PrintToString(lines);
    EXPECT_EQ(station.Title().find("[Link to"), std::string::npos) << station.Title();
}

}  // namespace
}  // namespace morvane::station::test
