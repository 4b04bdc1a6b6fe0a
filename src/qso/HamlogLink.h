// The conversation with HamLog: finding its window, the probe that tells
// whether it takes input, sending commands, and taking its copy-data replies
// into the fields.
//
// Threads: one owning thread (the form's) makes every call here and installs
// OnCopyData as the copy-data handler, so replies arrive on it while a send
// waits and the expectation flags need no lock. Only `HamlogLinked` is read
// elsewhere (by PTT switching). Every send ends by the caller's deadline.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "qso/LoggerWindows.h"
#include "qso/QsoFields.h"

namespace morvane::qso {

inline constexpr std::string_view kHamlogClass = "TThwin";

// The longest a link operation (QSO, SAVE, Clear, T, a probe) holds up its
// caller when a logging program stops answering: one bound for the whole
// operation, not one per message.
inline constexpr std::chrono::milliseconds kLinkOperationTimeout{2000};

// Which field or member a requested reply fills.
enum class HamlogAwait { Call, Name, Qth, Settings, Probe };

// The requests of Ctrl+F1 to Ctrl+F4, in key order: HamLog answers each
// with the text of one of its fields, which fills ours.
struct HamlogKeyRequest {
    std::uint32_t Command;
    HamlogAwait Await;
};
inline constexpr HamlogKeyRequest kHamlogKeyRequests[] = {{0x400065, HamlogAwait::Call},
                                                          {0x6F, HamlogAwait::Name},
                                                          {0x70, HamlogAwait::Qth},
                                                          {0x6C, HamlogAwait::Call}};

// What the probe found.
enum class HamlogProbe {
    Answering,        // takes input
    SelectionScreen,  // answers, but its selection screen is open
    NoAnswer,         // gone, or did not take a message in time
};

class HamlogLink {
  public:
    using Deadline = platform::Deadline;

    HamlogLink(platform::LoggerWindows& windows, const platform::SystemCodePage& codePage,
               QsoFields& fields);

    // HamLog's window, or 0 when it is not running (or not answering).
    platform::WindowHandle FindHamlog(Deadline deadline) {
        return windows_.FindWindowByClass(kHamlogClass, deadline);
    }

    // Finds HamLog and checks that it takes input; sets `HamlogLinked`.
    HamlogProbe ProbeHamlog(Deadline deadline);

    // Each send is false when the message did not reach HamLog by the deadline.
    // Text in the system code page, at most 120 characters, zero-terminated.
    bool SendText(platform::WindowHandle hamlog, std::uint32_t command, std::string_view text,
                  Deadline deadline);
    // Printable ASCII without terminator. A text holding anything else is not
    // sent, which is no failure.
    bool SendAscii(platform::WindowHandle hamlog, std::uint32_t command, std::string_view text,
                   Deadline deadline);
    bool SendCommand(platform::WindowHandle hamlog, std::uint32_t command, Deadline deadline);
    bool BringToFront(platform::WindowHandle hamlog, Deadline deadline) {
        return windows_.BringToFront(hamlog, deadline);
    }
    // Sends a request whose reply fills the field or member `await` names.
    // The expectation ends with the send, answered or not.
    bool Request(platform::WindowHandle hamlog, std::uint32_t command, HamlogAwait await,
                 Deadline deadline);

    // A copy-data message that arrived at this program's window. False when no
    // reply was expected (the message is left to the default handling).
    bool OnCopyData(const platform::CopyDataMessage& message);

    std::atomic<bool> HamlogLinked{false};  // read by PTT switching on the link's PTT thread
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
