#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "synth/CwSynth.h"
#include "synth/TextKeying.h"

namespace {

namespace fs = std::filesystem;
using namespace morvane;

struct ToolRun {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

class DecodeTool : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("morvane_tool_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    ToolRun Decode(const std::string& arguments) {
        const auto out = folder_ / "out.txt";
        const auto err = folder_ / "err.txt";
        const std::string command = std::string(MORVANE_DECODE_PATH) + " " + arguments + " >" +
                                    out.string() + " 2>" + err.string();
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
    }

    // Writes CW of `text` (English or katakana) at 100 per minute.
    fs::path WriteCw(const std::string& name, const std::string& text, int format,
                     synth::ChannelLayout layout = synth::ChannelLayout::StereoBoth,
                     synth::TextAlphabet alphabet = synth::TextAlphabet::English) {
        auto keyed = synth::TextToEvents(text, alphabet, 15, {}, 500.0);
        synth::CwSynth synth({.Layout = layout},
                             {synth::Station{.Events = keyed.Events, .ToneHz = 603.0}});
        std::vector<std::int16_t> audio(synth.TotalFrames() * synth.Channels());
        synth.Render(audio);
        SF_INFO info{};
        info.samplerate = 11025;
        info.channels = synth.Channels();
        info.format = format;
        const auto path = folder_ / name;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        EXPECT_NE(file, nullptr);
        sf_writef_short(file, audio.data(), synth.TotalFrames());
        sf_close(file);
        return path;
    }

    fs::path folder_;
};

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(DecodeTool, BadFilesAreReportedAndTheOthersStillDecode) {
    const auto good = WriteCw("good.wav", "CQ DE JA1ABC", SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const auto flac = WriteCw("mono.flac", "TEST K", SF_FORMAT_FLAC | SF_FORMAT_PCM_16,
                              synth::ChannelLayout::Mono);
    const auto text = folder_ / "notes.wav";
    std::ofstream(text) << "not audio\n";
    const auto empty = folder_ / "empty.wav";
    {
        SF_INFO info{.frames = 0,
                     .samplerate = 11025,
                     .channels = 2,
                     .format = SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                     .sections = 0,
                     .seekable = 0};
        sf_close(sf_open(empty.c_str(), SFM_WRITE, &info));
    }
    const auto result = Decode(good.string() + " " + (folder_ / "missing.wav").string() + " " +
                               text.string() + " " + empty.string() + " " + flac.string());
    EXPECT_EQ(result.ExitCode, 2);
    EXPECT_EQ(result.Out, "CQ DE JA1ABC\nTEST K\n");
    EXPECT_EQ(Lines(result.Err), 3) << result.Err;
    EXPECT_NE(result.Err.find("missing.wav"), std::string::npos);
    EXPECT_NE(result.Err.find("notes.wav"), std::string::npos);
    EXPECT_NE(result.Err.find("empty.wav"), std::string::npos);

    const auto fine = Decode(good.string());
    EXPECT_EQ(fine.ExitCode, 0);
    EXPECT_EQ(fine.Out, "CQ DE JA1ABC\n");
    EXPECT_EQ(fine.Err, "");
}

TEST_F(DecodeTool, BadOptionsExitWithOneLineNamingTheProblem) {
    const auto good = WriteCw("good.wav", "E", SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const std::pair<const char*, const char*> cases[] = {
        {"--channel middle", "middle"},
        {"--tone abc", "--tone"},
        {"--threshold -120", "--threshold"},
        {"--speed 500", "--speed"},
        {"--frobnicate", "--frobnicate"},
        {"--nr 3", "--nr"},
        {"--lang", "--lang"},
        {"--demo -5", "--demo"},
        {"--live", "--live"},
    };
    for (const auto& [arguments, named] : cases) {
        // The option goes last so that a value-less option runs off the end.
        const auto result = Decode(good.string() + " " + arguments);
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
    const auto right = WriteCw("right.wav", "RIGHT", SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                               synth::ChannelLayout::StereoRight);
    EXPECT_EQ(Decode(right.string()).Out, "\n");
    EXPECT_EQ(Decode("--channel right " + right.string()).Out, "RIGHT\n");
    EXPECT_EQ(
        Decode("--channel right --tone 600 --threshold -60 --nr off --speed 100 " + right.string())
            .Out,
        "RIGHT\n");

    const auto kana = WriteCw("kana.wav", "コンニチハ", SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                              synth::ChannelLayout::StereoBoth, synth::TextAlphabet::Katakana);
    EXPECT_EQ(Decode("--lang ja " + kana.string()).Out, "コンニチハ\n");
    EXPECT_EQ(Decode("--lang ja --kana hiragana " + kana.string()).Out, "こんにちは\n");

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
