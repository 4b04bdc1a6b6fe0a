// morvane-key: event timing from outside, sidetone file, keyer board on a
// pseudo-terminal, and the refusals with exit code 2.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

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

class KeyTool : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("morvane_key_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    ToolRun Key(const std::string& arguments, const std::string& input = "") {
        const auto in = folder_ / "in.txt";
        std::ofstream(in) << input;
        const auto out = folder_ / "out.txt";
        const auto err = folder_ / "err.txt";
        const std::string command = std::string(MORVANE_KEY_PATH) + " " + arguments + " <" +
                                    in.string() + " >" + out.string() + " 2>" + err.string();
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
    }
    fs::path folder_;
};

TEST_F(KeyTool, EventsOnVirtualTime) {
    ToolRun run = Key("E E");
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out, "0 down\n60 up\n480 down\n540 up\n");
    // From standard input, with PTT, weights and speed; "%" is skipped.
    run = Key("--ptt-lead 100 --speed 18 --dash 4.5", "t%\n");
    EXPECT_EQ(run.ExitCode, 0);
    // Dot 6000/115 = 52.17: dash 235, end of character 104; the skipped "%"
    // costs the tick that restores the dot period, then PTT drops.
    EXPECT_EQ(run.Out,
              "0 ptt-on\n100 down\n335 up\n" + std::to_string(335 + 104 + 52) + " ptt-off\n");
    EXPECT_EQ(run.Err, "morvane-key: cannot send \"%\"\n");
    // DO, small tsu, KA: 14 key-downs; small tsu ends "0" then "2", a second
    // key-up action 60 ms after the first.
    run = Key("--key-mode direct '<KKA'");
    EXPECT_EQ(run.ExitCode, 0);
    std::size_t downs = 0;
    for (std::size_t at = run.Out.find(" down"); at != std::string::npos;
         at = run.Out.find(" down", at + 1)) {
        ++downs;
    }
    EXPECT_EQ(downs, 14u);
    EXPECT_NE(run.Out.find("1980 up\n2040 up\n2220 down\n"), std::string::npos);
}

TEST_F(KeyTool, RefusesBadOptionsAndMissingOutputs) {
    for (const char* bad :
         {"--speed 32 E", "--dot 2.0 E", "--ptt-lead 30 E", "--key-mode x E",
          "--output serial:/dev/ttyS0:XYZ E", "--output wave E", "--bogus E", "--speed"}) {
        ToolRun run = Key(bad);
        EXPECT_EQ(run.ExitCode, 2) << bad;
        EXPECT_NE(run.Err.find("morvane-key: "), std::string::npos) << bad;
    }
    ToolRun run = Key("--output serial:/dev/morvane-none:RTS E");
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Err, "/dev/morvane-noneポートが開けませんでした。\n");
    run = Key("--output usb E");
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Err, "USBIF4CWが見つかりませんでした。\n");
}

TEST_F(KeyTool, WavSidetoneHoldsTheKeying) {
    const auto wav = folder_ / "e.wav";
    ASSERT_EQ(Key("--output wav:" + wav.string() + " EE").ExitCode, 0);
    SF_INFO info{};
    SNDFILE* file = sf_open(wav.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    std::vector<short> samples(static_cast<std::size_t>(info.frames));
    sf_read_short(file, samples.data(), info.frames);
    sf_close(file);
    EXPECT_EQ(info.samplerate, 11025);
    // Tone during the two dots (0-60 ms, 240-300 ms), silence between.
    auto energy = [&](double fromMs, double toMs) {
        double sum = 0;
        auto from = std::size_t(fromMs * 11.025), to = std::size_t(toMs * 11.025);
        for (std::size_t i = from; i < to && i < samples.size(); ++i)
            sum += std::abs(samples[i]);
        return sum / double(to - from);
    };
    EXPECT_GT(energy(10, 50), 1000);
    EXPECT_LT(energy(80, 220), 10);
    EXPECT_GT(energy(250, 290), 1000);
}

TEST_F(KeyTool, KeyerBoardOnAPseudoTerminal) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    std::string slave = ptsname(master);
    std::string received;
    std::thread reader([&] {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < end && received.size() < 2 + 6 * 3) {
            pollfd ready{master, POLLIN, 0};
            if (poll(&ready, 1, 10) <= 0)
                continue;
            char buffer[64];
            ssize_t n = read(master, buffer, sizeof buffer);
            if (n > 0)
                received.append(buffer, std::size_t(n));
        }
    });
    ToolRun run = Key("--ptt-lead 25 --output serial:" + slave + ":UNO EE");
    reader.join();
    close(master);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    ASSERT_GE(received.size(), 20u);
    std::string letters = received.substr(0, 2);
    for (std::size_t i = 2; i + 3 <= received.size() && i < 20; i += 3)
        letters += received[i];
    EXPECT_EQ(letters, "bedababe");
}

}  // namespace
