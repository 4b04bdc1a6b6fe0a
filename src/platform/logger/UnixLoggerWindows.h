// LoggerWindows over the local transport: window handles name a registered
// class and one of its controls; every operation is one request that ends by
// its deadline (and within the transport's timeout). Safe to call from
// several threads; copy-data replies reach the handler only on the thread
// that installed it.
#pragma once

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/logger/LocalWindowTransport.h"
#include "platform/logger/LoggerWindows.h"

namespace morvane::platform {

class UnixLoggerWindows final : public LoggerWindows {
  public:
    // `ownClass` identifies this program's window to the peers.
    explicit UnixLoggerWindows(std::string ownClass,
                               local::TransportOptions options = local::TransportOptions());

    WindowHandle FindWindowByClass(std::string_view className, Deadline deadline) override;
    bool SendCopyData(WindowHandle target, std::uint32_t command,
                      std::span<const std::uint8_t> bytes, Deadline deadline) override;
    std::vector<ChildWindow> EnumDescendants(WindowHandle parent, Deadline deadline) override;
    bool SetControlText(WindowHandle control, std::string_view utf8Text,
                        Deadline deadline) override;
    bool ClickButton(WindowHandle button, Deadline deadline) override;
    bool BringToFront(WindowHandle window, Deadline deadline) override;
    void SetCopyDataHandler(CopyDataHandler handler) override;

    // Why the links cannot work at all (the window directory is unsafe), with
    // what to do about it; empty when they can. The program reports it once
    // and goes on with every logging program "not running".
    std::string LinksOffReason() const;
    // Copy-data that arrived on a thread other than the handler's.
    int DroppedReplies() const { return droppedReplies_.load(); }

  private:
    struct Target {
        std::string ClassName;
        std::uint32_t Control = 0;
    };
    WindowHandle HandleFor(const std::string& className, std::uint32_t control);
    std::optional<Target> Resolve(WindowHandle handle);
    // One request: connect, hello, request, then copy-data replies until Done.
    std::optional<local::Frame> Exchange(WindowHandle target, local::FrameType type,
                                         std::span<const std::uint8_t> payload, Deadline deadline);
    // The handler when called on its own thread, else nothing.
    CopyDataHandler HandlerForThisThread();

    std::string ownClass_;
    local::TransportOptions options_;
    std::mutex mutex_;  // guards the handle table and the handler
    std::vector<Target> handles_;
    CopyDataHandler handler_;
    std::thread::id handlerThread_;
    std::atomic<int> droppedReplies_{0};
};

}  // namespace morvane::platform
