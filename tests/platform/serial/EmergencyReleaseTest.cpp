// A process killed by a fatal signal while keying through the board still
// sends key up and PTT off.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "platform/serial/KeyPorts.h"

namespace morvane::platform {
namespace {

std::string ReadAvailable(int fd, int ms) {
    std::string bytes;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 5) <= 0)
            continue;
        char buffer[64];
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.append(buffer, std::size_t(n));
    }
    return bytes;
}

TEST(EmergencyRelease, FatalSignalReleasesTheBoard) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    std::string slave = ptsname(master);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        KeyPorts ports;
        ports.SelectSerialMode("UNO");
        if (!ports.SelectKeyPort(slave).empty())
            _exit(3);
        ports.PttOn();
        ports.KeyDown();
        raise(SIGTERM);
        _exit(4);  // not reached: the handler re-raises with the default action
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    std::string expected("be", 2);
    expected += std::string("d\0\0a\0\0", 6);
    expected += std::string("b\0\0e\0\0", 6);
    EXPECT_EQ(ReadAvailable(master, 200), expected);
    close(master);
}

}  // namespace
}  // namespace morvane::platform
