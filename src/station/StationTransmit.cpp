// The station's transmit-window and keyboard commands; see Station.h.
#include "station/Station.h"
#include "station/StationParts.h"
#include "transmit/TransmitControls.h"

namespace morvane::station {

void Station::EditTransmit(std::string_view edited) {
    Parts& p = *parts_;
    const transmit::TransmitEdit result = p.Keying.Text().Edit(edited);
    if (result == transmit::TransmitEdit::Refused) {
        // The window holds an edit the text did not take: show it again.
        view_.TransmitTextChanged(p.Keying.Text().Text());
    } else if (result != transmit::TransmitEdit::Unchanged) {
        if (result == transmit::TransmitEdit::Cut)
            p.Keying.Engine().MarkTextCut();
        // E/J KANA: half-width katakana typed with the Kana lock become the
        // full-width characters the keyer looks up (the window follows).
        if (p.Keying.Engine().CurrentKeyMode() == common::KeyMode::Kana) {
            if (auto full = transmit::TransmitControls::FullWidthLastKana(edited))
                p.Keying.Text().Edit(*full);
        }
    }
    Pump();
}

void Station::SetTxEditHold(bool on) {
    parts_->Keying.Engine().SetTxEditHold(on);
}

bool Station::TxEditHold() const {
    return parts_->Keying.Engine().TxEditHold();
}

void Station::ResetSpeedMeasurement() {
    parts_->RunFunctionKey(5);  // what the "<VK_F5>" tag does
}

void Station::RequestFromHamlog(int functionKey) {
    Parts& p = *parts_;
    auto before = p.FieldValues();
    p.Links().RequestFromHamlog(functionKey);
    p.ReportFieldChanges(before);
    Pump();
}

void Station::StoreSpeedPreset() {
    parts_->Keying.Controls().StoreSpeedPreset();
}

void Station::RecallSpeedPreset() {
    view_.SetTransmitSpeedLabel(parts_->Keying.Controls().RecallSpeedPreset());
}

int Station::SpeedPreset() const {
    return parts_->Keying.Controls().SpeedPreset();
}

void Station::SpeedFromReceived(std::string_view receiveSpeedLabel) {
    view_.SetTransmitSpeedLabel(
        parts_->Keying.Controls().SpeedFromReceived(std::string(receiveSpeedLabel)));
}

void Station::ResetSendMark() {
    parts_->Receiver.ResetSendMark();
}

std::string Station::MacroHoverText(int label) {
    return parts_->Macros.HoverText(label);
}

}  // namespace morvane::station
