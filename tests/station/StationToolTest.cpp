// morvane-station run as a script runs it: commands on standard input,
// events on standard output, the demo contact as capture and key events as
// the keying output.
#include <gtest/gtest.h>

#include "../platform/TestSupport.h"
#include "synth/BandRecording.h"

namespace morvane::test {
namespace {

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> Starting(const std::vector<std::string>& lines, const std::string& kind) {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (line.starts_with(kind + " "))
            found.push_back(line.substr(kind.size() + 1));
    }
    return found;
}

std::string Joined(const std::vector<std::string>& pieces) {
    std::string text;
    for (const std::string& piece : pieces)
        text += piece;
    return text;
}

TEST(StationTool, ScriptOnVirtualTimeDecodesKeysAndReportsBadCommands) {
    TempFolder folder;
    const std::string script =
        "decoder weak\n"
        "sleep 22000\n"
        "decoder standard\n"
        "decoder fancy\n"
        "field HisCall ja1abc\n"
        "send cq <DASH4.0>t\n"
        "wait\n"
        "bogus\n"
        "macro 99\n"
        "field Nobody X\n"
        "quit\n"
        "send never\n";
    const ToolRun run =
        RunTool(folder, MORVANE_STATION_PATH, "--demo --key events --virtual-time", script);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const auto lines = LinesOf(run.Out);
    EXPECT_NE(Joined(Starting(lines, "rx")).find("CQ CQ CQ DE JA1ABC"), std::string::npos)
        << run.Out;
    EXPECT_EQ(Joined(Starting(lines, "tx")), "CQ T");
    std::vector<std::string> keys;
    for (const std::string& key : Starting(lines, "key")) {
        if (key.ends_with(" up") || key.ends_with(" down"))
            keys.push_back(key);
    }
    ASSERT_GE(keys.size(), 4u);
    // C starts with a dash: 180 ms at the default speed, then a 60 ms space.
    EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 4),
              (std::vector<std::string>{"0 down", "180 up", "240 down", "300 up"}));
    // The dash tag lengthens only the T that follows: the last dash is 240 ms.
    const auto lastDown =
        std::stoll(keys[keys.size() - 2].substr(0, keys[keys.size() - 2].find(' ')));
    const auto lastUp = std::stoll(keys.back().substr(0, keys.back().find(' ')));
    EXPECT_EQ(lastUp - lastDown, 240) << run.Out;
    EXPECT_EQ(Starting(lines, "error"),
              (std::vector<std::string>{"decoder takes standard or weak", "unknown command bogus",
                                        "macro takes 1 to 15", "unknown field Nobody"}));
}

// The weak decoder's squelch reaches the running capture: on a weak signal a
// high level holds back the doubtful characters that level 0 prints; a level
// out of range is refused and leaves the last one.
TEST(StationTool, SquelchHoldsBackDoubtfulCharactersOfTheWeakDecoder) {
    TempFolder folder;
    synth::RecordingPlan plan{.Wpm = 22, .ToneHz = 650, .SnrDb = -3.0, .Words = 10, .Seed = 5};
    const auto recording = synth::MakeRecording(plan);
    ASSERT_TRUE(WriteSound(folder / "weak.wav", recording.Frames, 2));
    const auto copied = [&folder](const std::string& level) {
        const ToolRun run = RunTool(
            folder, MORVANE_STATION_PATH,
            "--file " + (folder / "weak.wav").string() + " --key events --virtual-time",
            "decoder weak\nsquelch " + level + "\nsquelch 1.5\nsquelch x\nsleep 40000\nquit\n");
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        const auto lines = LinesOf(run.Out);
        EXPECT_EQ(Starting(lines, "error"),
                  (std::vector<std::string>{"squelch takes a confidence from 0 to 1",
                                            "squelch takes a confidence from 0 to 1"}));
        std::string text = Joined(Starting(lines, "rx"));
        std::erase_if(text, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
        return text;
    };
    const std::string open = copied("0");
    const std::string raised = copied("0.9");
    std::string sent = recording.Text;
    std::erase_if(sent, [](char c) { return c == ' '; });
    EXPECT_GE(open.size(), sent.size() * 9 / 10) << open;
    EXPECT_LE(raised.size(), open.size() * 3 / 4) << raised;
    EXPECT_GE(raised.size(), 4u) << raised;
}

TEST(StationTool, EndOfInputQuitsAndBadArgumentsAreRefused) {
    TempFolder folder;
    const ToolRun run =
        RunTool(folder, MORVANE_STATION_PATH, "--virtual-time --key events", "send e\nwait\n");
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    // End of input quits, and quitting releases key and PTT once more.
    EXPECT_EQ(Starting(LinesOf(run.Out), "key"),
              (std::vector<std::string>{"0 down", "60 up", "300 up", "300 ptt-off"}));

    const ToolRun bad = RunTool(folder, MORVANE_STATION_PATH, "--demo --file x.wav", "");
    EXPECT_EQ(bad.ExitCode, 2);
    EXPECT_NE(bad.Err.find("choose one of"), std::string::npos) << bad.Err;
    EXPECT_EQ(RunTool(folder, MORVANE_STATION_PATH, "--key morse", "").ExitCode, 2);
}

// On the wall clock the same script keys in real time, bounded by a generous
// tolerance for a loaded machine.
TEST(StationTool, WallClockKeyingFollowsTheTimer) {
    TempFolder folder;
    const ToolRun run =
        RunTool(folder, MORVANE_STATION_PATH, "--demo --key events", "send e\nwait\nquit\n");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const auto keys = Starting(LinesOf(run.Out), "key");
    ASSERT_GE(keys.size(), 2u) << run.Out;
    EXPECT_EQ(keys[0], "0 down");
    const int up = std::stoi(keys[1]);
    EXPECT_GE(up, 55);
    EXPECT_LE(up, 200);
}

}  // namespace
}  // namespace morvane::test
