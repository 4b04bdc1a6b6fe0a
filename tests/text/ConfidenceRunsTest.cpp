// Confidence travels with received text through the command queue, the
// focus hold, the labels and a re-read selection, and stays out of
// everything that was not rated.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/MonitorWindow.h"
#include "text/ReceiveWindow.h"
#include "text/WindowCommand.h"

namespace morvane::text {
namespace {

using R = ConfidenceRun;

std::vector<ConfidenceRun> RunsAfter(const std::vector<WindowCommand>& commands,
                                     bool holdFirst = false) {
    ReceiveWindow rx;
    MonitorWindow monitor;
    if (holdFirst)
        rx.FocusGained();
    for (const WindowCommand& c : commands)
        Apply(c, rx, monitor);
    if (holdFirst) {
        EXPECT_EQ(rx.Window().Text(), "RX> ") << "nothing shown while held";
        rx.FocusLost();
    }
    return rx.Window().ConfidenceRuns();
}

TEST(ConfidenceRuns, RatedTextKeepsItsConfidenceShownOrHeld) {
    using command::AppendReceived;
    const std::vector<WindowCommand> rated = {
        AppendReceived{"C", 0.25f}, AppendReceived{"Q", 0.25f}, command::AppendWordSpace{},
        AppendReceived{"こ", 0.5f}, AppendReceived{"K", std::nullopt}};
    // "RX> " certain; "CQ" 0.25 as one run; the blank certain; the kana
    // counts as one character; unrated text is certain.
    const std::vector<ConfidenceRun> expected = {R{0, 4, 1.0f}, R{4, 2, 0.25f}, R{6, 1, 1.0f},
                                                 R{7, 1, 0.5f}, R{8, 1, 1.0f}};
    EXPECT_EQ(RunsAfter(rated), expected);
    EXPECT_EQ(RunsAfter(rated, /*holdFirst=*/true), expected);

    // Out of range values are clamped; sent text and labels stay certain.
    EXPECT_EQ(
        RunsAfter({AppendReceived{"A", -3.0f}, command::EchoSent{"B"}, AppendReceived{"C", 7.0f}}),
        (std::vector<ConfidenceRun>{R{0, 4, 1.0f}, R{4, 1, 0.0f}, R{5, 14, 1.0f}}));
}

TEST(ConfidenceRuns, ReReadSelectionKeepsTheRatingAndClearDropsIt) {
    ReceiveWindow rx;
    rx.AppendReceived("AB", 0.3f);
    rx.AppendReceived("C", 0.9f);
    rx.FocusGained();
    rx.Window().Select(4, 6);
    rx.FocusLost();
    rx.ReplaceRememberedSelection("いは");
    EXPECT_EQ(rx.Window().Text(), "RX> いはC");
    EXPECT_EQ(rx.Window().ConfidenceRuns(),
              (std::vector<ConfidenceRun>{R{0, 4, 1.0f}, R{4, 2, 0.3f}, R{6, 1, 0.9f}}));
    rx.AppendReceived("D");
    EXPECT_FLOAT_EQ(rx.Window().ConfidenceAt(7), 1.0f) << "the next plain text is certain again";
    rx.ClearReceive();
    EXPECT_EQ(rx.Window().ConfidenceRuns(), (std::vector<ConfidenceRun>{R{0, 4, 1.0f}}));
}

}  // namespace
}  // namespace morvane::text
