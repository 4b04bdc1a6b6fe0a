#include "platform/logger/LocalWindowTransport.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace morvane::platform::local {
namespace {

constexpr std::uint32_t kMagic = 0x4D525657;  // "MRVW"
constexpr std::size_t kHeaderSize = 12;

bool KnownType(std::uint32_t type) {
    return type >= static_cast<std::uint32_t>(FrameType::Hello) &&
           type <= static_cast<std::uint32_t>(FrameType::Ping);
}

}  // namespace

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::optional<std::uint32_t> GetU32(std::span<const std::uint8_t> in, std::size_t offset) {
    if (offset + 4 > in.size())
        return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | in[offset + static_cast<std::size_t>(i)];
    return value;
}

TransportOptions::TransportOptions() : PeerUid(geteuid()) {}

std::string WindowDirectory(std::string* error) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string path = (runtime && *runtime) ? std::string(runtime) + "/morvane-windows"
                                             : "/tmp/morvane-windows-" + std::to_string(geteuid());
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        if (error)
            *error = path + ": " + std::strerror(errno);
        return {};
    }
    // An existing directory must be ours alone: in /tmp anyone could have
    // made it, or a link to a directory of theirs (so never follow a link).
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid() ||
        (info.st_mode & 077) != 0) {
        if (error) {
            *error = path +
                     ": not a private directory of this user; the logging links are off until "
                     "it is removed (rm -r " +
                     path + ")";
        }
        return {};
    }
    return path;
}

bool ValidClassName(std::string_view className) {
    if (className.empty() || className.size() > 64)
        return false;
    for (char c : className) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (!ok)
            return false;
    }
    return true;
}

FrameSocket& FrameSocket::operator=(FrameSocket&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

FrameSocket::~FrameSocket() {
    if (fd_ >= 0)
        close(fd_);
}

std::optional<FrameSocket> FrameSocket::Connect(const std::string& directory,
                                                std::string_view className,
                                                std::chrono::steady_clock::time_point deadline) {
    if (directory.empty() || !ValidClassName(className))
        return std::nullopt;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = directory + "/" + std::string(className);
    if (path.size() >= sizeof address.sun_path)
        return std::nullopt;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    FrameSocket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.Valid())
        return std::nullopt;
    // A peer that stops reading (or accepting) must not hold up a connect
    // or write past the deadline either.
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0)
        return std::nullopt;
    timeval sendTimeout{.tv_sec = static_cast<time_t>(left.count() / 1'000'000),
                        .tv_usec = static_cast<suseconds_t>(left.count() % 1'000'000)};
    setsockopt(socket.fd_, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof sendTimeout);
    if (connect(socket.fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return std::nullopt;
    }
    return socket;
}

std::optional<uid_t> FrameSocket::PeerUid() const {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (getsockopt(fd_, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return std::nullopt;
    return credentials.uid;
}

bool FrameSocket::Write(FrameType type, std::span<const std::uint8_t> payload) {
    if (fd_ < 0 || payload.size() > kMaxFramePayload)
        return false;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kHeaderSize + payload.size());
    PutU32(bytes, kMagic);
    PutU32(bytes, static_cast<std::uint32_t>(type));
    PutU32(bytes, static_cast<std::uint32_t>(payload.size()));
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool FrameSocket::ReadExact(std::uint8_t* data, std::size_t size,
                            std::chrono::steady_clock::time_point deadline) {
    std::size_t got = 0;
    while (got < size) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd waiting{.fd = fd_, .events = POLLIN, .revents = 0};
        const int ready = poll(&waiting, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t n = recv(fd_, data + got, size - got, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<Frame> FrameSocket::Read(std::chrono::steady_clock::time_point deadline) {
    if (fd_ < 0)
        return std::nullopt;
    std::uint8_t header[kHeaderSize];
    if (!ReadExact(header, kHeaderSize, deadline))
        return std::nullopt;
    const std::span<const std::uint8_t> view(header, kHeaderSize);
    const std::uint32_t type = *GetU32(view, 4);
    const std::uint32_t length = *GetU32(view, 8);
    if (*GetU32(view, 0) != kMagic || !KnownType(type) || length > kMaxFramePayload) {
        return std::nullopt;
    }
    Frame frame{.Type = static_cast<FrameType>(type), .Payload = std::vector<std::uint8_t>(length)};
    if (length > 0 && !ReadExact(frame.Payload.data(), length, deadline))
        return std::nullopt;
    return frame;
}

}  // namespace morvane::platform::local
