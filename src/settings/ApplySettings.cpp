// Applying the settings document; see ApplySettings.h.
#include "settings/ApplySettings.h"

#include <array>

#include "macros/MacroExpansion.h"

namespace morvane::settings {

namespace {

using common::EntryId;
using common::RowOf;
using macros::ParseDecimal;

// The position of `value` among the entry's words, -1 when it is none of them.
int WordIndex(EntryId id, std::string_view value) {
    const auto& words = RowOf(id).Words;
    for (std::size_t k = 0; k < words.size() && !words[k].empty(); ++k) {
        if (words[k] == value) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

// A switch's ON word.
bool IsOn(EntryId id, std::string_view value) {
    return value == RowOf(id).Words[0];
}

ToneCentre ParseToneCentre(const std::string& value) {
    switch (WordIndex(EntryId::ToneCentre, value)) {
        case 0:
            return {};
        case 1:
            return {.Mode = ToneCentre::Kind::AutoOff, .Hz = 0};
        default:
            return {.Mode = ToneCentre::Kind::Fixed, .Hz = ParseDecimal(value)};
    }
}

void ApplyPort(const std::string& port, ApplyTargets& t) {
    const bool usb = port == "USBIF";
    if (!t.Port.OpenKeyingPort(port)) {
        t.Window.ShowMessage(usb ? kUsbNotFoundMessage : kPortNotOpenedMessage);
    } else {
        t.Port.SetPortCaption(usb ? "USBIF4CW" : "COM Port");
    }
    t.Port.SelectPort(port);
}

void ApplyOptionString(const std::string& stored, OptionState& state, ApplyTargets& t) {
    if (stored == state.Options) {
        return;
    }
    std::string options = CompleteOptionString(stored, state.Options);
    if (options != state.Options) {
        state.Options = options;
        t.Window.ApplyOptionEffects(DecodeOptionEffects(options, t.Window.MonitorMode()));
    }
}

void ApplyMacroRange(int index, const std::string& value, ApplyTargets& t) {
    if (index <= common::MacroTextEntry(common::kMacroCount)) {
        const int k = index;
        if (t.Macros.ContestMode() && k >= 13 && k <= 15) {
            t.Macros.SetContestTemplate(k - 13, value);
        } else {
            t.Macros.SetMacroText(k, value);
        }
    } else if (index <= common::MacroLabelEntry(common::kMacroCount)) {
        t.Macros.SetMacroCaption(index - common::MacroLabelEntry(0), value);
    } else {
        t.Macros.SetMacroColour(index - common::MacroColourEntry(0), ParseDecimal(value));
    }
}

void ApplyReceiveEntry(EntryId id, const std::string& value, ReceiveOptions& rx) {
    switch (id) {
        case EntryId::LevelDisplay:
            if (int k = WordIndex(id, value); k >= 0)
                rx.SetLevelDisplay(k == 0 ? LevelDisplay::Cw : LevelDisplay::Signal);
            break;
        case EntryId::GraphicMode:
            if (int k = WordIndex(id, value); k >= 0)
                rx.SetGraphicMode(static_cast<GraphicMode>(k));
            break;
        case EntryId::InputVolume:
            rx.SetInputVolume(ParseDecimal(value));
            break;
        case EntryId::NoiseReduction: {
            int k = WordIndex(id, value);
            rx.SetNoiseReduction(k == 0 ? 1 : k == 1 ? 2 : 0);
            break;
        }
        case EntryId::QrmFilter:
            rx.SetQrmFilter(IsOn(id, value));
            break;
        case EntryId::ThresholdDb:
            rx.SetThresholdDb(ParseDecimal(value));
            break;
        case EntryId::ToneCentre:
            rx.SetToneCentre(ParseToneCentre(value));
            break;
        case EntryId::SpaceDel:
            rx.SetSpaceDelete(IsOn(id, value));
            break;
        case EntryId::RxLanguage:
            if (value.size() == 2 && (value[0] == 'E' || value[0] == 'J'))
                rx.SetReceiveLanguage(value[0], value[1]);
            break;
        case EntryId::Extend:
            rx.SetExtend(IsOn(id, value));
            break;
        case EntryId::AutoThreshold:
            rx.SetAutoThreshold(IsOn(id, value));
            break;
        case EntryId::RxAutoSpeed:
            rx.SetAutoReceiveSpeed(IsOn(id, value));
            break;
        default:
            break;
    }
}

void ApplyTransmitEntry(EntryId id, const std::string& value, TransmitOptions& tx) {
    switch (id) {
        case EntryId::KeyMode:
            if (int k = WordIndex(id, value); k >= 0)
                tx.SetTypingMode(static_cast<common::KeyMode>(k));
            break;
        case EntryId::TxClearAuto:
            tx.SetTxClearAuto(IsOn(id, value));
            break;
        case EntryId::TxClearDelay:
            if (int seconds = ParseDecimal(value); seconds <= 30)
                tx.SetTxClearDelay(seconds);
            break;
        case EntryId::DotRatio:
            tx.SelectRatio(RatioCombo::Dot, value);
            break;
        case EntryId::DashRatio:
            tx.SelectRatio(RatioCombo::Dash, value);
            break;
        case EntryId::CharSpaceRatio:
            tx.SelectRatio(RatioCombo::CharSpace, value);
            break;
        case EntryId::WordSpaceRatio:
            tx.SelectRatio(RatioCombo::WordSpace, value);
            break;
        case EntryId::TxSpeed:
            tx.SetSpeedStep(ParseDecimal(value));
            break;
        default:
            break;
    }
}

// Entries applied by steps 8 and 9 of the order, after port and capture.
constexpr std::array kReceiveAndTransmitOrder = {
    EntryId::LevelDisplay,   EntryId::GraphicMode,  EntryId::InputVolume, EntryId::NoiseReduction,
    EntryId::QrmFilter,      EntryId::ThresholdDb,  EntryId::ToneCentre,  EntryId::KeyMode,
    EntryId::SpaceDel,       EntryId::RxLanguage,   EntryId::Extend,      EntryId::AutoThreshold,
    EntryId::TxClearAuto,    EntryId::TxClearDelay, EntryId::RxAutoSpeed, EntryId::QslText,
    EntryId::QslPrefix,      EntryId::DotRatio,     EntryId::DashRatio,   EntryId::CharSpaceRatio,
    EntryId::WordSpaceRatio, EntryId::TxSpeed,
};

}  // namespace

std::string TitleFilePart(std::string_view documentPath) {
    std::size_t slash = documentPath.find_last_of("\\/");
    std::string_view name =
        slash == std::string_view::npos ? documentPath : documentPath.substr(slash + 1);
    return " (" + std::string(name) + ")";
}

void ApplyEntry(int index, const std::string& stored, OptionState& state, ApplyTargets& t) {
    if (index < 1 || index > common::kEntryCount) {
        return;
    }
    const common::EntryRow& entryRow = RowOf(index);
    using enum common::ApplyRule;
    if (entryRow.Rule == NotUsed || (entryRow.Rule == SkippedWhenEmpty && stored.empty())) {
        return;
    }
    const std::string value = entryRow.Rule == DefaultWhenEmpty && stored.empty()
                                  ? std::string(entryRow.EmptyAs)
                                  : stored;
    if (index <= common::MacroColourEntry(common::kMacroCount)) {
        ApplyMacroRange(index, value, t);
        return;
    }
    if (index >= common::WebLinkEntry(0, 0) &&
        index <= common::WebLinkEntry(common::kWebLinkCount - 1, 1)) {
        t.Window.SetWebLink(index, value);
        return;
    }
    const auto id = static_cast<EntryId>(index);
    switch (id) {
        case EntryId::OptionString:
            ApplyOptionString(value, state, t);
            return;
        case EntryId::MyCall:
            state.Texts.MyCall = value;
            return;
        case EntryId::MyName:
            state.Texts.MyName = value;
            return;
        case EntryId::MyQTH:
            state.Texts.MyQTH = value;
            return;
        case EntryId::Others:
            state.Texts.Others = value;
            return;
        case EntryId::QslText:
            state.Texts.Qsl = value;
            return;
        case EntryId::QslPrefix:
            state.Texts.QslPrefix = value;
            return;
        case EntryId::ContestName:
            state.Texts.ContestName = value;
            return;
        case EntryId::KeyPort:
            ApplyPort(value, t);
            return;
        case EntryId::KeyLine:
            if (int k = WordIndex(id, value); k >= 0)
                t.Port.SetKeyLine(static_cast<KeyLine>(k));
            return;
        case EntryId::CaptureDevice:
            t.Capture.SelectCaptureDevice(value);
            return;
        case EntryId::InputChannel:
            if (int k = WordIndex(id, value); k >= 0)
                t.Capture.SelectInputChannel(k == 0 ? InputChannel::Right : InputChannel::Left);
            return;
        case EntryId::AutoCqText:
            t.Macros.SetAutoCqText(value);
            return;
        case EntryId::AutoCqTimes:
            t.Macros.SetAutoCqTimes(value);
            return;
        case EntryId::ContestMode:
            t.Macros.SetContestMode(IsOn(id, value));
            return;
        case EntryId::ContestNumber:
            if (t.Macros.ContestMode())
                t.Macros.SetContestNumber(value);
            return;
        default:
            ApplyReceiveEntry(id, value, t.Receive);
            ApplyTransmitEntry(id, value, t.Transmit);
            return;
    }
}

void ApplySettings(const SettingsDocument& doc, std::string_view documentPath, OptionState& state,
                   ApplyTargets& t) {
    auto apply = [&](int index) { ApplyEntry(index, doc.Entry(index), state, t); };
    auto applyId = [&](EntryId id) { apply(common::Index(id)); };

    t.Window.SetTitleFileName(TitleFilePart(documentPath));
    state.DataFilePath = std::string(documentPath);

    // Contest mode first, so that entries 13 to 15 land where they belong.
    applyId(EntryId::ContestMode);
    applyId(EntryId::AutoCqText);
    for (int index = 1; index <= common::MacroColourEntry(common::kMacroCount); ++index) {
        apply(index);
    }
    for (EntryId id :
         {EntryId::OptionString, EntryId::MyCall, EntryId::MyName, EntryId::MyQTH, EntryId::Others,
          EntryId::KeyPort, EntryId::KeyLine, EntryId::CaptureDevice, EntryId::InputChannel}) {
        applyId(id);
    }
    for (EntryId id : kReceiveAndTransmitOrder) {
        applyId(id);
    }
    applyId(EntryId::AutoCqTimes);
    applyId(EntryId::ContestName);
    applyId(EntryId::ContestNumber);
    if (t.Macros.ContestMode()) {
        t.Macros.RefreshSendNr();
    }
    for (int link = 0; link < common::kWebLinkCount; ++link) {
        apply(common::WebLinkEntry(link, 0));
        apply(common::WebLinkEntry(link, 1));
    }
    t.Receive.ClearReceiveText();
}

}  // namespace morvane::settings
