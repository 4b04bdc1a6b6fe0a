#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "platform/serial/SerialDevices.h"

namespace morvane::platform::detail {

namespace {

class PosixTtyDevice final : public SerialDevice {
  public:
    explicit PosixTtyDevice(int fd) : fd_(fd) {}
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
    bool Write(const void* data, std::size_t size) override {
        const char* bytes = static_cast<const char*>(data);
        while (size > 0) {
            ssize_t written = write(fd_, bytes, size);
            if (written < 0 && errno == EINTR)
                continue;
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
};

}  // namespace

std::unique_ptr<SerialDevice> OpenPosixTty(const std::string& name) {
    int fd = open(name.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    // Exclusive like the Windows open without sharing; a tty that is no
    // terminal at all is refused.
    if (!isatty(fd) || ioctl(fd, TIOCEXCL) != 0) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<PosixTtyDevice>(fd);
}

}  // namespace morvane::platform::detail
