// Echo of sent text into the receive window (echo mode "R") or the transmit
// monitor window ("T"), or nowhere ("N"). The keying thread does not own the
// windows: it queues window commands, and the windows' owner applies them,
// where the receive window decides on "TX> " labels from `RxWindowState`.
#pragma once

#include <atomic>
#include <string_view>

#include "text/WindowCommand.h"

namespace morvane::transmit {

enum class EchoMode : char { Receive = 'R', Monitor = 'T', None = 'N' };

class SendEcho {
  public:
    explicit SendEcho(text::WindowCommandQueue& windows) : windows_(windows) {}

    void SetMode(EchoMode mode) { mode_.store(mode); }
    EchoMode Mode() const { return mode_.load(); }

    void EchoSent(std::string_view text);
    void EchoUnsendable(std::string_view text);
    // "[" + clock + "] " into the receive window; only in echo mode "R".
    void StampTime(std::string_view clockText);

  private:
    text::WindowCommandQueue& windows_;
    std::atomic<EchoMode> mode_{EchoMode::Receive};
};

}  // namespace morvane::transmit
