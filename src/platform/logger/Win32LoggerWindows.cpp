#include "platform/logger/Win32LoggerWindows.h"

#include <algorithm>
#include <string>

namespace morvane::platform {
namespace {

std::wstring Wide(std::string_view utf8, UINT codePage = CP_UTF8) {
    if (utf8.empty())
        return {};
    const int size =
        MultiByteToWideChar(codePage, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(std::max(size, 0)), L'\0');
    if (size > 0) {
        MultiByteToWideChar(codePage, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(),
                            size);
    }
    return out;
}

std::string Narrow(std::wstring_view wide, UINT codePage = CP_UTF8) {
    if (wide.empty())
        return {};
    const int size = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(size, 0)), '\0');
    if (size > 0) {
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                            size, nullptr, nullptr);
    }
    return out;
}

HWND Hwnd(WindowHandle handle) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
}
WindowHandle Handle(HWND hwnd) {
    return reinterpret_cast<std::uintptr_t>(hwnd);
}

BOOL CALLBACK CollectChild(HWND child, LPARAM context) {
    auto* children = reinterpret_cast<std::vector<ChildWindow>*>(context);
    wchar_t className[256];
    const int length = GetClassNameW(child, className, 256);
    children->push_back(
        ChildWindow{Handle(child), Narrow(std::wstring_view(className, length > 0 ? length : 0))});
    return TRUE;
}

// Milliseconds left until `deadline`; 0 when it has passed.
UINT MsLeft(Deadline deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<UINT>(left.count()) : 0;
}

}  // namespace

Win32LoggerWindows::Win32LoggerWindows(HWND ownWindow) : ownWindow_(ownWindow) {}

WindowHandle Win32LoggerWindows::FindWindowByClass(std::string_view className, Deadline deadline) {
    if (MsLeft(deadline) == 0)
        return 0;
    return Handle(FindWindowW(Wide(className).c_str(), nullptr));
}

bool Win32LoggerWindows::SendCopyData(WindowHandle target, std::uint32_t command,
                                      std::span<const std::uint8_t> bytes, Deadline deadline) {
    const UINT timeoutMs = MsLeft(deadline);
    if (timeoutMs == 0)
        return false;
    COPYDATASTRUCT data{};
    data.dwData = command;
    data.cbData = static_cast<DWORD>(bytes.size());
    data.lpData = bytes.empty() ? nullptr : const_cast<std::uint8_t*>(bytes.data());
    DWORD_PTR result = 0;
    // SMTO_NORMAL lets the replies sent to our window be handled while we wait.
    return SendMessageTimeoutW(Hwnd(target), WM_COPYDATA, reinterpret_cast<WPARAM>(ownWindow_),
                               reinterpret_cast<LPARAM>(&data), SMTO_NORMAL | SMTO_ABORTIFHUNG,
                               timeoutMs, &result) != 0;
}

std::vector<ChildWindow> Win32LoggerWindows::EnumDescendants(WindowHandle parent,
                                                             Deadline deadline) {
    std::vector<ChildWindow> children;
    if (MsLeft(deadline) == 0)
        return children;
    EnumChildWindows(Hwnd(parent), CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

bool Win32LoggerWindows::SetControlText(WindowHandle control, std::string_view utf8Text,
                                        Deadline deadline) {
    const UINT timeoutMs = MsLeft(deadline);
    if (timeoutMs == 0)
        return false;
    const std::wstring text = Wide(utf8Text);
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(Hwnd(control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
}

bool Win32LoggerWindows::ClickButton(WindowHandle button, Deadline deadline) {
    const UINT timeoutMs = MsLeft(deadline);
    if (timeoutMs == 0)
        return false;
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(Hwnd(button), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, timeoutMs,
                               &result) != 0;
}

bool Win32LoggerWindows::BringToFront(WindowHandle window, Deadline deadline) {
    if (MsLeft(deadline) == 0)
        return false;
    return SetForegroundWindow(Hwnd(window)) != 0;
}

void Win32LoggerWindows::SetCopyDataHandler(CopyDataHandler handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

bool Win32LoggerWindows::OnCopyDataMessage(WPARAM wParam, LPARAM lParam) {
    CopyDataHandler handler;
    {
        std::lock_guard lock(mutex_);
        handler = handler_;
    }
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!handler || data == nullptr)
        return false;
    CopyDataMessage message;
    message.Sender = Handle(reinterpret_cast<HWND>(wParam));
    message.Command = static_cast<std::uint32_t>(data->dwData);
    if (data->lpData != nullptr && data->cbData > 0) {
        const auto* bytes = static_cast<const std::uint8_t*>(data->lpData);
        message.Bytes.assign(bytes, bytes + data->cbData);
    }
    // An unexpected message (no reply awaited) gets the default handling.
    return handler(message);
}

std::vector<std::uint8_t> Win32CodePage::Encode(std::string_view utf8,
                                                std::size_t maxCharacters) const {
    std::wstring wide = Wide(utf8);
    if (wide.size() > maxCharacters)
        wide.resize(maxCharacters);
    const std::string bytes = Narrow(wide, CP_ACP);  // unmappable characters become "?"
    std::vector<std::uint8_t> out(bytes.begin(), bytes.end());
    out.push_back(0);
    return out;
}

std::string Win32CodePage::Decode(std::span<const std::uint8_t> bytes) const {
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    const std::string text(bytes.begin(), end);
    return Narrow(Wide(text, CP_ACP));
}

}  // namespace morvane::platform
