#include "platform/logger/WindowHost.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace morvane::platform::local {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::uint8_t> Status(std::uint32_t status) {
    std::vector<std::uint8_t> out;
    PutU32(out, status);
    return out;
}

class SocketReply final : public CopyDataReply {
  public:
    SocketReply(FrameSocket& socket, std::chrono::milliseconds timeout)
        : socket_(socket), timeout_(timeout) {}
    bool Send(std::uint32_t command, std::span<const std::uint8_t> bytes) override {
        std::vector<std::uint8_t> payload;
        PutU32(payload, command);
        payload.insert(payload.end(), bytes.begin(), bytes.end());
        if (!socket_.Write(FrameType::CopyData, payload))
            return false;
        const auto done = socket_.Read(Clock::now() + timeout_);
        return done && done->Type == FrameType::Done;
    }

  private:
    FrameSocket& socket_;
    std::chrono::milliseconds timeout_;
};

}  // namespace

WindowHost::WindowHost(std::string className, WindowRequestHandler& handler,
                       TransportOptions options)
    : className_(std::move(className)), handler_(handler), options_(options) {}

WindowHost::~WindowHost() {
    Stop();
}

bool WindowHost::Start(std::string* error) {
    const std::string directory = WindowDirectory(error);
    if (directory.empty())
        return false;
    if (!ValidClassName(className_)) {
        if (error)
            *error = "bad window class name";
        return false;
    }
    if (FrameSocket::Connect(directory, className_, Clock::now() + options_.Timeout)) {
        if (error)
            *error = "window class " + className_ + " is already registered";
        return false;
    }
    path_ = directory + "/" + className_;
    unlink(path_.c_str());  // left behind by a program that died
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path_.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
    listenFd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0 ||
        bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(listenFd_, 16) != 0) {
        if (error)
            *error = path_ + ": " + std::strerror(errno);
        if (listenFd_ >= 0)
            close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    thread_ = std::jthread([this](std::stop_token stop) { Serve(stop); });
    return true;
}

void WindowHost::Stop() {
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
    if (listenFd_ >= 0) {
        close(listenFd_);
        listenFd_ = -1;
        unlink(path_.c_str());
    }
}

void WindowHost::Serve(std::stop_token stop) {
    constexpr int kStopCheckMs = 50;
    while (!stop.stop_requested()) {
        pollfd waiting{.fd = listenFd_, .events = POLLIN, .revents = 0};
        if (poll(&waiting, 1, kStopCheckMs) <= 0)
            continue;
        FrameSocket socket(accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC));
        if (socket.Valid())
            HandleConnection(socket);
    }
}

void WindowHost::HandleConnection(FrameSocket& socket) {
    const auto uid = socket.PeerUid();
    if (!uid || *uid != options_.PeerUid) {
        handler_.OnRejected("peer of another user");
        return;
    }
    const auto deadline = Clock::now() + options_.Timeout;
    const auto hello = socket.Read(deadline);
    if (!hello || hello->Type != FrameType::Hello) {
        handler_.OnRejected("no hello");
        return;
    }
    std::string sender(hello->Payload.begin(), hello->Payload.end());
    if (!sender.empty() && !ValidClassName(sender)) {
        handler_.OnRejected("bad sender class");
        return;
    }
    const auto request = socket.Read(deadline);
    if (!request) {
        handler_.OnRejected("no request");
        return;
    }
    HandleRequest(socket, sender, *request);
}

void WindowHost::HandleRequest(FrameSocket& socket, const std::string& senderClass,
                               const Frame& request) {
    const std::span<const std::uint8_t> payload(request.Payload);
    switch (request.Type) {
        case FrameType::Ping:
            socket.Write(FrameType::Done, Status(0));
            return;
        case FrameType::CopyData: {
            const auto command = GetU32(payload, 0);
            if (!command)
                break;
            CopyDataRequest copy{.SenderClass = senderClass,
                                 .Command = *command,
                                 .Bytes = {payload.begin() + 4, payload.end()}};
            SocketReply reply(socket, options_.Timeout);
            handler_.OnCopyData(copy, reply);
            socket.Write(FrameType::Done, Status(0));
            return;
        }
        case FrameType::Enum: {
            std::vector<std::uint8_t> out = Status(0);
            for (const HostedChild& child : handler_.Children()) {
                // The class name's length travels in one byte.
                if (child.ClassName.size() > 255)
                    continue;
                PutU32(out, child.Id);
                out.push_back(static_cast<std::uint8_t>(child.ClassName.size()));
                out.insert(out.end(), child.ClassName.begin(), child.ClassName.end());
            }
            socket.Write(FrameType::Done, out);
            return;
        }
        case FrameType::SetText:
        case FrameType::Click:
        case FrameType::Front: {
            const auto control = GetU32(payload, 0);
            if (!control)
                break;
            bool ok = true;
            if (request.Type == FrameType::SetText) {
                const std::string text(payload.begin() + 4, payload.end());
                ok = handler_.OnSetText(*control, text);
            } else if (request.Type == FrameType::Click) {
                ok = handler_.OnClick(*control);
            } else {
                handler_.OnBringToFront(*control);
            }
            socket.Write(FrameType::Done, Status(ok ? 0 : 1));
            return;
        }
        default:
            break;
    }
    handler_.OnRejected("malformed request");
}

}  // namespace morvane::platform::local
