// The window operations the logging links need from the desktop: find a
// logging program's top-level window by class, send it copy-data messages
// synchronously, and address the controls of its window. On Windows these are
// the window messages themselves; on Linux a local transport stands in.
// Declared here, with the links that use it; implemented in platform/logger
// (the names keep the platform namespace the implementations share).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::platform {

// Opaque window handle; 0 means "no window".
using WindowHandle = std::uint64_t;

struct ChildWindow {
    WindowHandle Handle = 0;
    std::string ClassName;
};

// A copy-data message that arrived at this program's window.
struct CopyDataMessage {
    WindowHandle Sender = 0;
    std::uint32_t Command = 0;
    std::vector<std::uint8_t> Bytes;  // empty: the message carried no buffer
};

// True when the message was a reply the program waited for; false leaves it
// to the window's default handling.
using CopyDataHandler = std::function<bool(const CopyDataMessage&)>;

// Every operation on another program's window ends by this time, answered or
// not: a hung logging program costs the caller a bounded wait.
using Deadline = std::chrono::steady_clock::time_point;

inline Deadline DeadlineIn(std::chrono::milliseconds timeout) {
    return std::chrono::steady_clock::now() + timeout;
}

class LoggerWindows {
  public:
    virtual ~LoggerWindows() = default;

    // The top-level window registered with `className`, or 0 when there is
    // none or it does not respond by `deadline`.
    virtual WindowHandle FindWindowByClass(std::string_view className, Deadline deadline) = 0;

    // Sends command and bytes (no buffer when empty) with this program's
    // window as the sender, and returns once the target has handled it. Any
    // copy-data the target sends back to this program's window meanwhile is
    // passed to the copy-data handler before this returns, when this is the
    // handler's thread (below). False when the target is gone or did not
    // answer by `deadline`.
    virtual bool SendCopyData(WindowHandle target, std::uint32_t command,
                              std::span<const std::uint8_t> bytes, Deadline deadline) = 0;

    // Every descendant window of `parent`, depth first, in the order the
    // window system enumerates them; empty when `parent` did not answer.
    virtual std::vector<ChildWindow> EnumDescendants(WindowHandle parent, Deadline deadline) = 0;

    virtual bool SetControlText(WindowHandle control, std::string_view utf8Text,
                                Deadline deadline) = 0;
    virtual bool ClickButton(WindowHandle button, Deadline deadline) = 0;
    virtual bool BringToFront(WindowHandle window, Deadline deadline) = 0;

    // Receives the copy-data replies described at SendCopyData. The thread
    // that installs the handler owns it: it is called on that thread only, so
    // the state it touches needs no lock. Copy-data that arrives while another
    // thread sends (no reply is expected there) is acknowledged and dropped.
    virtual void SetCopyDataHandler(CopyDataHandler handler) = 0;
};

// Conversion between the program's UTF-8 text and the system code page
// (CP932, Shift_JIS with the Windows extensions) that the logging programs use.
class SystemCodePage {
  public:
    virtual ~SystemCodePage() = default;
    // At most `maxCharacters` characters, then a terminating zero byte.
    // Characters without a code-page form become "?".
    virtual std::vector<std::uint8_t> Encode(std::string_view utf8,
                                             std::size_t maxCharacters) const = 0;
    // The bytes up to the first zero (or all of them) as UTF-8.
    virtual std::string Decode(std::span<const std::uint8_t> bytes) const = 0;
};

}  // namespace morvane::platform
