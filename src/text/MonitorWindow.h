// The transmit monitor window: where sent text is echoed when the echo goes
// to a separate window instead of the receive window. UI-thread owned, like
// ReceiveWindow.
#pragma once

#include <string_view>

#include "text/TextWindow.h"

namespace morvane::text {

class MonitorWindow {
  public:
    MonitorWindow();

    const TextWindow& Window() const { return window_; }
    // 0 after a clear, 1 sent text written last, 3 unsendable text.
    int MonitorState() const { return monitorState_; }

    void EchoSent(std::string_view text);
    void EchoUnsendable(std::string_view text);
    // Empty window with "Monitor> ", default format, state 0.
    void ClearMonitor();

  private:
    TextWindow window_;
    int monitorState_ = 0;
};

}  // namespace morvane::text
