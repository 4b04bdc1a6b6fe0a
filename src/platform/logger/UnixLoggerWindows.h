// LoggerWindows over the local transport: window handles name a registered
// class and one of its controls; every operation is one bounded request.
#pragma once

#include <mutex>
#include <optional>
#include <string>
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

    WindowHandle FindWindowByClass(std::string_view className) override;
    bool SendCopyData(WindowHandle target, std::uint32_t command,
                      std::span<const std::uint8_t> bytes) override;
    std::vector<ChildWindow> EnumDescendants(WindowHandle parent) override;
    bool SetControlText(WindowHandle control, std::string_view utf8Text) override;
    bool ClickButton(WindowHandle button) override;
    bool BringToFront(WindowHandle window) override;
    void SetCopyDataHandler(CopyDataHandler handler) override;

  private:
    struct Target {
        std::string ClassName;
        std::uint32_t Control = 0;
    };
    WindowHandle HandleFor(const std::string& className, std::uint32_t control);
    std::optional<Target> Resolve(WindowHandle handle);
    // One request: connect, hello, request, then copy-data replies until Done.
    std::optional<local::Frame> Exchange(WindowHandle target, local::FrameType type,
                                         std::span<const std::uint8_t> payload);

    std::string ownClass_;
    local::TransportOptions options_;
    std::mutex mutex_;  // guards the handle table and the handler
    std::vector<Target> handles_;
    CopyDataHandler handler_;
};

}  // namespace morvane::platform
