// What the receive window tells the traffic log. The log appends the window
// text it has not written yet whenever the window switches between received
// and sent text, so the window calls it just before such a line label.
#pragma once

#include "text/TextWindow.h"

namespace morvane::text {

enum class LineLabel { Received, Sent };  // "\r\nRX> ", "\r\nTX> "

class TrafficLogHook {
  public:
    virtual ~TrafficLogHook() = default;
    // Called just before "\r\nRX> " or "\r\nTX> " is inserted at the end of
    // `window`; the hook decides itself whether logging is on.
    virtual void BeforeLineLabel(LineLabel label, const TextWindow& window) = 0;
    // The "<TXTIME>" stamp inserted its "\r\nTX> " label right after the
    // BeforeLineLabel call; the log moves its written mark past that label.
    virtual void TxTimeLabelInserted() = 0;
    // The receive window was emptied: the log starts again at character 0.
    virtual void WindowCleared() = 0;
};

}  // namespace morvane::text
