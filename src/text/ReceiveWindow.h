// The receive window: received text, echoed sent text, time stamps and
// warnings from three threads end up here, so it alone decides when a new
// "RX> " or "TX> " line label is needed (from RxWindowState) and holds
// received text back while the operator works in the window. Single-threaded:
// the UI thread owns it and applies WindowCommands from the other threads.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/TextWindow.h"
#include "text/TrafficLogHook.h"

namespace morvane::text {

// What was written last at the end of the receive window.
enum RxWindowStateValue : int {
    kRxStateReceived = 0,  // received text, also after a clear
    kRxStateSent = 1,      // echoed sent text
    kRxStateClock = 2,     // a clock line of the clock buttons
    kRxStateWarning = 3,   // unsendable sent text or a logging-link message
};

class ReceiveWindow {
  public:
    // `log` may be null (no traffic log); it must outlive the window.
    explicit ReceiveWindow(TrafficLogHook* log = nullptr);

    const TextWindow& Window() const { return window_; }
    TextWindow& Window() { return window_; }
    int RxWindowState() const { return rxWindowState_; }
    bool RxHoldToBuffer() const { return rxHoldToBuffer_; }
    const std::string& PendingRxText() const { return pendingRxText_; }

    // Decoded text; starts an "RX> " line when something else was written
    // last. `confidence` (0..1) rates the character it came from; held text
    // keeps it until it is shown.
    void AppendReceived(std::string_view text, float confidence = 1.0f);
    // A word space; a new line label takes the blank's place.
    void AppendWordSpace();

    // One sent character in blue, after a "\r\nTX> " label when needed.
    void EchoSent(std::string_view text);
    // Text that could not be keyed, in red.
    void EchoUnsendable(std::string_view text);
    // The "<TXTIME>" tag: `stamp` is "[" + clock text + "] ", shown in green.
    void StampTxTime(std::string_view stamp);
    // A clock-button line, green, complete with its line break.
    void AppendClockLine(std::string_view line);
    // A country line (starts with its own "\r\n"), green; treated like a
    // clock line so that the next received text returns to black on a new label.
    void AppendCountryLine(std::string_view line);
    // A logging-link warning in red on a line of its own.
    void AppendLinkMessage(std::string_view message);

    // RX Clear: empty window with "RX> ", state received, log restarted.
    void ClearReceive();

    // The operator entered the window: received text is held back.
    void FocusGained();
    // The operator left: remembers the selection for the ENG/JPN re-reading,
    // then inserts the held text at the end and stops holding.
    void FocusLost();
    // Replaces the selection remembered at the last focus loss with `text`
    // (ENG/JPN re-reading of wrongly decoded text). Does nothing when that
    // selection was empty.
    void ReplaceRememberedSelection(std::string_view text);
    // The text selected when the window last lost the focus (what the
    // ENG/JPN buttons re-read); empty after it was replaced.
    std::string RememberedSelectionText() const;
    std::size_t RememberedSelectionStart() const { return rememberedStart_; }
    std::size_t RememberedSelectionEnd() const { return rememberedEnd_; }

  private:
    // Caret to the end and, unless sent text was written last, a blue
    // "\r\nTX> " label (logged first) from states 0 and 2.
    void SwitchToSent();
    // Steps 2 and 3 of received output; true when a label was inserted.
    bool SwitchToReceived();

    TextWindow window_;
    TrafficLogHook* log_;
    int rxWindowState_ = kRxStateReceived;
    bool rxHoldToBuffer_ = false;
    std::string pendingRxText_;
    std::vector<float> pendingConfidences_;  // one per character of pendingRxText_
    std::size_t rememberedStart_ = 0;
    std::size_t rememberedEnd_ = 0;
};

}  // namespace morvane::text
