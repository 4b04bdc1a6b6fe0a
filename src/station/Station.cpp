// The station's commands and clock; see Station.h.
#include "station/Station.h"

#include <cstdio>
#include <utility>

#include "common/Utf8.h"
#include "settings/SettingsFile.h"
#include "station/ClockLine.h"
#include "station/StationParts.h"
#include "text/WindowCommand.h"
#include "transmit/TransmitTags.h"

namespace morvane::station {

namespace {

constexpr int kTitleEveryTicks = 10;  // rebuilt when the count exceeds this

std::string TwoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// Elapsed hours and minutes from `start` to `now`, borrowing as a clock does.
std::pair<int, int> Elapsed(const macros::CivilTime& start, const macros::CivilTime& now) {
    int second = now.Second - start.Second;
    int minute = now.Minute - start.Minute - (second < 0 ? 1 : 0);
    int hour = now.Hour - start.Hour - (minute < 0 ? 1 : 0);
    return {(hour + 24) % 24, (minute + 60) % 60};
}

}  // namespace

Station::Station(StationConfig config, StationView& view)
    : parts_(std::make_unique<Parts>(*this, std::move(config), view)), view_(view) {}

Station::~Station() {
    Shutdown();
}

void Station::Start() {
    Parts& p = *parts_;
    if (p.Started)
        return;
    p.Started = true;
    if (p.Config.Capture != nullptr)
        captureNames_ = p.Config.Capture->DeviceNames();
    if (p.Config.KeyingTimer) {
        p.Timer =
            p.Config.KeyingTimer([&p] { return p.Keying.Engine().KeyingStep(); },
                                 [&p] { p.Keying.Output().KeyUp(), p.Keying.Output().PttOff(); });
        p.Timer->Start(transmit::kInitialTimerPeriodMs);
    }
    p.Windows.Push(text::command::ClearReceive{});
    p.Windows.Push(text::command::ClearMonitor{});
    if (p.Config.Port != nullptr)
        portNames_ = p.Config.Port->ProbePorts();
    // Replies of HamLog arrive on this thread while a request waits for them.
    if (p.Config.Loggers.Windows != nullptr) {
        p.Config.Loggers.Windows->SetCopyDataHandler(
            [&p](const platform::CopyDataMessage& message) {
                return p.Transfer.OnCopyData(message);
            });
    }
    title_ = std::string(kTitle);
    view_.SetTitle(title_);
    RefreshClock();
    view_.SetTransmitSpeedLabel(p.Keying.Controls().SpeedLabel());
    p.SetLinkButtons(false, false);
    Pump();
}

void Station::Shutdown() {
    Parts& p = *parts_;
    if (p.ShutDown)
        return;
    p.ShutDown = true;
    Pump();  // what is queued reaches the window, and so the log, first
    if (p.Log.LogEnabled())
        p.Log.CloseLog(p.ReceiveText.Window());
    receiveEnabled_.store(false);
    if (p.Timer) {
        p.Timer->Stop();  // releases key and PTT on the timer thread
        p.Timer.reset();
    } else {
        p.Keying.Output().KeyUp();
        p.Keying.Output().PttOff();
    }
    // The USB interface and the serial port close together after capture
    // has stopped: one port object holds both.
    p.StopCapture();
    if (p.Config.Port != nullptr)
        p.Config.Port->ClosePorts();
}

std::size_t Station::Pump() {
    Parts& p = *parts_;
    std::size_t handled = 0;
    bool receiveCleared = false;
    bool monitorCleared = false;
    for (text::WindowCommand& command : p.Windows.Drain()) {
        receiveCleared |= std::holds_alternative<text::command::ClearReceive>(command);
        monitorCleared |= std::holds_alternative<text::command::ClearMonitor>(command);
        text::Apply(command, p.ReceiveText, p.MonitorText);
        ++handled;
    }
    receiveCleared |= std::exchange(p.ReceiveRewritten, false);
    ReportReceiveControls();
    auto report = [](const text::TextWindow& window, std::size_t& shown, bool cleared,
                     auto&& tell) {
        const std::size_t length = window.Length();
        if (cleared || length < shown) {
            tell(window.Text(), true);
        } else if (length > shown) {
            tell(window.Slice(shown, length - shown), false);
        }
        shown = length;
    };
    report(p.ReceiveText.Window(), p.ShownReceive, receiveCleared,
           [&](std::string_view text, bool cleared) { view_.ReceiveTextChanged(text, cleared); });
    report(p.MonitorText.Window(), p.ShownMonitor, monitorCleared,
           [&](std::string_view text, bool cleared) { view_.MonitorTextChanged(text, cleared); });

    for (KeyingEvent& event : p.Keying.Events().queue.Drain()) {
        ++handled;
        if (auto* key = std::get_if<keying_event::FunctionKey>(&event)) {
            p.RunFunctionKey(key->Key);
        } else {
            view_.SetTransmitSpeedLabel(p.Keying.Controls().SpeedLabel());
        }
    }

    // Characters keyed since the last pump, and the transmit text itself.
    transmit::TransmitSnapshot tx = p.Keying.Text().Snapshot();
    if (tx.Generation != p.ShownGeneration) {
        p.ShownGeneration = tx.Generation;
        p.ShownKeyed = transmit::kTransmitPrefixLength;
    }
    if (tx.Position > p.ShownKeyed) {
        auto chars = common::SplitUtf8(tx.Text);
        std::vector<std::string_view> views(chars.begin(), chars.end());
        std::string keyed;
        for (std::size_t k = p.ShownKeyed; k < tx.Position && k < chars.size(); ++k) {
            // Tags are consumed, not keyed.
            if (auto tag = transmit::MatchTag(std::span(views).subspan(k))) {
                k += static_cast<std::size_t>(tag->Length) - 1;
                continue;
            }
            keyed += chars[k];
        }
        p.ShownKeyed = tx.Position;
        view_.CharactersKeyed(keyed);
    }
    if (tx.Text != p.ShownTransmit) {
        p.ShownTransmit = tx.Text;
        view_.TransmitTextChanged(tx.Text);
        ShowDirectModeLanguage(tx.Text);
    }
    return handled;
}

void Station::OneSecondTick() {
    Parts& p = *parts_;
    RefreshClock();
    p.Macros.OnSecondTick();
    p.Keying.Controls().OneSecondTick();
    if (++p.TitleTick > kTitleEveryTicks) {
        p.TitleTick = 0;
        p.RebuildTitle();
    }
    Pump();
}

void Station::RefreshClock() {
    Parts& p = *parts_;
    const macros::ClockReading now = p.Clock.Now();
    switch (clockMode_) {
        case ClockMode::Utc:
            clockText_ = TwoDigits(now.Utc.Hour) + ":" + TwoDigits(now.Utc.Minute) + "U";
            break;
        case ClockMode::Local:
            clockText_ = TwoDigits(now.Local.Hour) + ":" + TwoDigits(now.Local.Minute) +
                         (p.Abroad ? "L" : "J");
            break;
        case ClockMode::Stopwatch: {
            auto [hours, minutes] = Elapsed(p.StopwatchStart, now.Local);
            clockText_ = TwoDigits(hours) + (p.ColonPhase ? ":" : " ") + TwoDigits(minutes) + "E";
            p.ColonPhase = !p.ColonPhase;
            break;
        }
        case ClockMode::StopwatchReset:
            clockText_ = "00:00R";
            break;
    }
    p.Keying.Events().SetClockText(clockText_);
    view_.SetClockText(clockText_);
}

void Station::SetClockMode(ClockMode mode) {
    if (mode == ClockMode::Stopwatch && clockMode_ != ClockMode::Stopwatch) {
        parts_->StopwatchStart = parts_->Clock.Now().Local;
        parts_->ColonPhase = false;
    }
    clockMode_ = mode;
    // The options' clock is the one whose button stamps a line.
    const char clock = options_.Options.size() > settings::option::Clock
                           ? options_.Options[settings::option::Clock]
                           : 'J';
    const macros::ClockReading now = parts_->Clock.Now();
    if (mode == ClockMode::Utc && clock == 'U')
        parts_->Windows.Push(text::command::ClockLine{ClockLineText(now.Utc, "UTC")});
    if (mode == ClockMode::Local && clock == 'J')
        parts_->Windows.Push(
            text::command::ClockLine{ClockLineText(now.Local, parts_->Abroad ? "Local" : "JST")});
}

// --- settings ---

bool Station::OpenSettings(const std::filesystem::path& file) {
    Parts& p = *parts_;
    settings::LoadResult result = settings::LoadSettingsFile(file, document_);
    if (result.Status == settings::LoadStatus::Failed) {
        view_.ShowMessage(result.Error, MessageIcon::Exclamation);
        return false;
    }
    if (result.Status == settings::LoadStatus::Rejected) {
        view_.ShowMessage(settings::kRejectedFileMessage, MessageIcon::None);
    }
    auto before = p.FieldValues();
    settings::ApplyTargets targets = p.Targets();
    settings::ApplySettings(document_, file.string(), options_, targets);
    document_.SetSettingsApplied(true);
    document_.SetModified(false);
    p.OpenTrafficLogIfChosen();
    p.ReportFieldChanges(before);
    view_.SetTransmitSpeedLabel(p.Keying.Controls().SpeedLabel());
    p.RebuildTitle();
    p.ReturnFocus();
    Pump();
    return true;
}

bool Station::SaveSettings(const std::filesystem::path& file) {
    std::string error;
    if (!settings::SaveSettingsFile(file, document_, error)) {
        view_.ShowMessage(error, MessageIcon::Exclamation);
        return false;
    }
    return true;
}

void Station::NewSettings() {
    Parts& p = *parts_;
    document_.Reset();
    settings::ApplyTargets targets = p.Targets();
    settings::ApplySettings(document_, "", options_, targets);
    document_.SetSettingsApplied(true);
    p.OpenTrafficLogIfChosen();
    Pump();
}

void Station::ChangeSetting(common::EntryId entry, std::string_view value) {
    ChangeSetting(common::Index(entry), value);
}

void Station::ChangeSetting(int entryIndex, std::string_view value) {
    Parts& p = *parts_;
    if (entryIndex < 1 || entryIndex > common::kEntryCount)
        return;
    const std::string text(value);
    settings::ApplyTargets targets = p.Targets();
    if (entryIndex == common::Index(common::EntryId::OptionString)) {
        // Through the option dialog's apply step, which also starts the log.
        FinishOptionDialog(true, text, options_.Texts);
        return;
    }
    settings::ApplyEntry(entryIndex, text, options_, targets);
    document_.StoreSetting(entryIndex, text);
    if (entryIndex == common::Index(common::EntryId::ContestMode))
        p.Macros.RefreshSendNr();
    p.ReturnFocus();
    Pump();
}

void Station::BeginOptionDialog() {
    settings::BeginOptionDialog(*parts_);
}

void Station::FinishOptionDialog(bool accepted, std::string_view options,
                                 const settings::OptionTexts& texts) {
    Parts& p = *parts_;
    settings::FinishOptionDialog(accepted, options, texts, options_, document_, p, p.Clock);
    if (settings::OptionAt(options_.Options, settings::option::SaveLog) != 'S' &&
        p.Log.LogEnabled()) {
        p.Log.CloseLog(p.ReceiveText.Window());
    }
    p.RebuildTitle();
    Pump();
}

// --- capture and port ---

void Station::SelectCaptureDevice(std::string_view name) {
    parts_->SelectCaptureDevice(name);
    document_.StoreSetting(common::EntryId::CaptureDevice, std::string(name));
}

void Station::SelectInputChannel(int channel) {
    const auto& words = common::RowOf(common::EntryId::InputChannel).Words;
    ChangeSetting(common::EntryId::InputChannel, channel == 1 ? words[0] : words[1]);
}

void Station::SetDecoder(receive::DecoderKind kind) {
    parts_->Receiver.SetDecoder(kind);
}

receive::DecoderKind Station::Decoder() const {
    return parts_->Receiver.Decoder();
}

void Station::SetSquelch(double level) {
    parts_->Receiver.SetSquelch(level);
}

double Station::Squelch() const {
    return parts_->Receiver.Squelch();
}

void Station::SelectKeyPort(std::string_view item) {
    ChangeSetting(common::EntryId::KeyPort, item);
}

void Station::SelectKeyLine(std::string_view mode) {
    ChangeSetting(common::EntryId::KeyLine, mode);
}

receive::SignalChain* Station::Chain() {
    return parts_->CaptureOpen ? &parts_->Receiver.Chain() : nullptr;
}

receive::BlockSource* Station::CaptureSource() {
    Parts& p = *parts_;
    return p.CaptureOpen && p.Config.Capture != nullptr ? &p.Config.Capture->Source() : nullptr;
}

// --- transmit ---

void Station::AppendTransmit(std::string_view text) {
    parts_->Keying.Text().Append(text);
    Pump();
}

void Station::ClearTransmit() {
    parts_->Keying.Controls().ClearTransmit();
    Pump();
}

void Station::TxClear() {
    parts_->Macros.StopAutoCq();
    parts_->Keying.Controls().TxClear();
    Pump();
}

void Station::ClearReceive() {
    parts_->Keying.Controls().ClearReceive();
    Pump();
}

void Station::ClearMonitor() {
    parts_->Keying.Controls().ClearMonitor();
    Pump();
}

void Station::SetKeyMode(common::KeyMode mode) {
    ChangeSetting(common::EntryId::KeyMode,
                  common::RowOf(common::EntryId::KeyMode).Words[static_cast<std::size_t>(mode)]);
    if (mode == common::KeyMode::Direct)
        view_.ShowKeyModeLabels("Eng", "English/J");
    else
        view_.ShowKeyModeLabels("", "");
}

// In E/J Direct the last bracket sign typed tells which language the keyer
// is in: ">" or "(" English, "<" or ")" Japanese.
void Station::ShowDirectModeLanguage(std::string_view text) {
    if (parts_->Keying.Engine().CurrentKeyMode() != common::KeyMode::Direct || text.empty())
        return;
    switch (text.back()) {
        case '>':
        case '(':
            view_.ShowKeyModeLabels("Eng", "English/J");
            break;
        case '<':
        case ')':
            view_.ShowKeyModeLabels("japanese", "Japanese/E");
            break;
        default:
            break;
    }
}

void Station::SetSpeedStep(int step) {
    view_.SetTransmitSpeedLabel(parts_->Keying.Controls().UpdateSpeedLabel(step));
}

void Station::SpeedDown() {
    view_.SetTransmitSpeedLabel(parts_->Keying.Controls().SpeedDown());
}

void Station::SpeedUp() {
    view_.SetTransmitSpeedLabel(parts_->Keying.Controls().SpeedUp());
}

int Station::SpeedStep() const {
    return parts_->Keying.Engine().SpeedIndex();
}

void Station::ManualKeyDown() {
    parts_->Keying.Controls().ManualKeyDown();
}

void Station::KeyReleased() {
    parts_->Keying.Controls().KeyReleased();
}

bool Station::TrafficLogOn() const {
    return parts_->Log.LogEnabled();
}

bool Station::Sending() const {
    return parts_->Keying.Text().PendingCharacters() > 0 || !parts_->Keying.Engine().Idle();
}

std::string Station::TransmitText() const {
    return parts_->Keying.Text().Text();
}

// --- macros ---

void Station::FireMacro(int label) {
    parts_->Macros.ClickLabel(label);
    Pump();
}

void Station::SetBank(int bank) {
    parts_->Macros.SetBank(bank == 2);
}

void Station::StartAutoCq() {
    parts_->Macros.StartAutoCq();
    Pump();
}

void Station::StopAutoCq() {
    parts_->Macros.StopAutoCqAndClear();
    Pump();
}

bool Station::AutoCqRunning() const {
    return parts_->AutoCqRunning();
}

void Station::SetContest(bool on) {
    const auto& words = common::RowOf(common::EntryId::ContestMode).Words;
    ChangeSetting(common::EntryId::ContestMode, on ? words[0] : words[1]);
}

// --- QSO ---

void Station::SetField(StationField field, std::string_view value) {
    Parts& p = *parts_;
    switch (field) {
        case StationField::HisCall:
            p.Fields.SetText(qso::QsoField::HisCall, std::string(value));
            p.Macros.OnHisCallChanged(value);
            break;
        case StationField::HisName:
            p.Fields.SetText(qso::QsoField::HisName, std::string(value));
            break;
        case StationField::HisQTH:
            p.Fields.SetText(qso::QsoField::HisQth, std::string(value));
            break;
        case StationField::RcvdNR:
            p.Fields.SetText(qso::QsoField::RcvdNr, std::string(value));
            break;
        default:
            p.FieldRef(field) = value;
            if (field == StationField::HisRST)
                p.Macros.HisRstChanged();
            break;
    }
    Pump();
}

std::string Station::Field(StationField field) const {
    const Parts& p = *parts_;
    switch (field) {
        case StationField::HisCall:
            return p.Fields.HisCall();
        case StationField::HisName:
            return p.Fields.HisName();
        case StationField::HisQTH:
            return p.Fields.HisQTH();
        case StationField::RcvdNR:
            return p.Fields.RcvdNR();
        default:
            return p.FieldRef(field);
    }
}

void Station::SetFieldFocus(StationField field, bool focused) {
    Parts& p = *parts_;
    p.Fields.FieldHasFocus = focused;
    if (field == StationField::HisCall && focused)
        p.Lookup.LookupPending = true;
    // The four fields that take a selection waiting from the receive window.
    static constexpr std::pair<StationField, qso::QsoField> kTaking[] = {
        {StationField::HisCall, qso::QsoField::HisCall},
        {StationField::HisName, qso::QsoField::HisName},
        {StationField::HisQTH, qso::QsoField::HisQth},
        {StationField::RcvdNR, qso::QsoField::RcvdNr}};
    for (const auto& [station, qso] : kTaking) {
        if (station != field)
            continue;
        const auto before = p.FieldValues();
        if (focused)
            p.Fields.OnFocusGained(qso);
        else
            p.Fields.OnFocusLost(qso);
        p.ReportFieldChanges(before);
    }
}

void Station::LookupHisCall() {
    Parts& p = *parts_;
    const settings::OptionEffects effects =
        settings::DecodeOptionEffects(options_.Options, p.MonitorMode());
    qso::DxDisplayOptions display{
        .ShowLocalTime = effects.DxLocalTime,
        .NameLanguage = effects.CountryName == 'J'   ? qso::CountryNameLanguage::Japanese
                        : effects.CountryName == 'E' ? qso::CountryNameLanguage::English
                                                     : qso::CountryNameLanguage::None,
        .LocationJapan = !effects.Abroad};
    if (auto line = p.Lookup.LookupCountry(p.Fields.HisCall(), p.Clock.Now().Utc, display)) {
        p.Windows.Push(text::command::CountryLine{*line});
        view_.LookupLine(*line);
    }
    Pump();
}

void Station::CaptureCall() {
    Parts& p = *parts_;
    Pump();
    auto before = p.FieldValues();
    p.Fields.OnCaptureKey(p.ReceiveText.Window().Text());
    p.ReportFieldChanges(before);
    Pump();
}

void Station::QsoTransfer() {
    Parts& p = *parts_;
    auto before = p.FieldValues();
    p.Links().QsoTransfer();
    p.ReportFieldChanges(before);
    Pump();
}

void Station::SaveTransfer() {
    Parts& p = *parts_;
    auto before = p.FieldValues();
    p.Links().SaveTransfer();
    p.ReportFieldChanges(before);
    Pump();
}

void Station::ClearQso() {
    Parts& p = *parts_;
    auto before = p.FieldValues();
    p.Links().ClearQso();
    p.ReportFieldChanges(before);
    Pump();
}

void Station::SendTime() {
    parts_->Links().SendTimeToHamlog();
    Pump();
}

// --- models ---

const text::TextWindow& Station::ReceiveModel() const {
    return parts_->ReceiveText.Window();
}

const text::TextWindow& Station::MonitorModel() const {
    return parts_->MonitorText.Window();
}

// --- virtual time ---

std::optional<int> Station::KeyingTick() {
    return parts_->Keying.Engine().KeyingStep();
}

void Station::CaptureBlock(std::span<const std::int16_t, receive::kHalfSamples> frames) {
    if (receiveEnabled_.load()) {
        parts_->Receiver.OnBlock(frames, parts_->Receiver.Channel());
    }
}

}  // namespace morvane::station
