#include "platform/serial/SerialDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace morvane::platform {

namespace {

constexpr int kWriteTimeoutMs = 200;

class PosixTtyDevice final : public SerialDevice {
  public:
    PosixTtyDevice(int fd, PortLockFile lock) : fd_(fd), lock_(std::move(lock)) {}
    ~PosixTtyDevice() override { close(fd_); }
    bool SetRts(bool on) override { return SetLine(TIOCM_RTS, on); }
    bool SetDtr(bool on) override { return SetLine(TIOCM_DTR, on); }
    bool ConfigureBoard() override {
        termios settings{};
        if (tcgetattr(fd_, &settings) != 0)
            return false;
        cfmakeraw(&settings);
        settings.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS | CSIZE);
        settings.c_cflag |= CS8 | CLOCAL | CREAD;
        settings.c_iflag &= ~(IXON | IXOFF | IXANY);
        cfsetispeed(&settings, B115200);
        cfsetospeed(&settings, B115200);
        return tcsetattr(fd_, TCSANOW, &settings) == 0;
    }
    // The descriptor stays non-blocking, so a stalled port costs the keying
    // thread at most the write timeout.
    bool Write(const void* data, std::size_t size) override {
        const char* bytes = static_cast<const char*>(data);
        while (size > 0) {
            ssize_t written = write(fd_, bytes, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0 && errno == EAGAIN) {
                pollfd ready{fd_, POLLOUT, 0};
                if (poll(&ready, 1, kWriteTimeoutMs) <= 0)
                    return false;
                continue;
            }
            if (written <= 0)
                return false;
            bytes += written;
            size -= static_cast<std::size_t>(written);
        }
        return true;
    }
    int Descriptor() const override { return fd_; }

  private:
    bool SetLine(int line, bool on) { return ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0; }
    int fd_;
    PortLockFile lock_;
};

}  // namespace

SerialOpenResult OpenSerialDevice(const std::string& name, const std::string& lockDir) {
    PortLockFile lock;
    if (lock.Acquire(lockDir, name) == PortLockFile::Result::Busy)
        return {.Device = nullptr, .Busy = true};
    // Non-blocking: the open must not wait for a carrier.
    int fd = open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {.Device = nullptr, .Busy = errno == EBUSY};
    auto opened = std::chrono::steady_clock::now();
    // A device that is no terminal is refused; one another program has
    // locked is left alone. Exclusive mode then keeps later opens out.
    if (!isatty(fd)) {
        close(fd);
        return {};
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
        close(fd);
        return {.Device = nullptr, .Busy = true};
    }
    std::string lockPath = lock.Path();
    auto device = std::make_unique<PosixTtyDevice>(fd, std::move(lock));
    // Lines that cannot be set (pseudo-terminals have none) are not an error.
    device->SetDtr(false);
    device->SetRts(false);
    return {.Device = std::move(device),
            .Busy = false,
            .LockPath = std::move(lockPath),
            .LineGlitch = std::chrono::steady_clock::now() - opened};
}

}  // namespace morvane::platform
