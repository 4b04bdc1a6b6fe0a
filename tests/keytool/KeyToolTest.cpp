// morvane-key: event timing from outside, sidetone file, keyer board on a
// pseudo-terminal, and the refusals with exit code 2.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>
#include <sndfile.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

#include "../platform/ProcessSupport.h"
#include "../platform/TestSupport.h"

namespace morvane::test {
namespace {

using namespace std::chrono_literals;

class KeyTool : public ::testing::Test {
  protected:
    ToolRun Key(const std::string& arguments, const std::string& input = "") {
        return RunTool(folder_, MORVANE_KEY_PATH, arguments, input);
    }
    TempFolder folder_;
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
    for (auto at = run.Out.find(" down"); at != std::string::npos;
         at = run.Out.find(" down", at + 1))
        ++downs;
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
    const std::pair<const char*, const char*> missing[] = {
        {"--output serial:/dev/morvane-none:RTS E",
         "/dev/morvane-noneポートが開けませんでした。\n"},
        {"--output usb E", "USBIF4CWが見つかりませんでした。\n"}};
    for (const auto& [arguments, message] : missing) {
        ToolRun run = Key(arguments);
        EXPECT_EQ(run.ExitCode, 2) << arguments;
        EXPECT_EQ(run.Err, message);
    }
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
    PtyPair pty;
    ASSERT_FALSE(pty.Slave().empty());
    std::string received;
    std::thread reader([&] { received = pty.ReadFor(5000, 2 + 6 * 3); });
    ToolRun run = Key("--ptt-lead 25 --output serial:" + pty.Slave() + ":UNO EE");
    reader.join();
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    ASSERT_GE(received.size(), 20u);
    // Set-up "be", then the letter of each 3-byte command.
    std::string letters = received.substr(0, 2);
    for (std::size_t i = 2; i < 20; i += 3)
        letters += received[i];
    EXPECT_EQ(letters, "bedababe");
}

// The keyer stopped for 300 ms in a run of E's on the real timer thread: the
// element the stop hit is longer, the rest is sent late but never in a burst.
TEST_F(KeyTool, StoppedKeyerResumesWithoutABurst) {
    Watchdog watchdog(20s, "stopped keyer");
    PtyPair pty;
    ASSERT_FALSE(pty.Slave().empty());
    constexpr std::size_t kBytes = 2 + 10 * 2 * 3;  // set-up, then 10 dots down and up
    std::string received;
    std::vector<Clock::time_point> at;
    std::atomic<std::size_t> seen{0};
    std::thread reader([&] {
        // Read promptly even on a busy machine, so that two commands are not
        // taken as one burst (without the privilege it runs as it is).
        sched_param param{.sched_priority = 50};
        pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
        const auto end = Clock::now() + 10s;
        std::string bytes;
        while (bytes.size() < kBytes && Clock::now() < end) {
            bytes += pty.ReadFor(20, kBytes - bytes.size(), &at);
            seen.store(bytes.size());
        }
        received = bytes;
    });
    ChildProcess key(MORVANE_KEY_PATH, {"--output", "serial:" + pty.Slave() + ":UNO", "EEEEEEEEEE"},
                     {}, folder_ / "out.txt", folder_ / "err.txt");
    ASSERT_TRUE(key.Started());
    for (int i = 0; i < 5000 && seen.load() < 2 + 3 * 2 * 3; ++i)
        std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(key.Stop());
    std::this_thread::sleep_for(300ms);
    key.Signal(SIGCONT);
    reader.join();
    std::optional<int> status = key.Wait(5000);
    ASSERT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0)
        << Slurp(folder_ / "err.txt");
    ASSERT_EQ(received.size(), kBytes);
    // Dot 60 ms; key-up between E's 120 + 60 ms. The tolerance covers the
    // reader's own scheduling on a loaded machine.
    for (std::size_t i = 2; i + 3 < kBytes; i += 3) {
        const bool down = received[i] == 'a';
        EXPECT_EQ(received[i], down ? 'a' : 'b') << i;
        const std::chrono::duration<double, std::milli> gap = at[i + 3] - at[i];
        EXPECT_GE(gap.count(), down ? 60 - 15 : 180 - 15) << "command " << i / 3;
    }
}

// morvane-key ended by a signal in the middle of a long dash: the key is
// released (and the USB interface closed) before the process dies of that
// signal. Crash signals get the serial release and a last USB key-up.
TEST_F(KeyTool, SignalsLeaveTheKeyUp) {
    Watchdog watchdog(60s, "signalled keyer");
    const std::string log = (folder_ / "usb.log").string();
    // The last USB key-up on a crash signal is knowingly not signal-safe
    // (the library may allocate); a thread-sanitizer build would stop the
    // child at that call and report it, so that one report is turned off.
    const std::vector<std::string> usbEnv{
        "MORVANE_USB_STANDIN_LOG=" + log, "LD_LIBRARY_PATH=" USB_STANDIN_DIR,
        "TSAN_OPTIONS=halt_on_error=1 second_deadlock_stack=1 report_signal_unsafe=0"};
    struct Row {
        int Signal;
        bool Closes;  // the interface is closed too, not only keyed up
    };
    const Row rows[] = {{SIGINT, true},  {SIGTERM, true},  {SIGHUP, true},
                        {SIGQUIT, true}, {SIGSEGV, false}, {SIGABRT, false}};
    for (const Row& row : rows) {
        std::remove(log.c_str());
        ChildProcess usb(MORVANE_KEY_PATH, {"--output", "usb", "--speed", "0", "TTTTTTTT"}, usbEnv,
                         folder_ / "out.txt", folder_ / "err.txt");
        for (int i = 0; i < 5000 && Slurp(log).find("254") == std::string::npos; ++i)
            std::this_thread::sleep_for(1ms);
        usb.Signal(row.Signal);
        std::optional<int> status = usb.Wait(5000);
        ASSERT_TRUE(status) << strsignal(row.Signal) << ": still running";
        EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == row.Signal)
            << strsignal(row.Signal) << ": status " << *status;
        const std::string calls = Slurp(log);
        const std::size_t down = calls.rfind("write 7 0 254\n");
        ASSERT_NE(down, std::string::npos) << strsignal(row.Signal);
        // Key-ups only after the last key-down (a sanitizer may repeat one).
        const std::string after = calls.substr(down + 14);
        EXPECT_TRUE(after.starts_with("write 7 0 255\n")) << strsignal(row.Signal) << after;
        EXPECT_EQ(after.find("254"), std::string::npos) << strsignal(row.Signal);
        EXPECT_EQ(after.ends_with("close 7 0 0\n"), row.Closes) << strsignal(row.Signal) << after;

        // The keyer board with PTT: key up and PTT off follow the last
        // key-down, and nothing is keyed after them.
        PtyPair pty;
        ChildProcess board(MORVANE_KEY_PATH,
                           {"--output", "serial:" + pty.Slave() + ":UNO", "--speed", "0",
                            "--ptt-lead", "25", "TTTTTTTT"},
                           {}, folder_ / "out.txt", folder_ / "err.txt");
        std::string bytes = pty.ReadFor(5000, 2 + 2 * 3);  // set-up, PTT on, key down
        board.Signal(row.Signal);
        ASSERT_TRUE(board.Wait(5000)) << strsignal(row.Signal) << ": board still running";
        bytes += pty.ReadFor(200);
        EXPECT_EQ(bytes.substr(0, 8), "be" + std::string("d\0\0a\0\0", 6)) << strsignal(row.Signal);
        const std::string release("b\0\0e\0\0", 6);
        const std::size_t released = bytes.find(release, 8);
        ASSERT_NE(released, std::string::npos) << strsignal(row.Signal);
        for (std::size_t i = released; i < bytes.size(); i += 3)
            EXPECT_TRUE(bytes[i] == 'b' || bytes[i] == 'e') << strsignal(row.Signal) << " " << i;
        // Its lock file went with it ("/dev/pts/N" locks as "LCK..pts_N").
        std::string lock = "/var/lock/LCK.." + pty.Slave().substr(5);
        lock[lock.rfind('/')] = '_';
        EXPECT_FALSE(fs::exists(lock)) << strsignal(row.Signal);
    }
    // The normal end closes the interface after the last key-up.
    std::remove(log.c_str());
    ChildProcess done(MORVANE_KEY_PATH, {"--output", "usb", "E"}, usbEnv, folder_ / "out.txt",
                      folder_ / "err.txt");
    std::optional<int> status = done.Wait(5000);
    ASSERT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    EXPECT_EQ(
        Slurp(log),
        "open 0 0 0\nwrite 7 0 254\nwrite 7 0 255\nwrite 7 0 255\nwrite 7 0 255\nclose 7 0 0\n");
}

}  // namespace
}  // namespace morvane::test
