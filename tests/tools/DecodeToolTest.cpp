// morvane-decode run as the user runs it, on files the test writes.
#include <gtest/gtest.h>

#include "../platform/TestSupport.h"
#include "synth/BandRecording.h"
#include "synth/CwSynth.h"
#include "synth/TextKeying.h"

namespace morvane::test {
namespace {

class DecodeTool : public ::testing::Test {
  protected:
    ToolRun Decode(const std::string& arguments) {
        return RunTool(folder_, MORVANE_DECODE_PATH, arguments);
    }

    // CW of `text` (English or katakana) at 100 per minute.
    std::string WriteCw(const std::string& name, const std::string& text,
                        synth::ChannelLayout layout = synth::ChannelLayout::StereoBoth,
                        synth::TextAlphabet alphabet = synth::TextAlphabet::English) {
        auto keyed = synth::TextToEvents(text, alphabet, 15, {}, 500.0);
        synth::CwSynth synth({.Layout = layout},
                             {synth::Station{.Events = keyed.Events, .ToneHz = 603.0}});
        std::vector<std::int16_t> audio(synth.TotalFrames() * synth.Channels());
        synth.Render(audio);
        EXPECT_TRUE(WriteSound(folder_ / name, audio, synth.Channels()));
        return (folder_ / name).string();
    }

    TempFolder folder_;
};

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(DecodeTool, BadFilesAreReportedAndTheOthersStillDecode) {
    const auto good = WriteCw("good.wav", "CQ DE JA1ABC");
    const auto flac = WriteCw("mono.flac", "TEST K", synth::ChannelLayout::Mono);
    std::ofstream(folder_ / "notes.wav") << "not audio\n";
    const auto empty = folder_ / "empty.wav";
    ASSERT_TRUE(WriteSound(empty, {}, 2));
    const auto result =
        Decode(good + " " + (folder_ / "missing.wav").string() + " " +
               (folder_ / "notes.wav").string() + " " + empty.string() + " " + flac);
    EXPECT_EQ(result.ExitCode, 2);
    EXPECT_EQ(result.Out, "CQ DE JA1ABC\nTEST K\n");
    EXPECT_EQ(Lines(result.Err), 3) << result.Err;
    for (const char* name : {"missing.wav", "notes.wav", "empty.wav"})
        EXPECT_NE(result.Err.find(name), std::string::npos) << name;

    const auto fine = Decode(good);
    EXPECT_EQ(fine.ExitCode, 0);
    EXPECT_EQ(fine.Out, "CQ DE JA1ABC\n");
    EXPECT_EQ(fine.Err, "");
}

TEST_F(DecodeTool, BadOptionsExitWithOneLineNamingTheProblem) {
    const auto good = WriteCw("good.wav", "E");
    const std::pair<std::string, const char*> cases[] = {{"--channel middle", "middle"},
                                                         {"--tone abc", "--tone"},
                                                         {"--threshold -120", "--threshold"},
                                                         {"--speed 500", "--speed"},
                                                         {"--frobnicate", "--frobnicate"},
                                                         {"--nr 3", "--nr"},
                                                         {"--lang", "--lang"},
                                                         {"--demo -5", "--demo"},
                                                         {"--live", "--live"},
                                                         {"--device default", "--device"},
                                                         {"--list-devices", "--list-devices"},
                                                         {"--device", "--device"},
                                                         {"--decoder fancy", "fancy"},
                                                         {"--squelch 2", "--squelch"}};
    for (const auto& [arguments, named] : cases) {
        // The option goes last so that a value-less option runs off the end.
        const auto result = Decode(good + " " + arguments);
        EXPECT_EQ(result.ExitCode, 2) << arguments;
        EXPECT_EQ(result.Out, "") << arguments;
        EXPECT_NE(result.Err.find(named), std::string::npos) << arguments << ": " << result.Err;
        EXPECT_LE(Lines(result.Err), 2) << result.Err;
    }
    const auto none = Decode("");
    EXPECT_EQ(none.ExitCode, 2);
    EXPECT_NE(none.Err.find("no input"), std::string::npos);
}

TEST_F(DecodeTool, OptionsReachTheReceivePath) {
    const auto right = WriteCw("right.wav", "RIGHT", synth::ChannelLayout::StereoRight);
    const auto kana = WriteCw("kana.wav", "コンニチハ", synth::ChannelLayout::StereoBoth,
                              synth::TextAlphabet::Katakana);
    const std::pair<std::string, const char*> cases[] = {
        {right, "\n"},
        {"--channel right " + right, "RIGHT\n"},
        {"--channel right --tone 600 --threshold -60 --nr off --speed 100 " + right, "RIGHT\n"},
        {"--lang ja " + kana, "コンニチハ\n"},
        {"--lang ja --kana hiragana " + kana, "こんにちは\n"},
        {"--decoder weak --channel right " + right, "RIGHT\n"},
        {"--decoder weak --lang ja --kana hiragana " + kana, "こんにちは\n"}};
    for (const auto& [arguments, text] : cases)
        EXPECT_EQ(Decode(arguments).Out, text) << arguments;

    // A raised squelch holds back the weak signal's doubtful characters.
    const auto recording =
        synth::MakeRecording({.Wpm = 22, .ToneHz = 650, .SnrDb = -3.0, .Words = 10, .Seed = 5});
    ASSERT_TRUE(WriteSound(folder_ / "weak.wav", recording.Frames, 2));
    const auto weak = (folder_ / "weak.wav").string();
    const std::size_t open = Decode("--decoder weak --squelch 0 " + weak).Out.size();
    const std::size_t raised = Decode("--decoder weak --squelch 0.9 " + weak).Out.size();
    EXPECT_GE(open, recording.Text.size() * 9 / 10);
    EXPECT_LE(raised, open * 3 / 4);

    // One confidence digit under each character, blanks under blanks.
    const auto good = WriteCw("good.wav", "CQ DE JA1ABC");
    const auto confident = Decode("--decoder weak --confidence " + good);
    EXPECT_EQ(confident.ExitCode, 0);
    const auto lineBreak = confident.Out.find('\n');
    ASSERT_NE(lineBreak, std::string::npos);
    const std::string text = confident.Out.substr(0, lineBreak);
    const std::string digits = confident.Out.substr(lineBreak + 1);
    EXPECT_EQ(text, "CQ DE JA1ABC");
    ASSERT_EQ(digits.size(), text.size() + 1) << confident.Out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ')
            EXPECT_EQ(digits[i], ' ');
        else
            EXPECT_TRUE(digits[i] >= '5' && digits[i] <= '9') << digits;
    }

    const auto demo = Decode("--demo 20");
    EXPECT_EQ(demo.ExitCode, 0);
    EXPECT_EQ(demo.Out.rfind("CQ CQ CQ DE JA1ABC", 0), 0u) << demo.Out;
}

// Blanks and line breaks collapsed, so that the streamed and the one-line
// forms of the same text compare equal.
std::string Words(const std::string& text) {
    std::istringstream in(text);
    std::string word, all;
    while (in >> word)
        all += (all.empty() ? "" : " ") + word;
    return all;
}

TEST_F(DecodeTool, LiveDemoStreamsTheSameTextAsTheBatchRun) {
    const auto live = Decode("--demo 6 --live");
    const auto batch = Decode("--demo 6");
    EXPECT_EQ(live.ExitCode, 0);
    EXPECT_NE(Words(batch.Out), "");
    EXPECT_EQ(Words(live.Out), Words(batch.Out));
}

}  // namespace
}  // namespace morvane::test
