#include "platform/logger/UnixLoggerWindows.h"

#include <algorithm>

namespace morvane::platform {
namespace {

using local::Frame;
using local::FrameType;
using local::GetU32;
using local::PutU32;

std::vector<std::uint8_t> ControlPayload(std::uint32_t control) {
    std::vector<std::uint8_t> out;
    PutU32(out, control);
    return out;
}

bool DoneOk(const std::optional<Frame>& done) {
    return done && GetU32(done->Payload, 0) == 0u;
}

}  // namespace

UnixLoggerWindows::UnixLoggerWindows(std::string ownClass, local::TransportOptions options)
    : ownClass_(std::move(ownClass)), options_(options) {}

WindowHandle UnixLoggerWindows::HandleFor(const std::string& className, std::uint32_t control) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < handles_.size(); ++i) {
        if (handles_[i].ClassName == className && handles_[i].Control == control)
            return i + 1;
    }
    handles_.push_back(Target{className, control});
    return handles_.size();
}

std::optional<UnixLoggerWindows::Target> UnixLoggerWindows::Resolve(WindowHandle handle) {
    std::lock_guard lock(mutex_);
    if (handle == 0 || handle > handles_.size())
        return std::nullopt;
    return handles_[handle - 1];
}

void UnixLoggerWindows::SetCopyDataHandler(CopyDataHandler handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
    handlerThread_ = std::this_thread::get_id();
}

CopyDataHandler UnixLoggerWindows::HandlerForThisThread() {
    std::lock_guard lock(mutex_);
    if (handlerThread_ != std::this_thread::get_id())
        return {};
    return handler_;
}

std::string UnixLoggerWindows::LinksOffReason() const {
    std::string error;
    if (!local::WindowDirectory(&error).empty())
        return {};
    return error;
}

std::optional<Frame> UnixLoggerWindows::Exchange(WindowHandle target, FrameType type,
                                                 std::span<const std::uint8_t> payload,
                                                 Deadline deadline) {
    const auto window = Resolve(target);
    if (!window)
        return std::nullopt;
    // The whole exchange, replies included, ends by one deadline.
    deadline = std::min(deadline, std::chrono::steady_clock::now() + options_.Timeout);
    if (std::chrono::steady_clock::now() >= deadline)
        return std::nullopt;
    const std::string directory = local::WindowDirectory(nullptr);
    auto socket = local::FrameSocket::Connect(directory, window->ClassName, deadline);
    if (!socket)
        return std::nullopt;
    const auto peer = socket->PeerUid();
    if (!peer || *peer != options_.PeerUid)
        return std::nullopt;
    const std::vector<std::uint8_t> hello(ownClass_.begin(), ownClass_.end());
    if (!socket->Write(FrameType::Hello, hello) || !socket->Write(type, payload)) {
        return std::nullopt;
    }
    const WindowHandle sender = HandleFor(window->ClassName, 0);
    for (;;) {
        auto frame = socket->Read(deadline);
        if (!frame)
            return std::nullopt;
        if (frame->Type == FrameType::Done)
            return frame;
        if (frame->Type != FrameType::CopyData)
            return std::nullopt;
        const auto command = GetU32(frame->Payload, 0);
        if (!command)
            return std::nullopt;
        CopyDataMessage message{.Sender = sender,
                                .Command = *command,
                                .Bytes = {frame->Payload.begin() + 4, frame->Payload.end()}};
        if (const CopyDataHandler handler = HandlerForThisThread())
            handler(message);
        else
            ++droppedReplies_;
        std::vector<std::uint8_t> ok;
        PutU32(ok, 0);
        if (!socket->Write(FrameType::Done, ok))
            return std::nullopt;
    }
}

WindowHandle UnixLoggerWindows::FindWindowByClass(std::string_view className, Deadline deadline) {
    if (!local::ValidClassName(className))
        return 0;
    const WindowHandle handle = HandleFor(std::string(className), 0);
    // A window that does not answer counts as absent.
    return DoneOk(Exchange(handle, FrameType::Ping, {}, deadline)) ? handle : 0;
}

bool UnixLoggerWindows::SendCopyData(WindowHandle target, std::uint32_t command,
                                     std::span<const std::uint8_t> bytes, Deadline deadline) {
    const auto window = Resolve(target);
    if (!window || window->Control != 0)
        return false;
    std::vector<std::uint8_t> payload;
    PutU32(payload, command);
    payload.insert(payload.end(), bytes.begin(), bytes.end());
    return DoneOk(Exchange(target, FrameType::CopyData, payload, deadline));
}

std::vector<ChildWindow> UnixLoggerWindows::EnumDescendants(WindowHandle parent,
                                                            Deadline deadline) {
    const auto window = Resolve(parent);
    std::vector<ChildWindow> children;
    if (!window || window->Control != 0)
        return children;
    const auto done = Exchange(parent, FrameType::Enum, {}, deadline);
    if (!DoneOk(done))
        return children;
    const std::span<const std::uint8_t> list(done->Payload);
    std::size_t at = 4;
    while (at + 5 <= list.size()) {
        const std::uint32_t id = *GetU32(list, at);
        const std::size_t length = list[at + 4];
        at += 5;
        if (id == 0 || at + length > list.size())
            break;
        std::string className(list.begin() + static_cast<std::ptrdiff_t>(at),
                              list.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
        children.push_back(ChildWindow{HandleFor(window->ClassName, id), std::move(className)});
    }
    return children;
}

bool UnixLoggerWindows::SetControlText(WindowHandle control, std::string_view utf8Text,
                                       Deadline deadline) {
    const auto window = Resolve(control);
    if (!window)
        return false;
    std::vector<std::uint8_t> payload = ControlPayload(window->Control);
    payload.insert(payload.end(), utf8Text.begin(), utf8Text.end());
    return DoneOk(Exchange(control, FrameType::SetText, payload, deadline));
}

bool UnixLoggerWindows::ClickButton(WindowHandle button, Deadline deadline) {
    const auto window = Resolve(button);
    if (!window)
        return false;
    return DoneOk(Exchange(button, FrameType::Click, ControlPayload(window->Control), deadline));
}

bool UnixLoggerWindows::BringToFront(WindowHandle window, Deadline deadline) {
    const auto target = Resolve(window);
    if (!target)
        return false;
    return DoneOk(Exchange(window, FrameType::Front, ControlPayload(target->Control), deadline));
}

}  // namespace morvane::platform
