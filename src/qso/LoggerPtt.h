// PTT through the logging program: when the operator chose it and the HamLog
// link is up, PTT on/off become copy-data commands 23/24 to HamLog's window
// (it switches the rig); keying itself always stays on the keying port.
//
// Threads: the keying thread calls the KeyOutput actions, and none of them
// waits for HamLog: PTT messages are queued to this object's own link
// thread, which alone sends them (each bounded by kLinkOperationTimeout).
// A reply HamLog might send to them is not taken: they expect none, and the
// link's copy-data handler belongs to the form's thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "common/MessageQueue.h"
#include "qso/HamlogLink.h"
#include "qso/LoggerWindows.h"
#include "transmit/KeyOutput.h"

namespace morvane::qso {

inline constexpr std::uint32_t kHamlogPttOn = 23;
inline constexpr std::uint32_t kHamlogPttOff = 24;

class LoggerPttOutput final : public transmit::KeyOutput {
  public:
    // `linkUp` is the HamLog link's flag (HamlogLink::HamlogLinked).
    LoggerPttOutput(transmit::KeyOutput& port, platform::LoggerWindows& windows,
                    const std::atomic<bool>& linkUp);
    // Sends the latest switch still queued (bounded), then stops the thread.
    ~LoggerPttOutput() override = default;
    LoggerPttOutput(const LoggerPttOutput&) = delete;
    LoggerPttOutput& operator=(const LoggerPttOutput&) = delete;

    // The option string's PTT-via-logger choice; user-interface thread.
    void SetPttViaLogger(bool on) { pttViaLogger_.store(on); }

    void KeyDown() override { port_.KeyDown(); }
    void KeyUp() override { port_.KeyUp(); }
    void PttOn() override;
    void PttOff() override;

    // PTT messages handed over to HamLog so far, and those that did not
    // arrive (HamLog gone or not answering in time).
    int MessagesSent() const { return sent_.load(); }
    int MessagesFailed() const { return failed_.load(); }

  private:
    bool ThroughLogger() const { return pttViaLogger_.load() && linkUp_.load(); }
    void Run(std::stop_token stop);
    void Send(std::uint32_t command);

    transmit::KeyOutput& port_;
    platform::LoggerWindows& windows_;
    const std::atomic<bool>& linkUp_;
    std::atomic<bool> pttViaLogger_{false};
    std::atomic<int> sent_{0};
    std::atomic<int> failed_{0};
    common::MessageQueue<std::uint32_t> queue_;
    std::jthread thread_;  // last: stopped before the members it uses go
};

}  // namespace morvane::qso
