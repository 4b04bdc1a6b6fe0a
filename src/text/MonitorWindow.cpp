#include "text/MonitorWindow.h"

namespace morvane::text {

namespace {
constexpr std::string_view kMonitorLabel = "Monitor> ";
}

MonitorWindow::MonitorWindow() {
    window_.Insert(kMonitorLabel);
}

void MonitorWindow::EchoSent(std::string_view text) {
    window_.MoveCaretToEnd();
    if (monitorState_ != 1) {
        window_.SetCurrentFormat(TextFormat::TxTiming);
        monitorState_ = 1;
    }
    window_.Insert(text);
}

void MonitorWindow::EchoUnsendable(std::string_view text) {
    window_.MoveCaretToEnd();
    if (monitorState_ != 3) {
        window_.SetCurrentFormat(TextFormat::Unsendable);
        monitorState_ = 3;
    }
    window_.Insert(text);
}

void MonitorWindow::ClearMonitor() {
    window_.Clear();
    window_.SetCurrentFormat(TextFormat::Default);
    window_.Insert(kMonitorLabel);
    monitorState_ = 0;
}

}  // namespace morvane::text
