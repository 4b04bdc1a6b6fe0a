#include "transmit/TransmitControls.h"

#include <algorithm>
#include <cstdio>

#include "common/Utf8.h"
#include "decode/CodeTables.h"

namespace morvane::transmit {

void TransmitControls::Store(common::EntryId entry, std::string value) {
    if (parts_.Settings != nullptr)
        parts_.Settings->StoreSetting(common::Index(entry), std::move(value));
}

void TransmitControls::CharacterFinished() {
    autoClearCountdown_.store(autoClearDelayS_.load());
    if (parts_.Forward != nullptr)
        parts_.Forward->CharacterFinished();
}

void TransmitControls::SpeedStepChanged(int step) {
    shownSpeedStep_.store(step);
    if (parts_.Forward != nullptr)
        parts_.Forward->SpeedStepChanged(step);
}

void TransmitControls::WeightShown(char which, double value) {
    if (parts_.Forward != nullptr)
        parts_.Forward->WeightShown(which, value);
}

void TransmitControls::FunctionKeyTag(int key) {
    if (parts_.Forward != nullptr)
        parts_.Forward->FunctionKeyTag(key);
}

std::string TransmitControls::ClockText() {
    return parts_.Forward != nullptr ? parts_.Forward->ClockText() : std::string();
}

void TransmitControls::ClearTransmit(bool stopAutoCq) {
    parts_.Text.Clear();
    parts_.Engine.ClearTextCutMark();
    autoClearCountdown_.store(kAutoClearAfterClearS);
    if (stopAutoCq && parts_.AutoCq != nullptr)
        parts_.AutoCq->Stop();
}

void TransmitControls::ClearMonitor() {
    parts_.Windows.Push(text::command::ClearMonitor{});
}

void TransmitControls::ClearReceive() {
    parts_.Windows.Push(text::command::ClearReceive{});
}

void TransmitControls::TxClear() {
    ClearTransmit();  // stops Auto CQ too
    ClearMonitor();
    parts_.Receive.SetReceiveEnabled(true);
    parts_.Receive.ResetSpeedMeasurement();
}

void TransmitControls::SetTxClearAuto(bool on, bool store) {
    txClearAuto_ = on;
    if (store) {
        const auto& words = common::RowOf(common::EntryId::TxClearAuto).Words;
        Store(common::EntryId::TxClearAuto, std::string(on ? words[0] : words[1]));
    }
}

void TransmitControls::SetAutoClearDelayS(int seconds, bool store) {
    autoClearDelayS_.store(seconds);
    if (store) {
        char text[16];
        std::snprintf(text, sizeof text, "%02d", seconds);
        Store(common::EntryId::TxClearDelay, text);
    }
}

void TransmitControls::OneSecondTick() {
    if (!txClearAuto_)
        return;
    bool allSent = parts_.Text.PendingCharacters() == 0 && parts_.Engine.RomajiLookahead() == 0;
    bool autoCqRunning = parts_.AutoCq != nullptr && parts_.AutoCq->Running();
    if (!allSent || autoCqRunning)
        return;
    if (autoClearCountdown_.fetch_sub(1) - 1 < 0) {
        ClearTransmit();
        ClearMonitor();
    }
}

std::string TransmitControls::SpeedLabel() const {
    return SpeedLabelText(parts_.Engine.SpeedIndex(), parts_.Engine.CurrentWeights());
}

std::string TransmitControls::UpdateSpeedLabel(int step) {
    parts_.Engine.SetSpeedIndex(step);
    shownSpeedStep_.store(parts_.Engine.SpeedIndex());
    return SpeedLabel();
}

std::string TransmitControls::MoveSpeed(int step) {
    std::string label = UpdateSpeedLabel(std::clamp(step, 0, kSpeedStepCount - 1));
    parts_.Engine.ClearSpeedSaved();
    return label;
}

std::string TransmitControls::SpeedDown() {
    return MoveSpeed(parts_.Engine.SpeedIndex() - 1);
}

std::string TransmitControls::SpeedUp() {
    return MoveSpeed(parts_.Engine.SpeedIndex() + 1);
}

void TransmitControls::StoreSpeedPreset() {
    speedPreset_ = parts_.Engine.SpeedIndex();
    char text[16];
    std::snprintf(text, sizeof text, "%d", speedPreset_);
    Store(common::EntryId::TxSpeed, text);
    parts_.Engine.ClearSpeedSaved();
}

std::string TransmitControls::RecallSpeedPreset() {
    return MoveSpeed(speedPreset_);
}

std::string TransmitControls::SpeedFromReceived(const std::string& receiveSpeedLabel) {
    int received = ReceivedSpeedFromLabel(receiveSpeedLabel);
    return MoveSpeed(StepForReceivedSpeed(received, parts_.Engine.CurrentWeights()));
}

std::string TransmitControls::SelectWeight(char which, double value, bool store) {
    using common::EntryId;
    Weights weights = parts_.Engine.CurrentWeights();
    EntryId entry = EntryId::DotRatio;
    switch (which) {
        case 'D':
            weights.Dot = value, entry = EntryId::DotRatio;
            break;
        case 'A':
            weights.Dash = value, entry = EntryId::DashRatio;
            break;
        case 'C':
            weights.CharSpace = value, entry = EntryId::CharSpaceRatio;
            break;
        case 'W':
            weights.WordSpace = value, entry = EntryId::WordSpaceRatio;
            break;
        default:
            return SpeedLabel();
    }
    parts_.Engine.SetWeights(weights);
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", value);
    if (store)
        Store(entry, text);
    return SpeedLabel();
}

void TransmitControls::ManualKeyDown() {
    parts_.Output.KeyDown();
    manualKeyDown_ = true;
}

void TransmitControls::KeyReleased() {
    if (!manualKeyDown_)
        return;
    manualKeyDown_ = false;
    parts_.Output.KeyUp();
}

ModeLabels TransmitControls::SelectKeyMode(KeyMode mode, bool store) {
    parts_.Engine.SetKeyMode(mode);
    if (store)
        Store(common::EntryId::KeyMode,
              std::string(common::RowOf(common::EntryId::KeyMode).Words[static_cast<int>(mode)]));
    if (mode == KeyMode::Direct)
        return {"Eng", "English/J"};
    return {"", std::nullopt};
}

std::optional<ModeLabels> TransmitControls::DirectLabelsFor(std::string_view text) {
    std::vector<std::string_view> chars = common::SplitUtf8(text);
    if (chars.empty())
        return std::nullopt;
    std::string_view last = chars.back();
    if (last == ">" || last == "(")
        return ModeLabels{"Eng", "English/J"};
    if (last == "<" || last == ")")
        return ModeLabels{"japanese", "Japanese/E"};
    return std::nullopt;
}

std::optional<std::string> TransmitControls::FullWidthLastKana(std::string_view text) {
    std::vector<std::string_view> chars = common::SplitUtf8(text);
    if (chars.empty())
        return std::nullopt;
    auto rows = decode::HalfWidthKanaTransmitTable();
    for (std::size_t row = 1; row <= 62 && row < rows.size(); ++row) {
        if (rows[row].HalfWidth != chars.back())
            continue;
        std::string rewritten(text.substr(0, text.size() - chars.back().size()));
        rewritten += rows[row].FullWidth;
        return rewritten;
    }
    return std::nullopt;
}

}  // namespace morvane::transmit
