#include "text/ReceiveWindow.h"

#include "common/Utf8.h"

namespace morvane::text {

namespace {
constexpr std::string_view kReceivedLabel = "\r\nRX> ";
constexpr std::string_view kFirstReceivedLabel = "RX> ";
constexpr std::string_view kSentLabel = "\r\nTX> ";
}  // namespace

ReceiveWindow::ReceiveWindow(TrafficLogHook* log) : log_(log) {
    window_.Insert(kFirstReceivedLabel);
}

bool ReceiveWindow::SwitchToReceived() {
    window_.MoveCaretToEnd();
    if (rxWindowState_ == kRxStateReceived)
        return false;
    window_.SetCurrentFormat(TextFormat::Default);
    if (!window_.CaretLineEmpty()) {
        if (log_ != nullptr)
            log_->BeforeLineLabel(LineLabel::Received, window_);
        window_.Insert(kReceivedLabel);
    } else {
        window_.Insert(kFirstReceivedLabel);
    }
    window_.MoveCaretToEnd();
    rxWindowState_ = kRxStateReceived;
    return true;
}

void ReceiveWindow::AppendReceived(std::string_view text, float confidence) {
    if (rxHoldToBuffer_) {
        pendingRxText_ += text;
        pendingConfidences_.insert(pendingConfidences_.end(), common::SplitUtf8(text).size(),
                                   confidence);
        return;
    }
    SwitchToReceived();
    window_.SetCurrentConfidence(confidence);
    window_.Insert(text);
    window_.SetCurrentConfidence(1.0f);
}

void ReceiveWindow::AppendWordSpace() {
    if (rxHoldToBuffer_) {
        pendingRxText_ += ' ';
        pendingConfidences_.push_back(1.0f);
        return;
    }
    if (!SwitchToReceived())
        window_.Insert(" ");
}

void ReceiveWindow::SwitchToSent() {
    window_.MoveCaretToEnd();
    if (rxWindowState_ == kRxStateSent)
        return;
    window_.SetCurrentFormat(TextFormat::TxTiming);
    if (rxWindowState_ == kRxStateReceived || rxWindowState_ == kRxStateClock) {
        if (log_ != nullptr)
            log_->BeforeLineLabel(LineLabel::Sent, window_);
        window_.Insert(kSentLabel);
    }
    rxWindowState_ = kRxStateSent;
}

void ReceiveWindow::EchoSent(std::string_view text) {
    SwitchToSent();
    window_.Insert(text);
}

void ReceiveWindow::EchoUnsendable(std::string_view text) {
    window_.MoveCaretToEnd();
    if (rxWindowState_ < kRxStateWarning) {
        SwitchToSent();
        window_.SetCurrentFormat(TextFormat::Unsendable);
        rxWindowState_ = kRxStateWarning;
    }
    window_.Insert(text);
}

void ReceiveWindow::StampTxTime(std::string_view stamp) {
    window_.MoveCaretToEnd();
    if (rxWindowState_ == kRxStateReceived || rxWindowState_ == kRxStateClock) {
        window_.SetCurrentFormat(TextFormat::TxTiming);
        if (log_ != nullptr)
            log_->BeforeLineLabel(LineLabel::Sent, window_);
        window_.Insert(kSentLabel);
        if (log_ != nullptr)
            log_->TxTimeLabelInserted();
    }
    window_.SetCurrentFormat(TextFormat::Time);
    window_.Insert(stamp);
    window_.SetCurrentFormat(TextFormat::TxTiming);
    rxWindowState_ = kRxStateSent;
}

void ReceiveWindow::AppendClockLine(std::string_view line) {
    window_.MoveCaretToEnd();
    window_.SetCurrentFormat(TextFormat::Time);
    window_.Insert(line);
    rxWindowState_ = kRxStateClock;
}

void ReceiveWindow::AppendCountryLine(std::string_view line) {
    AppendClockLine(line);
}

void ReceiveWindow::AppendLinkMessage(std::string_view message) {
    window_.MoveCaretToEnd();
    window_.SetCurrentFormat(TextFormat::Unsendable);
    if (!window_.CaretLineEmpty())
        window_.Insert("\r\n");
    window_.Insert(message);
    rxWindowState_ = kRxStateWarning;
}

void ReceiveWindow::ClearReceive() {
    window_.Clear();
    window_.SetCurrentFormat(TextFormat::Default);
    window_.SetCaret(0);
    window_.Insert(kFirstReceivedLabel);
    rxWindowState_ = kRxStateReceived;
    rememberedStart_ = rememberedEnd_ = 0;
    if (log_ != nullptr)
        log_->WindowCleared();
}

void ReceiveWindow::FocusGained() {
    rxHoldToBuffer_ = true;
    pendingRxText_.clear();
    pendingConfidences_.clear();
}

void ReceiveWindow::FocusLost() {
    rememberedStart_ = window_.SelectionStart();
    rememberedEnd_ = window_.SelectionEnd();
    window_.MoveCaretToEnd();
    if (rxWindowState_ != kRxStateReceived) {
        window_.SetCurrentFormat(TextFormat::Default);
        rxWindowState_ = kRxStateReceived;
    }
    // Piece by piece, so each held character keeps its confidence.
    const auto characters = common::SplitUtf8(pendingRxText_);
    std::string piece;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        piece += characters[i];
        const float confidence = pendingConfidences_[i];
        if (i + 1 == characters.size() || pendingConfidences_[i + 1] != confidence) {
            window_.SetCurrentConfidence(confidence);
            window_.Insert(piece);
            piece.clear();
        }
    }
    window_.SetCurrentConfidence(1.0f);
    pendingRxText_.clear();
    pendingConfidences_.clear();
    rxHoldToBuffer_ = false;
}

std::string ReceiveWindow::RememberedSelectionText() const {
    return window_.Slice(rememberedStart_, rememberedEnd_ - rememberedStart_);
}

void ReceiveWindow::ReplaceRememberedSelection(std::string_view text) {
    if (rememberedStart_ == rememberedEnd_ || rememberedEnd_ > window_.Length())
        return;
    // The re-read text keeps the colour of what it replaces.
    // So does its confidence: the operator chose the alphabet, not the signs.
    TextFormat endFormat = window_.CurrentFormat();
    window_.SetCurrentFormat(window_.FormatAt(rememberedStart_));
    window_.SetCurrentConfidence(window_.ConfidenceAt(rememberedStart_));
    window_.Select(rememberedStart_, rememberedEnd_);
    window_.Insert(text);
    window_.SetCurrentFormat(endFormat);
    window_.SetCurrentConfidence(1.0f);
    window_.MoveCaretToEnd();
    rememberedStart_ = rememberedEnd_ = 0;
}

}  // namespace morvane::text
