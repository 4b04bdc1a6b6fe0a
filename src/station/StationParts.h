// The parts of the station and the callbacks the subsystems make into it;
// private to the station's own files.
#pragma once

#include <array>
#include <chrono>

#include "qso/CountryLookup.h"
#include "qso/LogTransfer.h"
#include "qso/LoggerPtt.h"
#include "qso/MacroLinks.h"
#include "receive/CaptureThread.h"
#include "settings/ApplySettings.h"
#include "settings/MacroSettings.h"
#include "station/NullDevices.h"
#include "station/Station.h"
#include "station/StationKeying.h"
#include "station/StationReceiver.h"
#include "transmit/TrafficLog.h"

namespace morvane::station {

inline constexpr std::string_view kTitle = " Morvane V30.3.4 ";
inline constexpr std::string_view kHamlogSuffix = "  [Link to Turbo HamLog]";
inline constexpr std::string_view kCtestwinSuffix = "  [Link to CTestWin]";
inline constexpr std::string_view kBothSuffix = "  [Link to Hamlog & CTestWin]";
// The title's look for the logging programs runs on the view thread every
// eleven seconds, so it gets a much shorter bound than the link operations:
// a program that does not answer within it counts as not running until it does.
inline constexpr std::chrono::milliseconds kTitleLookTimeout{200};

std::tm ToTm(const macros::CivilTime& t);

// Every interface the subsystems call back through, on the view thread.
struct Station::Parts final : macros::MacroHost,
                              qso::QsoFieldEvents,
                              qso::LinkView,
                              settings::StationWindow,
                              settings::KeyingPortControl,
                              settings::CaptureControl,
                              settings::OptionDialogHost {
    Parts(Station& owner, StationConfig config, StationView& view)
        : Owner(owner),
          View(view),
          Config(std::move(config)),
          Clock(Config.Clock != nullptr ? *Config.Clock : SystemTime),
          Log({.LocalTime = [this] { return ToTm(Clock.Now().Local); },
               .ClockText = [this] { return Owner.clockText_; }}),
          ReceiveText(&Log),
          Receiver(Windows, owner.receiveEnabled_),
          Fields(*this),
          Hours(Clock),
          Macros(*this, owner.document_, Clock, Hours),
          MacroSettings(Macros),
          Templates(Macros.Expander(), [this] { return Macros.Fields(); }),
          Transfer(Fields, LoggerDesktopWindows(),
                   Config.Loggers.CodePage != nullptr ? *Config.Loggers.CodePage : Plain, Templates,
                   *this, Clock,
                   Config.KeyingTimer ? static_cast<const qso::Sleeper&>(RealSleep)
                                      : static_cast<const qso::Sleeper&>(Instant)),
          LoggerPtt(Config.Port != nullptr ? static_cast<transmit::KeyOutput&>(*Config.Port)
                                           : static_cast<transmit::KeyOutput&>(NoPort),
                    LoggerDesktopWindows(), Transfer.Hamlog().HamlogLinked),
          Keying(&LoggerPtt, Config.KeyMonitor, Windows, Receiver, Macros, owner.document_) {}

    platform::LoggerWindows& LoggerDesktopWindows() {
        return Config.Loggers.Windows != nullptr ? *Config.Loggers.Windows : NoWindows;
    }

    transmit::EchoMode EchoModeNow() const {
        return const_cast<StationKeying&>(Keying).Echo().Mode();
    }
    settings::ApplyTargets Targets() {
        return {*this, MacroSettings, *this, *this, Receiver, Keying};
    }
    bool FieldHasFocus() const { return Fields.FieldHasFocus; }
    void ReturnFocus() {
        if (!FieldHasFocus())
            View.FocusTxEdit();
    }
    void ApplyOptions();
    void OpenTrafficLogIfChosen();
    void StartCapture();
    void StopCapture();
    // Field values before an operation, to report what it changed.
    std::array<std::string, kStationFieldCount> FieldValues() const;
    void ReportFieldChanges(const std::array<std::string, kStationFieldCount>& before);
    std::string& FieldRef(StationField field);
    const std::string& FieldRef(StationField field) const {
        return const_cast<Parts*>(this)->FieldRef(field);
    }
    void RunFunctionKey(int key);
    void RebuildTitle();
    void SetLinkButtons(bool save, bool time);
    // The links read contest mode, templates and QSL texts from the macros
    // and options at the moment of an operation.
    qso::LogTransfer& Links();
    std::string SettingText(int index) const;

    // macros::MacroHost
    macros::ExpansionFields QsoFields() override;
    void FocusHisCall() override { View.FocusHisCall(); }
    void FocusTxEdit() override { ReturnFocus(); }
    void EmptyHisCall() override { Fields.SetText(qso::QsoField::HisCall, ""); }
    void AppendToTransmit(std::string_view text) override { Keying.Text().Append(text); }
    void ClearTransmitText() override { Keying.Controls().ClearTransmit(false); }
    void ClearMonitor() override { Keying.Controls().ClearMonitor(); }
    void SetAutoCqLabelEnabled(bool enabled) override { View.SetMacroLabelEnabled(0, enabled); }
    void SetLabelEnabled(int label, bool enabled) override {
        View.SetMacroLabelEnabled(label, enabled);
    }
    void ShowLabel(int label, const macros::LabelView& view) override {
        View.ShowMacroLabel(label, view);
    }
    void ShowSendNr(std::string_view text) override { View.ShowSendNr(text); }
    void SetQsoGroupCaptions(std::string_view name, std::string_view qth) override {
        View.SetQsoGroupCaptions(name, qth);
    }
    void ShowContestFields(bool contest) override { View.ShowContestFields(contest); }
    void ResetSendMark() override { Receiver.ResetSendMark(); }

    // qso::QsoFieldEvents
    bool AutoCqRunning() const override {
        return const_cast<macros::MacroController&>(Macros).AutoCqCounters().Running();
    }
    void StopAutoCq() override { Macros.StopAutoCqAndClear(); }
    void EmptyClipboard() override { View.EmptyClipboard(); }

    // qso::LinkView
    void ShowMessageBox(std::string_view text, qso::MessageIcon icon) override {
        View.ShowMessage(text, icon == qso::MessageIcon::Exclamation ? MessageIcon::Exclamation
                                                                     : MessageIcon::None);
    }
    void AppendWarningLine(std::string_view text) override {
        Windows.Push(text::command::LinkMessage{std::string(text)});
    }
    void Beep() override { View.Beep(); }
    void SetSaveEnabled(bool enabled) override {
        SaveEnabled = enabled;
        View.SetLinkButtons(SaveEnabled, TimeEnabled);
    }
    void SetTimeButtonEnabled(bool enabled) override {
        TimeEnabled = enabled;
        View.SetLinkButtons(SaveEnabled, TimeEnabled);
    }

    // settings::StationWindow
    void SetTitleFileName(std::string_view part) override { TitleFile = part; }
    void ShowMessage(std::string_view text) override { View.ShowMessage(text, MessageIcon::None); }
    char MonitorMode() const override { return static_cast<char>(EchoModeNow()); }
    void ApplyOptionEffects(const settings::OptionEffects& effects) override;
    void SetWebLink(int entry, std::string_view text) override {
        WebLinks[static_cast<std::size_t>(entry - common::WebLinkEntry(0, 0))] = text;
    }

    // settings::KeyingPortControl
    bool OpenKeyingPort(std::string_view name) override;
    void SetPortCaption(std::string_view caption) override { View.SetPortCaption(caption); }
    void SelectPort(std::string_view) override {}
    void SetKeyLine(settings::KeyLine line) override;

    // settings::CaptureControl
    void SelectCaptureDevice(std::string_view name) override;
    void SelectInputChannel(settings::InputChannel channel) override;

    // settings::OptionDialogHost
    void SetReceivePaused(bool paused) override { Owner.receiveEnabled_.store(!paused); }
    bool StartTrafficLog(const std::filesystem::path&, std::string_view) override;

    Station& Owner;
    StationView& View;
    StationConfig Config;
    macros::SystemClock SystemTime;
    const macros::StationClock& Clock;
    NoLoggerWindows NoWindows;
    NoKeyPort NoPort;
    PlainCodePage Plain;
    qso::ThreadSleeper RealSleep;
    NoSleep Instant;

    text::WindowCommandQueue Windows;
    transmit::TrafficLog Log;
    text::ReceiveWindow ReceiveText;
    text::MonitorWindow MonitorText;
    StationReceiver Receiver;
    qso::QsoFields Fields;
    qso::CountryLookup Lookup;
    qso::CountryGreetingHours Hours;
    macros::MacroController Macros;
    settings::MacroControllerSettings MacroSettings;
    qso::MacroTemplateExpander Templates;
    qso::LogTransfer Transfer;
    // PTT through HamLog when the options say so and the link is up; keying
    // itself goes on to the port. Its thread stops after the keying's.
    qso::LoggerPttOutput LoggerPtt;
    StationKeying Keying;

    std::unique_ptr<receive::CaptureThread> Capture;
    bool CaptureOpen = false;
    std::unique_ptr<KeyingTimer> Timer;
    bool Started = false;
    bool ShutDown = false;
    bool SaveEnabled = false;
    bool TimeEnabled = false;

    // What the view was last told, for Pump.
    std::size_t ShownKeyed = transmit::kTransmitPrefixLength;
    std::uint64_t ShownGeneration = 0;
    std::string ShownTransmit;  // the view starts blank, so the first Pump reports "TX> "
    std::size_t ShownReceive = 0;
    std::size_t ShownMonitor = 0;

    // Receive side: the receive text was changed inside (a re-read selection),
    // so the view repaints it whole; the language the buttons show and the
    // decoder's language at the last Pump.
    bool ReceiveRewritten = false;
    bool LanguageJapanese = false;
    char SettingLanguageSeen = 'E';
    decode::RxLanguage DecoderLanguageSeen = decode::RxLanguage::English;

    int TitleTick = 0;
    bool ColonPhase = false;
    macros::CivilTime StopwatchStart{};
    bool Abroad = false;
    int LinkMode = 1;
    int PttLeadMs = 0;
    bool PttByLogger = false;
    std::string TitleFile;
    bool HamlogUp = false;
    bool CtestwinUp = false;
    std::string Greeting = "GE";
    std::string MyWX = "FINE";
    std::string KeyPort;
    std::string KeyLine = "RTS";
    std::string CaptureDevice;
    int InputChannel = 1;
    std::array<std::string, 2 * common::kWebLinkCount> WebLinks{};
};

}  // namespace morvane::station
