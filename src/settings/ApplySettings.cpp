// Applying the settings document; see ApplySettings.h.
#include "settings/ApplySettings.h"

#include "macros/MacroExpansion.h"

namespace morvane::settings {

namespace {

using macros::ParseDecimal;

// An on/off entry of the skipped-when-empty kind: on only for its ON word.
template <typename Setter>
void ApplySwitch(const std::string& value, std::string_view onWord, Setter set) {
    if (!value.empty()) {
        set(value == onWord);
    }
}

void ApplyPort(const SettingsDocument& doc, ApplyTargets& t) {
    const std::string& port = doc.Entry(96);
    if (!port.empty()) {
        bool usb = port == "USBIF";
        if (!t.Port.OpenKeyingPort(port)) {
            t.Window.ShowMessage(usb ? kUsbNotFoundMessage : kPortNotOpenedMessage);
        } else {
            t.Port.SetPortCaption(usb ? "USBIF4CW" : "COM Port");
        }
        t.Port.SelectPort(port);
    }
    const std::string& line = doc.Entry(97);
    if (line == "RTS") {
        t.Port.SetKeyLine(KeyLine::Rts);
    } else if (line == "DTR") {
        t.Port.SetKeyLine(KeyLine::Dtr);
    } else if (line == "UNO") {
        t.Port.SetKeyLine(KeyLine::Uno);
    }
}

void ApplyCapture(const SettingsDocument& doc, ApplyTargets& t) {
    if (!doc.Entry(107).empty()) {
        t.Capture.SelectCaptureDevice(doc.Entry(107));
    }
    const std::string& channel = doc.Entry(98);
    if (channel == "RightTone") {
        t.Capture.SelectInputChannel(InputChannel::Right);
    } else if (channel == "LeftTone") {
        t.Capture.SelectInputChannel(InputChannel::Left);
    }
}

ToneCentre ParseToneCentre(const std::string& value) {
    if (value == "ToneAUTO") {
        return {};
    }
    if (value == "ToneAutoOff") {
        return {.Mode = ToneCentre::Kind::AutoOff, .Hz = 0};
    }
    return {.Mode = ToneCentre::Kind::Fixed, .Hz = ParseDecimal(value)};
}

int TypingModeFor(const std::string& word) {
    if (word == "TXENG")
        return 0;
    if (word == "DIRECT")
        return 1;
    if (word == "IME")
        return 2;
    if (word == "KANA")
        return 3;
    return -1;
}

void ApplyReceiveAndTyping(const SettingsDocument& doc, OptionState& state, ApplyTargets& t) {
    auto entry = [&](int index) -> const std::string& { return doc.Entry(index); };
    ReceiveOptions& rx = t.Receive;
    if (entry(100) == "CW")
        rx.SetLevelDisplay(LevelDisplay::Cw);
    if (entry(100) == "Signal")
        rx.SetLevelDisplay(LevelDisplay::Signal);
    if (entry(101) == "Sine")
        rx.SetGraphicMode(GraphicMode::Sine);
    if (entry(101) == "Synchro")
        rx.SetGraphicMode(GraphicMode::Synchro);
    if (entry(101) == "FFT")
        rx.SetGraphicMode(GraphicMode::Fft);
    if (!entry(102).empty())
        rx.SetInputVolume(ParseDecimal(entry(102)));
    if (!entry(103).empty()) {
        rx.SetNoiseReduction(entry(103) == "NoiseON1" ? 1 : entry(103) == "NoiseON2" ? 2 : 0);
    }
    ApplySwitch(entry(104), "QRMON", [&](bool on) { rx.SetQrmFilter(on); });
    if (!entry(105).empty())
        rx.SetThresholdDb(ParseDecimal(entry(105)));
    if (!entry(106).empty())
        rx.SetToneCentre(ParseToneCentre(entry(106)));
    if (int mode = TypingModeFor(entry(108)); mode >= 0)
        t.Transmit.SetTypingMode(mode);
    ApplySwitch(entry(109), "SpaceDelON", [&](bool on) { rx.SetSpaceDelete(on); });
    const std::string& language = entry(110);
    if (language.size() == 2 && (language[0] == 'E' || language[0] == 'J')) {
        rx.SetReceiveLanguage(language[0], language[1]);
    }
    ApplySwitch(entry(111), "ExtendON", [&](bool on) { rx.SetExtend(on); });
    rx.SetAutoThreshold(entry(112) == "ThreON");
    ApplySwitch(entry(113), "TxClearAutoON", [&](bool on) { t.Transmit.SetTxClearAuto(on); });
    if (!entry(114).empty()) {
        int seconds = ParseDecimal(entry(114));
        if (seconds <= 30) {
            t.Transmit.SetTxClearDelay(seconds);
        }
    }
    ApplySwitch(entry(116), "rxautoON", [&](bool on) { rx.SetAutoReceiveSpeed(on); });
    state.Texts.Qsl = entry(117);
    state.Texts.QslPrefix = entry(142);
}

void ApplyMacros(const SettingsDocument& doc, ApplyTargets& t) {
    t.Macros.SetAutoCqText(doc.Entry(115));
    const bool contest = t.Macros.ContestMode();
    for (int k = 1; k <= 30; ++k) {
        const std::string& text = doc.Entry(k);
        if (text.empty()) {
            continue;
        }
        if (contest && k >= 13 && k <= 15) {
            t.Macros.SetContestTemplate(k - 13, text);
        } else {
            t.Macros.SetMacroText(k, text);
        }
    }
    for (int k = 1; k <= 30; ++k) {
        if (!doc.Entry(30 + k).empty()) {
            t.Macros.SetMacroCaption(k, doc.Entry(30 + k));
        }
    }
    for (int k = 1; k <= 30; ++k) {
        if (!doc.Entry(60 + k).empty()) {
            t.Macros.SetMacroColour(k, ParseDecimal(doc.Entry(60 + k)));
        }
    }
}

}  // namespace

std::string TitleFilePart(std::string_view documentPath) {
    std::size_t slash = documentPath.find_last_of("\\/");
    std::string_view name =
        slash == std::string_view::npos ? documentPath : documentPath.substr(slash + 1);
    return " (" + std::string(name) + ")";
}

void ApplySettings(const SettingsDocument& doc, std::string_view documentPath, OptionState& state,
                   ApplyTargets& t) {
    t.Window.SetTitleFileName(TitleFilePart(documentPath));
    state.DataFilePath = std::string(documentPath);

    t.Macros.SetContestMode(doc.Entry(124) == "ContestON");
    ApplyMacros(doc, t);

    const std::string& stored = doc.Entry(91);
    if (!stored.empty() && stored != state.Options) {
        std::string options = CompleteOptionString(stored, state.Options);
        if (options != state.Options) {
            state.Options = options;
            t.Window.ApplyOptionEffects(DecodeOptionEffects(options, t.Window.MonitorMode()));
        }
    }
    state.Texts.MyCall = doc.Entry(92);
    state.Texts.MyName = doc.Entry(93);
    state.Texts.MyQTH = doc.Entry(94);
    state.Texts.Others = doc.Entry(95);

    ApplyPort(doc, t);
    ApplyCapture(doc, t);
    ApplyReceiveAndTyping(doc, state, t);

    t.Transmit.SelectRatio(RatioCombo::Dot, doc.Entry(118));
    t.Transmit.SelectRatio(RatioCombo::Dash, doc.Entry(119));
    t.Transmit.SelectRatio(RatioCombo::CharSpace, doc.Entry(120));
    if (!doc.Entry(121).empty()) {
        t.Transmit.SelectRatio(RatioCombo::WordSpace, doc.Entry(121));
    }
    if (!doc.Entry(99).empty()) {
        t.Transmit.SetSpeedStep(ParseDecimal(doc.Entry(99)));
    }

    const std::string& times = doc.Entry(122);
    t.Macros.SetAutoCqTimes(times.empty() ? kDefaultAutoCqTimes : std::string_view(times));
    if (!doc.Entry(123).empty()) {
        state.Texts.ContestName = doc.Entry(123);
    }
    if (t.Macros.ContestMode()) {
        if (!doc.Entry(125).empty()) {
            t.Macros.SetContestNumber(doc.Entry(125));
        }
        t.Macros.RefreshSendNr();
    }

    for (int entry = 126; entry <= 141; ++entry) {
        if (!doc.Entry(entry).empty()) {
            t.Window.SetWebLink(entry, doc.Entry(entry));
        }
    }
    t.Receive.ClearReceiveText();
}

}  // namespace morvane::settings
