// The station's callbacks from its subsystems; see StationParts.h.
#include "station/StationParts.h"

#include <algorithm>

namespace morvane::station {

std::tm ToTm(const macros::CivilTime& t) {
    std::tm tm{};
    tm.tm_year = t.Year - 1900;
    tm.tm_mon = t.Month - 1;
    tm.tm_mday = t.Day;
    tm.tm_hour = t.Hour;
    tm.tm_min = t.Minute;
    tm.tm_sec = t.Second;
    return tm;
}

macros::ExpansionFields Station::Parts::QsoFields() {
    macros::ExpansionFields f;
    qso::CopyQsoFields(Fields, f);
    const settings::OptionState& o = Owner.options_;
    f.MyCall = o.Texts.MyCall;
    f.MyName = o.Texts.MyName;
    f.MyQTH = o.Texts.MyQTH;
    f.Others = o.Texts.Others;
    f.TestName = o.Texts.ContestName;
    f.Greeting = Greeting;
    f.MyWX = MyWX;
    f.OptionString = o.Options;
    f.TxInputMode = static_cast<int>(Keying.Engine().CurrentKeyMode());
    return f;
}

std::string& Station::Parts::FieldRef(StationField field) {
    switch (field) {
        case StationField::HisRST:
            return Fields.HisRST;
        case StationField::MyRST:
            return Fields.MyRST;
        case StationField::Greeting:
            return Greeting;
        case StationField::MyWX:
            return MyWX;
        case StationField::MyTemp:
            return Fields.MyTempText;
        default:
            break;
    }
    static std::string unused;
    return unused;
}

std::array<std::string, kStationFieldCount> Station::Parts::FieldValues() const {
    std::array<std::string, kStationFieldCount> values;
    for (int k = 0; k < kStationFieldCount; ++k) {
        values[static_cast<std::size_t>(k)] = Owner.Field(static_cast<StationField>(k));
    }
    return values;
}

void Station::Parts::ReportFieldChanges(const std::array<std::string, kStationFieldCount>& before) {
    for (int k = 0; k < kStationFieldCount; ++k) {
        auto field = static_cast<StationField>(k);
        std::string now = Owner.Field(field);
        if (now != before[static_cast<std::size_t>(k)]) {
            View.FieldChanged(field, now);
        }
    }
}

void Station::Parts::ApplyOptionEffects(const settings::OptionEffects& e) {
    Keying.Engine().SetKatakanaDisplay(e.Katakana);
    Keying.Engine().SetPttLeadMs(e.PttLeadMs);
    Keying.Engine().SetTxEditHold(e.TxEditStop);
    Keying.Echo().SetMode(static_cast<transmit::EchoMode>(e.MonitorMode));
    Receiver.SetKatakana(e.Katakana);
    Transfer.Settings.ApplyOptionString(Owner.options_.Options);
    Abroad = e.Abroad;
    LinkMode = e.LinkMode;
    PttLeadMs = e.PttLeadMs;
    PttByLogger = e.PttByLogger;
    LoggerPtt.SetPttViaLogger(e.PttByLogger);
    Owner.clockMode_ = e.ClockMode == 'U' ? ClockMode::Utc : ClockMode::Local;
    View.ApplyOptionEffects(e);
}

bool Station::Parts::OpenKeyingPort(std::string_view name) {
    KeyPort = name;
    if (Config.Port == nullptr)
        return false;
    return Config.Port->OpenPort(std::string(name)).empty();
}

void Station::Parts::SetKeyLine(settings::KeyLine line) {
    KeyLine = common::RowOf(common::EntryId::KeyLine).Words[static_cast<std::size_t>(line)];
    if (Config.Port != nullptr)
        Config.Port->SetLineMode(KeyLine);
}

void Station::Parts::SelectCaptureDevice(std::string_view name) {
    CaptureDevice = name;
    StartCapture();
}

void Station::Parts::SelectInputChannel(settings::InputChannel channel) {
    InputChannel = channel == settings::InputChannel::Right ? 1 : 0;
    Receiver.SetChannel(InputChannel);
    if (Capture)
        Capture->SetInputChannel(InputChannel);
}

void Station::Parts::StopCapture() {
    if (Capture) {
        Capture->StopCapture();
        Capture.reset();
    }
    if (CaptureOpen && Config.Capture != nullptr) {
        Config.Capture->Stop();
    }
    CaptureOpen = false;
}

void Station::Parts::StartCapture() {
    if (Config.Capture == nullptr)
        return;
    StopCapture();
    if (auto failure = Config.Capture->Open(CaptureDevice)) {
        View.ShowMessage(*failure, MessageIcon::None);
        return;
    }
    CaptureOpen = true;
    Keying.Engine().SetCaptureRunning(true);
    if (Config.KeyingTimer) {  // real time: a capture thread; virtual time: the runner reads
        Capture = std::make_unique<receive::CaptureThread>(Config.Capture->Source(), Receiver,
                                                           Owner.receiveEnabled_);
        Capture->SetInputChannel(InputChannel);
        Capture->StartCapture();
    }
}

bool Station::Parts::StartTrafficLog(const std::filesystem::path&, std::string_view) {
    return Log.OpenLog(transmit::LogFolderOf(Owner.options_.DataFilePath.string()), true) ==
           transmit::LogOpenResult::On;
}

// After a data file was applied: the traffic log starts when "Save" is chosen.
void Station::Parts::OpenTrafficLogIfChosen() {
    std::string& options = Owner.options_.Options;
    const bool chosen = settings::OptionAt(options, settings::option::SaveLog) == 'S';
    if (!chosen) {
        if (Log.LogEnabled())
            Log.CloseLog(ReceiveText.Window());
        return;
    }
    if (Log.LogEnabled())
        Log.CloseLog(ReceiveText.Window());
    auto result = Log.OpenLog(transmit::LogFolderOf(Owner.options_.DataFilePath.string()), true);
    if (result == transmit::LogOpenResult::NoFolder ||
        result == transmit::LogOpenResult::CreateFailed) {
        View.ShowMessage(result == transmit::LogOpenResult::NoFolder
                             ? transmit::kLogNoFolderMessage
                             : transmit::kLogCreateFailedMessage,
                         MessageIcon::None);
        options[settings::option::SaveLog] = 'N';
    }
}

qso::LogTransfer& Station::Parts::Links() {
    qso::LinkSettings& link = Transfer.Settings;
    const macros::MacroStore& store = Macros.Store();
    link.ApplyOptionString(Owner.options_.Options);
    link.ContestMode = store.ContestMode;
    link.Remarks1Template = store.Remarks1Template;
    link.Remarks2Template = store.Remarks2Template;
    link.SendNrTemplate = store.SendNrTemplate;
    const settings::OptionTexts& texts = Owner.options_.Texts;
    if (!texts.Qsl.empty())
        link.QslText = texts.Qsl;
    if (!texts.QslPrefix.empty())
        link.QslEightCharacter = texts.QslPrefix.front();
    return Transfer;
}

void Station::Parts::RunFunctionKey(int key) {
    switch (key) {
        case 1:
            View.FocusHisCall();
            break;
        case 5:
            Receiver.ClearSpeedValid();
            break;
        case 6: {
            auto before = FieldValues();
            Links().QsoTransfer(qso::Trigger::Tag);
            ReportFieldChanges(before);
            break;
        }
        case 7: {
            auto before = FieldValues();
            Links().SaveTransfer(qso::Trigger::Tag);
            ReportFieldChanges(before);
            break;
        }
        default:
            break;
    }
}

void Station::Parts::RebuildTitle() {
    const settings::OptionTexts& texts = Owner.options_.Texts;
    std::string title(kTitle);
    title += texts.MyCall;
    if (!texts.MyName.empty())
        title += " - " + texts.MyName;
    title += TitleFile;
    const bool wantHamlog = LinkMode == 1 || LinkMode == 3;
    const bool wantCtestwin = LinkMode == 2 || LinkMode == 3;
    // One short bounded look for both: a hung logging program delays the tick
    // by kTitleLookTimeout at most.
    const auto deadline =
        platform::DeadlineIn(std::min(Transfer.OperationTimeout, kTitleLookTimeout));
    const bool hamlog = wantHamlog && Transfer.Hamlog().FindHamlog(deadline) != 0;
    const bool ctestwin = wantCtestwin && Transfer.Ctestwin().FindCtestwin(deadline) != 0;
    if (hamlog && ctestwin)
        title += kBothSuffix;
    else if (hamlog)
        title += kHamlogSuffix;
    else if (ctestwin)
        title += kCtestwinSuffix;
    // PTT through HamLog relies on the link state of the last probe: while
    // that failed, probe again, but only when HamLog just answered the look,
    // so a hung HamLog never holds the tick for the probe's longer bound.
    qso::HamlogLink& link = Transfer.Hamlog();
    if (LinkMode == 1 && PttLeadMs > 0 && PttByLogger && hamlog && !link.HamlogLinked &&
        !link.AwaitProbe) {
        Transfer.ProbeHamlog();
    }
    if (hamlog != HamlogUp) {
        HamlogUp = hamlog;
        View.LinkChanged(LoggerLink::Hamlog, hamlog);
    }
    if (ctestwin != CtestwinUp) {
        CtestwinUp = ctestwin;
        View.LinkChanged(LoggerLink::Ctestwin, ctestwin);
    }
    if (title != Owner.title_) {
        Owner.title_ = title;
        View.SetTitle(title);
    }
}

void Station::Parts::SetLinkButtons(bool save, bool time) {
    SaveEnabled = save;
    TimeEnabled = time;
    View.SetLinkButtons(save, time);
}

}  // namespace morvane::station
