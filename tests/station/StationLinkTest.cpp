// The station against the HamLog stand-in on the local window transport: a
// HamLog that stops answering must not stall the one-second tick.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "../platform/logger/LinkHarness.h"
#include "StationRig.h"
#include "settings/OptionString.h"

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

// PTT switched by HamLog: until a probe found HamLog taking input, PTT stays
// on the port; the title refresh probes, and from then on PTT on/off go to
// HamLog as commands 23/24 while the key itself stays on the port.
TEST(StationLink, TitleRefreshProbesHamlogAndPttMovesToIt) {
    morvane::test::RuntimeDir runtime;
    ConsoleView view([](const std::string&) {});
    platform::UnixLoggerWindows windows("hWndMRVN");
    platform::IconvCodePage codePage;
    macros::FixedClock clock{TestTime()};
    RecordingPort port;
    station::Station station{
        {.Port = &port, .Loggers = {.Windows = &windows, .CodePage = &codePage}, .Clock = &clock},
        view};
    VirtualStation runner{station};
    port.Clock = &runner;
    station.Start();
    std::string options(settings::kDefaultOptions);
    options[settings::option::PttLead] = 'B';  // 25 ms
    options[settings::option::PttCtrl] = 'H';
    options[settings::option::LogSoft] = 'H';
    station.ChangeSetting(common::EntryId::OptionString, options);

    const auto count = [&](std::string_view action) {
        return std::count_if(port.Actions.begin(), port.Actions.end(),
                             [&](const PortAction& a) { return a.Action == action; });
    };
    station.AppendTransmit("E");
    ASSERT_TRUE(runner.RunUntilSent(10'000));
    EXPECT_EQ(count("ptt-on"), 1);  // no HamLog yet: the port switches PTT
    EXPECT_EQ(count("ptt-off"), 1);

    morvane::test::SimProcess hamlog(MORVANE_HAMLOG_SIM, {}, (runtime / "hamlog.log").string());
    ASSERT_TRUE(hamlog.Started());
    ASSERT_TRUE(hamlog.WaitReady());
    runner.AdvanceMs(11'000);  // one title refresh
    ASSERT_TRUE(hamlog.Contains("recv cmd=0x1 len=4 text=****"))
        << ::testing::PrintToString(hamlog.Lines());

    // The PTT thread sends on its own, in real time: wait (bounded) for each
    // switch before the next, or the later one replaces the earlier.
    const auto arrives = [&](const std::string& line) {
        for (int i = 0; i < 300 && !hamlog.Contains(line); ++i)
            std::this_thread::sleep_for(10ms);
        return hamlog.Contains(line);
    };
    station.AppendTransmit("E");
    for (int ms = 0; ms < 1000 && count("down") < 2; ms += 5)
        runner.AdvanceMs(5);  // PTT on, lead time, key down
    EXPECT_TRUE(arrives("recv cmd=0x17 len=0 text=")) << ::testing::PrintToString(hamlog.Lines());
    ASSERT_TRUE(runner.RunUntilSent(10'000));
    EXPECT_TRUE(arrives("recv cmd=0x18 len=0 text="));
    EXPECT_EQ(count("ptt-on"), 1);
    EXPECT_EQ(count("ptt-off"), 1);
    EXPECT_EQ(count("down"), 2);
    station.Shutdown();
}

}  // namespace
}  // namespace morvane::station::test
