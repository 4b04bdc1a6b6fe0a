// Reading each entry back from the subsystem that holds it: the other half
// of the entry table's contract (ApplyEntry writes, this reads).
#include <cstdio>

#include "station/StationParts.h"

namespace morvane::station {

namespace {

using common::EntryId;

std::string Word(EntryId id, std::size_t k) {
    return std::string(common::RowOf(id).Words[k]);
}

std::string Switch(EntryId id, bool on) {
    return Word(id, on ? 0 : 1);
}

std::string OneDecimal(double value) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

}  // namespace

std::string Station::SettingText(int index) const {
    return parts_->SettingText(index);
}

std::string Station::Parts::SettingText(int index) const {
    const auto& store = const_cast<macros::MacroController&>(Macros).Store();
    if (index >= 1 && index <= common::MacroTextEntry(common::kMacroCount)) {
        if (store.ContestMode && index >= 13 && index <= 15) {
            const std::string* templates[] = {&store.SendNrTemplate, &store.Remarks1Template,
                                              &store.Remarks2Template};
            return *templates[index - 13];
        }
        return store.MacroText[static_cast<std::size_t>(index)];
    }
    if (index <= common::MacroLabelEntry(common::kMacroCount)) {
        return store.MacroCaption[static_cast<std::size_t>(index - common::MacroLabelEntry(0))];
    }
    if (index <= common::MacroColourEntry(common::kMacroCount)) {
        return std::to_string(
            store.MacroColour[static_cast<std::size_t>(index - common::MacroColourEntry(0))]);
    }
    if (index >= common::WebLinkEntry(0, 0) &&
        index <= common::WebLinkEntry(common::kWebLinkCount - 1, 1)) {
        return WebLinks[static_cast<std::size_t>(index - common::WebLinkEntry(0, 0))];
    }
    auto& keying = const_cast<StationKeying&>(Keying);
    auto& chain = const_cast<StationReceiver&>(Receiver).Chain().Options();
    const ReceiveSettings& rx = Receiver.Settings();
    const settings::OptionState& o = Owner.options_;
    const transmit::Weights weights = keying.Engine().CurrentWeights();
    switch (static_cast<EntryId>(index)) {
        case EntryId::OptionString:
            return o.Options;
        case EntryId::MyCall:
            return o.Texts.MyCall;
        case EntryId::MyName:
            return o.Texts.MyName;
        case EntryId::MyQTH:
            return o.Texts.MyQTH;
        case EntryId::Others:
            return o.Texts.Others;
        case EntryId::KeyPort:
            return KeyPort;
        case EntryId::KeyLine:
            return KeyLine;
        case EntryId::InputChannel:
            return Word(EntryId::InputChannel, Receiver.Channel() == 1 ? 0 : 1);
        case EntryId::TxSpeed:
            return std::to_string(keying.Controls().SpeedPreset());
        case EntryId::LevelDisplay:
            return Word(EntryId::LevelDisplay,
                        chain.LevelDisplayMode.load() == receive::LevelMode::CW ? 0 : 1);
        case EntryId::GraphicMode:
            return Word(EntryId::GraphicMode,
                        static_cast<std::size_t>(chain.ToneDisplayMode.load()));
        case EntryId::InputVolume:
            return std::to_string(rx.InputVolume);
        case EntryId::NoiseReduction:
            return Word(EntryId::NoiseReduction, chain.Nr1On ? 0 : chain.Nr2On ? 1 : 2);
        case EntryId::QrmFilter:
            return Switch(EntryId::QrmFilter, chain.QrmFilterOn);
        case EntryId::ThresholdDb:
            return std::to_string(chain.Threshold.load());
        case EntryId::ToneCentre:
            switch (rx.Tone.Mode) {
                case settings::ToneCentre::Kind::Auto:
                    return chain.ToneAuto ? Word(EntryId::ToneCentre, 0) : "?";
                case settings::ToneCentre::Kind::AutoOff:
                    return Word(EntryId::ToneCentre, 1);
                case settings::ToneCentre::Kind::Fixed:
                    return std::to_string(rx.Tone.Hz);
            }
            return {};
        case EntryId::CaptureDevice:
            return CaptureDevice;
        case EntryId::KeyMode:
            return Word(EntryId::KeyMode,
                        static_cast<std::size_t>(keying.Engine().CurrentKeyMode()));
        case EntryId::SpaceDel:
            return Switch(EntryId::SpaceDel, rx.SpaceDelete);
        case EntryId::RxLanguage:
            return std::string{rx.Language, rx.AutoSwitch};
        case EntryId::Extend:
            return Switch(EntryId::Extend, rx.Extend);
        case EntryId::AutoThreshold:
            return Switch(EntryId::AutoThreshold, chain.ThresholdAuto);
        case EntryId::TxClearAuto:
            return Switch(EntryId::TxClearAuto, keying.Controls().TxClearAuto());
        case EntryId::TxClearDelay: {
            char text[8];
            std::snprintf(text, sizeof text, "%02d", keying.Controls().AutoClearDelayS());
            return text;
        }
        case EntryId::AutoCqText:
            return store.MacroText[0];
        case EntryId::RxAutoSpeed:
            return Switch(EntryId::RxAutoSpeed, rx.AutoSpeed);
        case EntryId::QslText:
            return o.Texts.Qsl;
        case EntryId::DotRatio:
            return OneDecimal(weights.Dot);
        case EntryId::DashRatio:
            return OneDecimal(weights.Dash);
        case EntryId::CharSpaceRatio:
            return OneDecimal(weights.CharSpace);
        case EntryId::WordSpaceRatio:
            return OneDecimal(weights.WordSpace);
        case EntryId::AutoCqTimes:
            return Macros.AutoCqTimes();
        case EntryId::ContestName:
            return o.Texts.ContestName;
        case EntryId::ContestMode:
            return Switch(EntryId::ContestMode, store.ContestMode);
        case EntryId::ContestNumber:
            return Macros.ContestNumber();
        case EntryId::QslPrefix:
            return o.Texts.QslPrefix;
        default:
            return {};
    }
}

}  // namespace morvane::station
