// Which line or command each keying action drives, ports probed without
// being opened, busy ports left alone, and the emergency release.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <termios.h>

#include <cstdio>
#include <fstream>
#include <memory>

#include "../TestSupport.h"
#include "platform/serial/EmergencyRelease.h"
#include "platform/serial/KeyPorts.h"

namespace morvane::platform {
namespace {

using Calls = std::vector<std::string>;
const std::string kRelease("b\0\0e\0\0", 6);  // key up, PTT off

// Records line changes as "RTS+"/"DTR-", the board set-up as "setup" and
// writes as "w:" + first byte + "/" + size.
class RecordingDevice final : public SerialDevice {
  public:
    explicit RecordingDevice(std::shared_ptr<Calls> calls) : calls_(std::move(calls)) {}
    bool SetRts(bool on) override { return Add(on ? "RTS+" : "RTS-"); }
    bool SetDtr(bool on) override { return Add(on ? "DTR+" : "DTR-"); }
    bool ConfigureBoard() override { return Add("setup"); }
    bool Write(const void* data, std::size_t size) override {
        return Add("w:" + std::string(1, *static_cast<const char*>(data)) + "/" +
                   std::to_string(size));
    }
    int Descriptor() const override { return -1; }

  private:
    bool Add(const std::string& call) {
        calls_->push_back(call);
        return true;
    }
    std::shared_ptr<Calls> calls_;
};

struct RecordedPorts {
    std::shared_ptr<Calls> Log = std::make_shared<Calls>();
    KeyPorts Ports{{.OpenPort = [this](const std::string&, const std::string&) {
        return SerialOpenResult{.Device = std::make_unique<RecordingDevice>(Log)};
    }}};
    Calls Take() { return std::exchange(*Log, {}); }
};

TEST(KeyPortChoice, EachModeDrivesItsOwnLineOrCommand) {
    struct Row {
        const char* Mode;
        Calls Open;   // at SelectKeyPort
        Calls Keyed;  // key down, key up, PTT on, PTT off
        Calls Close;
    };
    const Row rows[] = {
        {"RTS", {"RTS-"}, {"RTS+", "RTS-", "DTR+", "DTR-"}, {"RTS-", "DTR-"}},
        {"DTR", {"DTR-"}, {"DTR+", "DTR-", "RTS+", "RTS-"}, {"RTS-", "DTR-"}},
        {"UNO",
         {"setup", "w:b/1", "w:e/1"},
         {"w:a/3", "w:b/3", "w:d/3", "w:e/3"},
         {"RTS-", "DTR-", "w:b/6"}},
        {"XYZ", {}, {}, {"RTS-", "DTR-"}},
    };
    for (const Row& row : rows) {
        RecordedPorts rig;
        rig.Ports.SelectSerialMode(row.Mode);
        ASSERT_EQ(rig.Ports.SelectKeyPort("/dev/ttyS9"), "") << row.Mode;
        EXPECT_EQ(rig.Take(), row.Open) << row.Mode;
        rig.Ports.KeyDown();
        rig.Ports.KeyUp();
        rig.Ports.PttOn();
        rig.Ports.PttOff();
        EXPECT_EQ(rig.Take(), row.Keyed) << row.Mode;
        rig.Ports.CloseKeyPorts();
        EXPECT_EQ(rig.Take(), row.Close) << row.Mode;
        EXPECT_FALSE(rig.Ports.SerialOpen());
    }
    // Changing the mode of an open port changes the actions at once.
    RecordedPorts rig;
    ASSERT_EQ(rig.Ports.SelectKeyPort("/dev/ttyS9"), "");
    rig.Ports.SelectSerialMode("UNO");
    rig.Ports.KeyDown();
    rig.Ports.SelectSerialMode("DTR");
    rig.Ports.KeyUp();
    rig.Ports.PttOn();
    EXPECT_EQ(rig.Take(), (Calls{"RTS-", "setup", "w:b/2", "w:a/3", "DTR-", "RTS+"}));
    EXPECT_EQ(rig.Ports.Caption(), "COM/DTR");
}

// Blocks until `path` has been opened or `ms` passed; true when it was.
class OpenWatch {
  public:
    explicit OpenWatch(const std::string& path) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        inotify_add_watch(fd_, path.c_str(), IN_OPEN);
    }
    ~OpenWatch() { close(fd_); }
    bool Opened(int ms) {
        pollfd ready{fd_, POLLIN, 0};
        return poll(&ready, 1, ms) > 0;
    }

  private:
    int fd_;
};

TEST(KeyPortProbe, ListsPortsWithoutOpeningThem) {
    test::PtyPair pty;
    // Another program's port, in use without exclusive mode.
    const int other = open(pty.Slave().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    OpenWatch watch(pty.Slave());
    EXPECT_FALSE(watch.Opened(0));
    KeyPorts ports({.UsbSearchDirs = {"/nonexistent"},
                    .ListPorts = [&] { return std::vector<std::string>{pty.Slave()}; }});
    EXPECT_EQ(ports.ProbeKeyPorts(), std::vector<std::string>{pty.Slave()});
    EXPECT_FALSE(watch.Opened(50)) << "the probe opened the port";
    // Opening it for use does open it (the watch works).
    ports.SelectSerialMode("UNO");
    ports.SelectKeyPort(pty.Slave());
    EXPECT_TRUE(watch.Opened(50));
    close(other);
}

TEST(KeyPortOpen, BusyPortsAreReportedAndLeftAlone) {
    test::PtyPair pty;
    test::TempFolder locks;
    const std::string lockFile = (locks / LockFileName(pty.Slave())).string();
    const std::string busy = pty.Slave() + "ポートが開けませんでした。";
    auto ports = [&] { return std::make_unique<KeyPorts>(KeyPortsOptions{.LockDir = locks.Path}); };
    auto writeLock = [&](pid_t owner) {
        char text[16];
        std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(owner));
        std::ofstream(lockFile) << text;
    };
    const int other = open(pty.Slave().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    termios before{};
    tcgetattr(other, &before);
    auto unchanged = [&] {
        termios now{};
        tcgetattr(other, &now);
        return now.c_lflag == before.c_lflag && now.c_cflag == before.c_cflag &&
               cfgetospeed(&now) == cfgetospeed(&before);
    };

    // Another program holds a lock on the device.
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    auto board = ports();
    board->SelectSerialMode("UNO");
    EXPECT_EQ(board->SelectKeyPort(pty.Slave()), busy);
    EXPECT_FALSE(board->SerialOpen());
    EXPECT_TRUE(unchanged()) << "the busy port's settings were changed";
    flock(other, LOCK_UN);

    // Another program's lock file, then a stale one (its process is gone).
    writeLock(getppid());
    EXPECT_EQ(board->SelectKeyPort(pty.Slave()), busy);
    EXPECT_TRUE(unchanged());
    const pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    waitpid(gone, nullptr, 0);
    writeLock(gone);
    EXPECT_EQ(board->SelectKeyPort(pty.Slave()), "");
    EXPECT_EQ(std::stoi(test::Slurp(lockFile)), getpid());
    EXPECT_EQ(pty.ReadFor(50, 2), "be");

    // Ours now: a second user is refused (also as root, where exclusive mode
    // does not bind), and the lock goes with the port.
    EXPECT_EQ(ports()->SelectKeyPort(pty.Slave()), busy);
    board->CloseKeyPorts();
    EXPECT_FALSE(std::filesystem::exists(lockFile));
    EXPECT_EQ(ports()->SelectKeyPort(pty.Slave()), "");
    close(other);
}

TEST(EmergencyRelease, ReleaseAllPortsReleasesEveryRegisteredPort) {
    test::PtyPair first, second, gone;
    std::vector<int> fds;
    for (test::PtyPair* pty : {&first, &second, &gone})
        fds.push_back(open(pty->Slave().c_str(), O_RDWR | O_NOCTTY));
    const int board = RegisterForRelease(fds[0], ReleaseKind::Board);
    const int lines = RegisterForRelease(fds[1], ReleaseKind::Lines);
    const int closed = RegisterForRelease(fds[2], ReleaseKind::Board);
    ASSERT_TRUE(board >= 0 && lines >= 0 && closed >= 0);
    UnregisterForRelease(closed);
    ReleaseAllPorts();
    EXPECT_EQ(first.ReadFor(100, 6), kRelease);
    EXPECT_EQ(second.ReadFor(20), "");  // lines only: nothing written
    EXPECT_EQ(gone.ReadFor(20), "");
    // The mode switch moves the board's release with it.
    SetReleaseKind(board, ReleaseKind::Lines);
    SetReleaseKind(lines, ReleaseKind::Board);
    ReleaseAllPorts();
    EXPECT_EQ(first.ReadFor(20), "");
    EXPECT_EQ(second.ReadFor(100, 6), kRelease);
    UnregisterForRelease(board);
    UnregisterForRelease(lines);
    ReleaseAllPorts();
    EXPECT_EQ(second.ReadFor(20), "");
    for (int fd : fds)
        close(fd);
}

}  // namespace
}  // namespace morvane::platform
