// The station's receive window and receive controls: the focus hold, a
// selection taken into the QSO fields or re-read in the other alphabet, the
// language buttons and the receive speed. See Station.h.
#include "decode/CharacterDecoder.h"
#include "station/Station.h"
#include "station/StationParts.h"

namespace morvane::station {

namespace {

using common::EntryId;

std::string LanguageSetting(bool japanese, char autoSwitch) {
    return std::string(1, japanese ? 'J' : 'E') + autoSwitch;
}

}  // namespace

void Station::ReceiveFocusGained() {
    Parts& p = *parts_;
    Pump();  // text decoded so far is shown before the hold starts
    p.Fields.InputTarget = "Rich";
    p.ReceiveText.FocusGained();
}

void Station::ReceiveFocusLost(std::size_t selectionStart, std::size_t selectionEnd) {
    Parts& p = *parts_;
    // Commands still queued belong after the hold: they are applied (and
    // held) first, so the positions the view reports still match the model.
    Pump();
    text::TextWindow& window = p.ReceiveText.Window();
    window.Select(selectionStart, selectionEnd);
    p.Fields.OnReceiveWindowFocusLost(window.Text(), window.SelectionStart(), window.SelectedText(),
                                      p.Receiver.Settings().SpaceDelete);
    p.ReceiveText.FocusLost();
    Pump();
}

bool Station::PressLanguageButton(bool japanese) {
    Parts& p = *parts_;
    Pump();
    // The selection waits in two buffers: the field's copy goes now, the
    // re-reading's copy when it is used.
    const bool reread = !p.Fields.SelectionBufferCopy.empty();
    p.Fields.SelectionBuffer.clear();
    if (reread) {
        p.Fields.SelectionBufferCopy.clear();
        const std::string selected = p.ReceiveText.RememberedSelectionText();
        if (!selected.empty()) {
            p.ReceiveText.ReplaceRememberedSelection(
                decode::ReReadWithKanaKeys(selected, p.Receiver.Settings().Katakana));
            p.ReceiveRewritten = true;
        }
    } else {
        p.LanguageJapanese = japanese;
        ChangeSetting(EntryId::RxLanguage,
                      LanguageSetting(japanese, p.Receiver.Settings().AutoSwitch));
    }
    Pump();
    return p.LanguageJapanese;
}

bool Station::ReceiveJapanese() const {
    return parts_->LanguageJapanese;
}

void Station::SetReceiveSpeedStep(int step) {
    Parts& p = *parts_;
    const std::string label = p.Receiver.SetSpeedStep(step);
    view_.ShowReceiveSpeed(label, p.Receiver.Settings().SpeedStep);
}

int Station::ReceiveSpeedStep() const {
    return parts_->Receiver.Settings().SpeedStep;
}

void Station::ReportReceiveControls() {
    Parts& p = *parts_;
    if (auto speed = p.Receiver.TakeSpeedToShow())
        view_.ShowReceiveSpeed(speed->first, speed->second);
    // A data file or the buttons set the language...
    const char setting = p.Receiver.Settings().Language;
    if (setting != p.SettingLanguageSeen) {
        p.SettingLanguageSeen = setting;
        p.LanguageJapanese = setting == 'J';
    }
    // ...and the decoder switches it on bracket signs. Only a change of the
    // decoder's own language is news there: a setting
    // reaches the decoder a block later and must not be undone meanwhile.
    const decode::RxLanguage language = p.Receiver.DecoderLanguage();
    if (language != p.DecoderLanguageSeen) {
        p.DecoderLanguageSeen = language;
        const bool japanese = language == decode::RxLanguage::Japanese;
        if (japanese != p.LanguageJapanese) {
            p.LanguageJapanese = japanese;
            view_.ShowReceiveLanguage(japanese);
        }
    }
}

}  // namespace morvane::station
