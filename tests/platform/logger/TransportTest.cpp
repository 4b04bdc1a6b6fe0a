// The local window transport itself: bounded waits, bad frames, other users,
// the private directory, and replies nested inside a send.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <atomic>
#include <cstring>

#include "LinkHarness.h"
#include "platform/logger/WindowHost.h"

namespace morvane {
namespace {

using platform::local::CopyDataReply;
using platform::local::CopyDataRequest;
using platform::local::TransportOptions;
using Clock = std::chrono::steady_clock;

// Answers every copy-data with two replies carrying the command back.
struct EchoWindow final : platform::local::WindowRequestHandler {
    std::atomic<int> rejected{0};
    std::string lastRejection;  // written on the host thread, read after Stop()
    void OnCopyData(const CopyDataRequest& request, CopyDataReply& reply) override {
        const std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(request.Command), 0};
        reply.Send(request.Command, bytes);
        reply.Send(request.Command + 1, bytes);
    }
    void OnRejected(std::string_view why) override {
        lastRejection = std::string(why);
        ++rejected;
    }
};

// A stream socket and the address of the window socket `path`.
int Socket(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return socket(AF_UNIX, SOCK_STREAM, 0);
}

// Raw bytes to a registered window, as a misbehaving program would send them.
void SendRaw(const std::string& directory, const std::string& className,
             const std::vector<std::uint8_t>& bytes) {
    sockaddr_un address;
    const int fd = Socket(directory + "/morvane-windows/" + className, address);
    ASSERT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    char sink[64];
    recv(fd, sink, sizeof sink, 0);  // returns once the peer hangs up
    close(fd);
}

std::vector<std::uint8_t> Header(std::uint32_t magic, std::uint32_t type, std::uint32_t length) {
    std::vector<std::uint8_t> out;
    platform::local::PutU32(out, magic);
    platform::local::PutU32(out, type);
    platform::local::PutU32(out, length);
    return out;
}

class LocalTransport : public ::testing::Test {
  protected:
    test::RuntimeDir dir;
    EchoWindow echo;
    std::string error;
};

TEST_F(LocalTransport, RepliesArriveBeforeTheSendReturns) {
    platform::local::WindowHost host("EchoWin", echo);
    ASSERT_TRUE(host.Start(&error)) << error;
    platform::UnixLoggerWindows windows("Sender");
    std::vector<std::uint32_t> replies;
    windows.SetCopyDataHandler([&](const platform::CopyDataMessage& message) {
        replies.push_back(message.Command);
        return true;
    });
    const platform::WindowHandle target = windows.FindWindowByClass("EchoWin", test::Soon());
    ASSERT_NE(target, 0u);
    ASSERT_TRUE(windows.SendCopyData(target, 40, {}, test::Soon()));
    EXPECT_EQ(replies, (std::vector<std::uint32_t>{40, 41}));
    EXPECT_EQ(windows.FindWindowByClass("NoSuchWin", test::Soon()), 0u);
    EXPECT_EQ(windows.FindWindowByClass("../etc", test::Soon()), 0u);  // never a path

    // One window per class.
    platform::local::WindowHost twin("EchoWin", echo);
    EXPECT_FALSE(twin.Start(&error));
}

TEST_F(LocalTransport, GarbageAndOversizeFramesAreDropped) {
    test::SimProcess hamlog(MORVANE_HAMLOG_SIM, {}, (dir / "hamlog.log").string());
    ASSERT_TRUE(hamlog.WaitReady());
    SendRaw(dir.Path.string(), "TThwin",
            {'G', 'E', 'T', ' ', '/', ' ', 'H', 'T', 'T', 'P', '\r', '\n'});
    SendRaw(dir.Path.string(), "TThwin", Header(0x4D525657, 1, 1u << 24));  // a 16 MiB hello
    auto frames = Header(0x4D525657, 1, 0);                                 // hello, then
    auto copy = Header(0x4D525657, 2, 2);                                   // copy-data too short
    frames.insert(frames.end(), copy.begin(), copy.end());
    frames.insert(frames.end(), {1, 0});
    SendRaw(dir.Path.string(), "TThwin", frames);
    EXPECT_EQ(hamlog.Events("rejected").size(), 3u);
    EXPECT_TRUE(hamlog.Received().empty());

    // The stand-in still serves well-formed requests.
    platform::UnixLoggerWindows windows("hWndMRVN");
    const platform::WindowHandle target = windows.FindWindowByClass("TThwin", test::Soon());
    ASSERT_NE(target, 0u);
    EXPECT_TRUE(windows.SendCopyData(target, 16, {}, test::Soon()));
    EXPECT_EQ(hamlog.Received(), std::vector<std::string>{"cmd=0x10 len=0 text="});
}

// A peer that answers with garbage: the sender drops the exchange at once.
TEST_F(LocalTransport, GarbageRepliesFailTheSend) {
    const std::string directory = platform::local::WindowDirectory(nullptr);
    ASSERT_FALSE(directory.empty());
    sockaddr_un address;
    const int listener = Socket(directory + "/TThwin", address);
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    std::thread peer([listener] {
        const std::vector<std::vector<std::uint8_t>> answers = {
            Header(0x4D525657, 3, 1u << 30),  // "done" claiming a gigabyte
            Header(0x12345678, 3, 4),         // wrong magic
            Header(0x4D525657, 99, 0),        // unknown frame type
        };
        for (const auto& answer : answers) {
            const int fd = accept(listener, nullptr, nullptr);
            char request[256];
            recv(fd, request, sizeof request, 0);
            send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
            close(fd);
        }
    });
    platform::UnixLoggerWindows windows("hWndMRVN");
    const auto start = Clock::now();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(windows.FindWindowByClass("TThwin", test::Soon()), 0u);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));  // no waiting for the timeout
    peer.join();
    close(listener);
}

TEST_F(LocalTransport, AWindowThatNeverAnswersCountsAsNotRunning) {
    TransportOptions options;
    options.Timeout = std::chrono::milliseconds(300);
    test::LinkRig rig(options);
    test::SimProcess hamlog(MORVANE_HAMLOG_SIM, {}, rig.dir.Path.string() + "/hamlog.log");
    ASSERT_TRUE(hamlog.WaitReady());
    hamlog.Pause();
    rig.fields.SetText(qso::QsoField::HisCall, "JA1ABC");
    const auto start = Clock::now();
    rig.transfer.QsoTransfer(qso::Trigger::Tag);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(rig.view.calls,
              (std::vector<std::string>{"warn:HamLogを起動してください!!\r\n", "beep"}));

    hamlog.Resume();
    // The stalled connection was answered late or dropped; new requests work.
    for (int i = 0; i < 20 && rig.windows.FindWindowByClass("TThwin", test::Soon()) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_NE(rig.windows.FindWindowByClass("TThwin", test::Soon()), 0u);
}

TEST_F(LocalTransport, PeersOfAnotherUserAreRefusedBothWays) {
    TransportOptions stranger;
    stranger.PeerUid = geteuid() + 1;  // as if everyone else were another user
    {
        platform::local::WindowHost host("Strict", echo, stranger);
        ASSERT_TRUE(host.Start(&error)) << error;
        platform::UnixLoggerWindows windows("Sender");
        EXPECT_EQ(windows.FindWindowByClass("Strict", test::Soon()), 0u);
    }
    EXPECT_EQ(echo.rejected.load(), 1);
    EXPECT_EQ(echo.lastRejection, "peer of another user");

    platform::local::WindowHost host("Open", echo);
    ASSERT_TRUE(host.Start(&error)) << error;
    platform::UnixLoggerWindows wary("Sender", stranger);
    EXPECT_EQ(wary.FindWindowByClass("Open", test::Soon()), 0u);
    platform::UnixLoggerWindows trusting("Sender");
    EXPECT_NE(trusting.FindWindowByClass("Open", test::Soon()), 0u);
}

// The window directory is refused unless it is this user's own private
// directory; the refusal names the directory to remove, and the links run
// as if no logging program were there.
TEST_F(LocalTransport, DirectoryMustBePrivate) {
    const std::string windowsDir = dir.Path.string() + "/morvane-windows";
    const std::string hint = "rm -r " + windowsDir + ")";
    auto refused = [&](const char* label) {
        platform::local::WindowHost host("EchoWin", echo);
        EXPECT_FALSE(host.Start(&error)) << label;
        EXPECT_NE(error.find(hint), std::string::npos) << label << ": " << error;
        platform::UnixLoggerWindows windows("hWndMRVN");
        EXPECT_NE(windows.LinksOffReason().find(hint), std::string::npos) << label;
        EXPECT_EQ(windows.FindWindowByClass("EchoWin", test::Soon()), 0u) << label;
    };
    ASSERT_EQ(mkdir(windowsDir.c_str(), 0755), 0);
    chmod(windowsDir.c_str(), 0755);
    refused("open to others");

    // A link to a private directory of ours, as another user could plant in /tmp.
    const std::string elsewhere = dir.Path.string() + "/elsewhere";
    ASSERT_EQ(rename(windowsDir.c_str(), elsewhere.c_str()), 0);
    chmod(elsewhere.c_str(), 0700);
    ASSERT_EQ(symlink(elsewhere.c_str(), windowsDir.c_str()), 0);
    refused("a link");
    unlink(windowsDir.c_str());

    if (geteuid() == 0) {  // only root can hand a directory to another user
        ASSERT_EQ(mkdir(windowsDir.c_str(), 0700), 0);
        ASSERT_EQ(chown(windowsDir.c_str(), geteuid() + 1, static_cast<gid_t>(-1)), 0);
        refused("another user's");
        rmdir(windowsDir.c_str());
    }

    platform::local::WindowHost host("EchoWin", echo);
    EXPECT_TRUE(host.Start(&error)) << error;
    EXPECT_EQ(platform::UnixLoggerWindows("hWndMRVN").LinksOffReason(), "");
}

}  // namespace
}  // namespace morvane
