// PTT through the logging program: when the operator chose it and the HamLog
// link is up, PTT on/off become copy-data commands 23/24 to HamLog's window
// (it switches the rig); keying itself always stays on the keying port.
// Called on the keying thread.
#pragma once

#include <atomic>

#include "qso/LoggerWindows.h"
#include "qso/HamlogLink.h"
#include "transmit/KeyOutput.h"

namespace morvane::qso {

inline constexpr std::uint32_t kHamlogPttOn = 23;
inline constexpr std::uint32_t kHamlogPttOff = 24;

class LoggerPttOutput final : public transmit::KeyOutput {
  public:
    // `linkUp` is the HamLog link's flag (HamlogLink::HamlogLinked).
    LoggerPttOutput(transmit::KeyOutput& port, platform::LoggerWindows& windows,
                    const std::atomic<bool>& linkUp)
        : port_(port), windows_(windows), linkUp_(linkUp) {}

    // The option string's PTT-via-logger choice; user-interface thread.
    void SetPttViaLogger(bool on) { pttViaLogger_.store(on); }

    void KeyDown() override { port_.KeyDown(); }
    void KeyUp() override { port_.KeyUp(); }
    void PttOn() override;
    void PttOff() override;

  private:
    bool ThroughLogger() const { return pttViaLogger_.load() && linkUp_.load(); }
    // A missing window is no failure: PTT counts as switched either way.
    void SendToHamlog(std::uint32_t command);

    transmit::KeyOutput& port_;
    platform::LoggerWindows& windows_;
    const std::atomic<bool>& linkUp_;
    std::atomic<bool> pttViaLogger_{false};
};

}  // namespace morvane::qso
