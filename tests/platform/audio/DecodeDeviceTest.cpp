// morvane-decode --device against a private sound server, as an operator
// runs it: live text, Ctrl+C, and the server going away under it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "PulseServer.h"
#include "platform/audio/AudioSource.h"
#include "synth/CwSynth.h"
#include "synth/TextKeying.h"

extern "C" const char* __tsan_default_suppressions();

namespace morvane::test {
namespace {

using namespace std::chrono_literals;

// morvane-decode started in the background, its output going to files.
class DecodeRun {
  public:
    DecodeRun(const TempFolder& folder, const std::vector<std::string>& arguments)
        : out_(folder / "out.txt"), err_(folder / "err.txt") {
        // Under the sanitizers the child reports only about our code: the
        // sound libraries keep allocations and lock in ways the tools flag.
        const auto suppressions = folder / "tsan.supp";
        std::ofstream(suppressions) << __tsan_default_suppressions();
        pid_ = fork();
        if (pid_ != 0)
            return;
        const std::string asan =
            std::string(getenv("ASAN_OPTIONS") ? getenv("ASAN_OPTIONS") : "") + ":detect_leaks=0";
        setenv("ASAN_OPTIONS", asan.c_str(), 1);
        setenv("TSAN_OPTIONS", ("suppressions=" + suppressions.string()).c_str(), 1);
        if (!freopen(out_.c_str(), "w", stdout) || !freopen(err_.c_str(), "w", stderr))
            _exit(127);
        std::vector<char*> argv{const_cast<char*>(MORVANE_DECODE_PATH)};
        for (const auto& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    ~DecodeRun() {
        if (pid_ > 0 && !status_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    DecodeRun(const DecodeRun&) = delete;
    DecodeRun& operator=(const DecodeRun&) = delete;

    void Signal(int signal) const { kill(pid_, signal); }
    // The exit status within `limit`, or -1 (then the run is killed).
    int Wait(std::chrono::milliseconds limit) {
        const auto end = Clock::now() + limit;
        while (!status_ && Clock::now() < end) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_)
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            else
                std::this_thread::sleep_for(10ms);
        }
        return status_.value_or(-1);
    }
    // Waits at most `limit` for standard output to hold `text`.
    bool WaitForOutput(const std::string& text, std::chrono::milliseconds limit) const {
        const auto end = Clock::now() + limit;
        while (Out().find(text) == std::string::npos && Clock::now() < end)
            std::this_thread::sleep_for(50ms);
        return Out().find(text) != std::string::npos;
    }
    std::string Out() const { return Slurp(out_); }
    std::string Err() const { return Slurp(err_); }

  private:
    fs::path out_, err_;
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// Waits at most `limit` until the server has a recording client.
bool ServerRecording(std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        if (std::system("pactl list short source-outputs 2>/dev/null | grep -q .") == 0)
            return true;
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

std::string Words(const std::string& text) {
    std::istringstream in(text);
    std::string word, all;
    while (in >> word)
        all += (all.empty() ? "" : " ") + word;
    return all;
}

// CW of `text` at 100 per minute, as a sound file for the server to play.
fs::path WriteCw(const PulseServer& server, const std::string& name, const std::string& text) {
    auto keyed = synth::TextToEvents(text, synth::TextAlphabet::English, 15, {}, 300.0);
    synth::CwSynth synth({.Layout = synth::ChannelLayout::StereoBoth},
                         {synth::Station{.Events = keyed.Events, .ToneHz = 603.0}});
    std::vector<std::int16_t> stereo(2 * synth.TotalFrames());
    synth.Render(stereo);
    const auto path = server.Folder / name;
    EXPECT_TRUE(WriteSound(path, stereo, 2));
    return path;
}

TEST(DecodeDevice, LiveTextUntilCtrlCThenALostServerExitsTwoWithTheMessage) {
    PulseServer server;
    MORVANE_NEED_SOUND(server.Start());
    const auto wav = WriteCw(server, "cq.wav", "CQ DE JA1ABC");
    const auto shortWav = WriteCw(server, "test.wav", "TEST");

    {
        DecodeRun live(server.Folder, {"--device", "pulse"});
        // Slow under the sanitizers: PortAudio probes every ALSA device first.
        ASSERT_TRUE(ServerRecording(30000ms)) << "morvane-decode never recorded: " << live.Err();
        server.Play(wav).join();
        // Printed while it runs, before any stop.
        EXPECT_TRUE(live.WaitForOutput("JA1AB", 8000ms)) << live.Out() << live.Err();
        live.Signal(SIGINT);
        EXPECT_EQ(live.Wait(5000ms), 0) << live.Err();
        // The last character comes out on the way out. (How well the
        // decoder reads is the receive tests' business; under the
        // sanitizers live capture can lose a block.)
        EXPECT_TRUE(Words(live.Out()).ends_with("JA1ABC")) << live.Out();
        EXPECT_EQ(live.Out().back(), '\n');
    }

    // The server dies, or freezes, under a running capture: the device
    // message once, exit 2, within a few seconds.
    const std::string message = std::string("morvane-decode: ") + "サウンドデバイスのエラー!!!\n" +
                                "Mike/Line/USB入力をチェック願います。\n";
    for (int signal : {SIGTERM, SIGSTOP}) {
        SCOPED_TRACE(signal == SIGTERM ? "terminated" : "stopped");
        MORVANE_NEED_SOUND(server.Start());
        DecodeRun run(server.Folder, {"--device", "pulse"});
        ASSERT_TRUE(ServerRecording(30000ms)) << run.Err();
        // Audio flows (the text comes through) before the server goes.
        server.Play(shortWav).join();
        ASSERT_TRUE(run.WaitForOutput("TES", 8000ms)) << run.Err();
        server.Kill(signal);
        EXPECT_EQ(run.Wait(5000ms), 2);
        // The sound libraries may have had their say before; the message
        // comes once, last.
        const std::string err = run.Err();
        EXPECT_TRUE(err.ends_with(message)) << err;
        EXPECT_EQ(err.find(message), err.size() - message.size()) << "reported twice";
        if (signal == SIGSTOP) {
            server.Kill(SIGCONT);
            ASSERT_TRUE(server.Kill(SIGTERM));
        }
    }
}

TEST(DecodeDevice, ListsInputDevicesAndRefusesAnUnknownOne) {
    PulseServer server;
    MORVANE_NEED_SOUND(server.Start());
    DecodeRun list(server.Folder, {"--list-devices"});
    EXPECT_EQ(list.Wait(30000ms), 0) << list.Err();
    std::istringstream lines(list.Out());
    std::vector<std::string> names;
    for (std::string line; std::getline(lines, line);)
        names.push_back(line);
    EXPECT_NE(std::find(names.begin(), names.end(), "pulse"), names.end()) << list.Out();
    EXPECT_LE(names.size(), receive::kMaxIdentifiedDevices);

    DecodeRun unknown(server.Folder, {"--device", "no such card 1234"});
    EXPECT_EQ(unknown.Wait(30000ms), 2);
    EXPECT_EQ(unknown.Out(), "");
    // Quiet while the sound system starts: only the message.
    EXPECT_EQ(unknown.Err(), std::string("morvane-decode: ") + "サウンドデバイスのエラー!!!\n" +
                                 "Mike/Line/USB入力をチェック願います。\n");
}

}  // namespace
}  // namespace morvane::test
