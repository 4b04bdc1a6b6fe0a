// The conversation with HamLog: finding its window, the probe that tells
// whether it takes input, sending commands, and taking its copy-data replies
// into the fields. Runs on the thread that owns the fields; replies arrive on
// that thread while a send waits.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "qso/LoggerWindows.h"
#include "qso/QsoFields.h"

namespace morvane::qso {

inline constexpr std::string_view kHamlogClass = "TThwin";

// Which field or member a requested reply fills.
enum class HamlogAwait { Call, Name, Qth, Settings, Probe };

class HamlogLink {
  public:
    HamlogLink(platform::LoggerWindows& windows, const platform::SystemCodePage& codePage,
               QsoFields& fields);

    // HamLog's window, or 0 when it is not running.
    platform::WindowHandle FindHamlog() { return windows_.FindWindowByClass(kHamlogClass); }

    // True when HamLog answers and takes input (its selection screen is closed).
    bool ProbeHamlog();

    // Text in the system code page, at most 120 characters, zero-terminated.
    void SendText(platform::WindowHandle hamlog, std::uint32_t command, std::string_view text);
    // Printable ASCII without terminator; not sent when the text holds anything else.
    void SendAscii(platform::WindowHandle hamlog, std::uint32_t command, std::string_view text);
    void SendCommand(platform::WindowHandle hamlog, std::uint32_t command);
    void BringToFront(platform::WindowHandle hamlog) { windows_.BringToFront(hamlog); }
    // Sends a request whose reply fills the field or member `await` names.
    void Request(platform::WindowHandle hamlog, std::uint32_t command, HamlogAwait await);

    // A copy-data message that arrived at this program's window. False when no
    // reply was expected (the message is left to the default handling).
    bool OnCopyData(const platform::CopyDataMessage& message);

    std::atomic<bool> HamlogLinked{false};  // read by PTT switching on the keying thread
    bool HamlogUtc = false;
    bool AwaitCall = false;
    bool AwaitName = false;
    bool AwaitQth = false;
    bool AwaitSettings = false;
    bool AwaitProbe = false;
    std::string ProbeReply;

  private:
    bool& Flag(HamlogAwait await);

    platform::LoggerWindows& windows_;
    const platform::SystemCodePage& codePage_;
    QsoFields& fields_;
};

}  // namespace morvane::qso
