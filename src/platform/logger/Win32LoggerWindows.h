// LoggerWindows and the system code page on Windows: the window messages
// and code-page calls themselves. Built only for Windows.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <mutex>

#include "platform/logger/LoggerWindows.h"

namespace morvane::platform {

class Win32LoggerWindows final : public LoggerWindows {
  public:
    // `ownWindow` is the main form, named as the sender of every message.
    // Replies reach it on its own (the user-interface) thread.
    explicit Win32LoggerWindows(HWND ownWindow);

    WindowHandle FindWindowByClass(std::string_view className, Deadline deadline) override;
    bool SendCopyData(WindowHandle target, std::uint32_t command,
                      std::span<const std::uint8_t> bytes, Deadline deadline) override;
    std::vector<ChildWindow> EnumDescendants(WindowHandle parent, Deadline deadline) override;
    bool SetControlText(WindowHandle control, std::string_view utf8Text,
                        Deadline deadline) override;
    bool ClickButton(WindowHandle button, Deadline deadline) override;
    bool BringToFront(WindowHandle window, Deadline deadline) override;
    void SetCopyDataHandler(CopyDataHandler handler) override;

    // For the main form's window procedure on WM_COPYDATA: true when the
    // handler took the message as an awaited reply; false leaves it to the
    // default handling.
    bool OnCopyDataMessage(WPARAM wParam, LPARAM lParam);

  private:
    HWND ownWindow_;
    std::mutex mutex_;
    CopyDataHandler handler_;
};

class Win32CodePage final : public SystemCodePage {
  public:
    std::vector<std::uint8_t> Encode(std::string_view utf8,
                                     std::size_t maxCharacters) const override;
    std::string Decode(std::span<const std::uint8_t> bytes) const override;
};

}  // namespace morvane::platform
