// The Option Set dialog's logic; see OptionDialog.h.
#include "settings/OptionDialog.h"

#include <array>
#include <cstdio>

#include "common/Utf8.h"

namespace morvane::settings {

namespace {

using C = OptionControl;

// A radio or a plain check box: the letter it writes at its position. A
// radio marked `fallback` is checked for any letter no other radio claims.
struct LetterControl {
    C control;
    std::size_t position;
    char letter;
    bool radio;
    bool fallback;
};

constexpr std::array kLetterControls = {
    LetterControl{C::FontS, option::FontSize, 'S', true, false},
    LetterControl{C::FontM, option::FontSize, 'M', true, true},
    LetterControl{C::FontL, option::FontSize, 'L', true, false},
    LetterControl{C::Hiragana, option::Kana, 'H', true, false},
    LetterControl{C::Katakana, option::Kana, 'K', true, true},
    LetterControl{C::FrontDisp, option::FrontDisp, 'F', false, false},
    LetterControl{C::DxLocalTime, option::DxLocalTime, 'L', false, false},
    LetterControl{C::ClockUtc, option::Clock, 'U', true, false},
    LetterControl{C::ClockJst, option::Clock, 'J', true, true},
    LetterControl{C::LocationJapan, option::Location, 'J', true, false},
    // Any letter but "J" means abroad; the radio writes "A".
    LetterControl{C::LocationAbroad, option::Location, 'A', true, true},
    LetterControl{C::RcvdNrCheck, option::RcvdNrCheck, 'R', false, false},
    LetterControl{C::RcvdNrUncut, option::RcvdNrUncut, 'A', false, false},
    LetterControl{C::Zero0, option::SendZero, '0', true, false},
    LetterControl{C::ZeroO, option::SendZero, 'O', true, false},
    LetterControl{C::ZeroT, option::SendZero, 'T', true, false},
    LetterControl{C::SendCut, option::SendCut, 'A', false, false},
    LetterControl{C::TxEditStop, option::TxEditStop, 'E', false, false},
    LetterControl{C::Paste, option::Paste, 'P', false, false},
    LetterControl{C::FiveNN, option::FiveNN, '9', false, false},
    LetterControl{C::PttOff, option::PttLead, 'A', true, false},
    LetterControl{C::Ptt25, option::PttLead, 'B', true, false},
    LetterControl{C::Ptt50, option::PttLead, 'C', true, false},
    LetterControl{C::Ptt100, option::PttLead, 'D', true, false},
    LetterControl{C::Ptt200, option::PttLead, 'E', true, false},
    LetterControl{C::Ptt500, option::PttLead, 'F', true, false},
    LetterControl{C::PttRtsDtr, option::PttCtrl, 'N', true, true},
    LetterControl{C::PttHamlog, option::PttCtrl, 'H', true, false},
    LetterControl{C::GetHisName, option::GetHisName, 'G', false, false},
    LetterControl{C::TempMin, option::TempMinus, 'M', true, false},
    LetterControl{C::TempBar, option::TempMinus, 'N', true, true},
    LetterControl{C::Consolas, option::Consolas, 'C', false, false},
    LetterControl{C::Qsl, option::Qsl, 'C', false, false},
    LetterControl{C::SaveLog, option::SaveLog, 'S', false, false},
};

const LetterControl* FindLetterControl(C control) {
    for (const LetterControl& entry : kLetterControls) {
        if (entry.control == control) {
            return &entry;
        }
    }
    return nullptr;
}

constexpr std::size_t HourPosition(GreetingHour hour) {
    return hour == GreetingHour::GM   ? option::GreetingGm
           : hour == GreetingHour::GA ? option::GreetingGa
                                      : option::GreetingGe;
}

}  // namespace

OptionField NextFieldOnEnter(OptionField field) {
    switch (field) {
        case OptionField::MyCall:
            return OptionField::MyName;
        case OptionField::MyName:
            return OptionField::MyQTH;
        case OptionField::MyQTH:
            return OptionField::Others;
        case OptionField::Others:
            return OptionField::ContestName;
        case OptionField::ContestName:
            return OptionField::MyCall;
        default:
            return field;
    }
}

std::string CutQsl(std::string_view text) {
    std::string out;
    std::vector<std::string_view> characters = common::SplitUtf8(text);
    for (std::size_t i = 0; i < characters.size() && i < 3; ++i) {
        out += characters[i];
    }
    return out;
}

OptionDialogModel::OptionDialogModel(std::string_view options)
    : working_(CompleteOptionString(options, kDefaultOptions)) {
    for (const LetterControl& entry : kLetterControls) {
        char letter = working_[entry.position];
        bool claimed = false;
        for (const LetterControl& other : kLetterControls) {
            claimed = claimed || (other.position == entry.position && other.letter == letter);
        }
        Set(entry.control, letter == entry.letter || (entry.fallback && !claimed));
    }
    using namespace option;
    Set(C::CountryEng, working_[CountryName] == 'E');
    Set(C::CountryJpn, working_[CountryName] == 'J');
    char monitor = working_[Monitor];
    Set(C::MonitorRx, monitor == 'R' || monitor == 'S');
    Set(C::MonitorTx, monitor == 'T');
    char log = working_[LogSoft];
    Set(C::LogHamlog, log == 'H' || log == 'B');
    Set(C::LogCtestwin, log == 'C' || log == 'B');
    Set(C::ModeCw, working_[Mode] == 'C');
    Set(C::ModeA1A, working_[Mode] == 'A');
}

bool OptionDialogModel::IsChecked(OptionControl control) const {
    return checked_[static_cast<int>(control)];
}

void OptionDialogModel::Set(OptionControl control, bool checked) {
    checked_[static_cast<int>(control)] = checked;
}

void OptionDialogModel::Click(OptionControl control) {
    using namespace option;
    const bool nowChecked = !IsChecked(control);
    switch (control) {
        case C::CountryEng:
        case C::CountryJpn: {
            C other = control == C::CountryEng ? C::CountryJpn : C::CountryEng;
            Set(control, nowChecked);
            if (nowChecked) {
                Set(other, false);
            }
            Write(CountryName, nowChecked ? (control == C::CountryEng ? 'E' : 'J') : 'N');
            return;
        }
        case C::MonitorRx:
        case C::MonitorTx: {
            C other = control == C::MonitorRx ? C::MonitorTx : C::MonitorRx;
            Set(control, nowChecked);
            if (nowChecked) {
                Set(other, false);
            }
            Write(Monitor, nowChecked ? (control == C::MonitorRx ? 'R' : 'T') : 'N');
            return;
        }
        case C::LogHamlog:
        case C::LogCtestwin: {
            Set(control, nowChecked);
            bool hamlog = IsChecked(C::LogHamlog);
            bool ctestwin = IsChecked(C::LogCtestwin);
            Write(LogSoft, hamlog && ctestwin ? 'B' : hamlog ? 'H' : ctestwin ? 'C' : 'N');
            return;
        }
        case C::ModeCw:
        case C::ModeA1A: {
            C other = control == C::ModeCw ? C::ModeA1A : C::ModeCw;
            Set(control, nowChecked);
            if (nowChecked) {
                Set(other, false);
            }
            Write(Mode, nowChecked ? (control == C::ModeCw ? 'C' : 'A') : 'N');
            return;
        }
        default:
            break;
    }
    const LetterControl* entry = FindLetterControl(control);
    if (entry == nullptr) {
        return;
    }
    if (entry->radio) {
        for (const LetterControl& other : kLetterControls) {
            if (other.position == entry->position) {
                Set(other.control, false);
            }
        }
        Set(control, true);
        Write(entry->position, entry->letter);
        return;
    }
    Set(control, nowChecked);
    Write(entry->position, nowChecked ? entry->letter : 'N');
    if (control == C::SaveLog && nowChecked) {
        // Saving the log shows the sent text in the receive window.
        Set(C::MonitorTx, false);
        Set(C::MonitorRx, true);
    }
}

std::pair<int, int> OptionDialogModel::HourRange(GreetingHour hour) {
    switch (hour) {
        case GreetingHour::GM:
            return {0, 4};
        case GreetingHour::GA:
            return {10, 14};
        default:
            return {16, 20};
    }
}

int OptionDialogModel::HourValue(GreetingHour hour) const {
    std::size_t p = HourPosition(hour);
    auto digit = [](char c) { return c >= '0' && c <= '9' ? c - '0' : 0; };
    auto [low, high] = HourRange(hour);
    int value = digit(working_[p]) * 10 + digit(working_[p + 1]);
    return value < low ? low : value > high ? high : value;
}

void OptionDialogModel::CommitHour(GreetingHour hour, int position) {
    auto [low, high] = HourRange(hour);
    position = position < low ? low : position > high ? high : position;
    std::size_t p = HourPosition(hour);
    Write(p, static_cast<char>('0' + position / 10));
    Write(p + 1, static_cast<char>('0' + position % 10));
}

std::string TrafficLogStamp(const macros::CivilTime& local) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d[%02d%02dJ]", local.Year, local.Month, local.Day,
                  local.Hour, local.Minute);
    return text;
}

void BeginOptionDialog(OptionDialogHost& host) {
    host.SetReceivePaused(true);
}

namespace {

// Step 2h: the traffic log asked for; the letter is taken back when it cannot start.
void StartTrafficLogIfChosen(std::string& options, const OptionState& state, OptionDialogHost& host,
                             const macros::StationClock& clock) {
    if (options[option::SaveLog] != 'S') {
        return;
    }
    if (state.DataFilePath.empty()) {
        host.ShowMessage(kSaveWithoutFolderMessage);
        options[option::SaveLog] = 'N';
        return;
    }
    std::string stamp = TrafficLogStamp(clock.Now().Local);
    std::filesystem::path file = state.DataFilePath.parent_path() / (stamp + ".txt");
    if (!host.StartTrafficLog(file, "MRVN " + stamp + "\r\n")) {
        host.ShowMessage(kLogNotCreatedMessage);
        options[option::SaveLog] = 'N';
    }
}

}  // namespace

void FinishOptionDialog(bool accepted, std::string_view dialogOptions,
                        const OptionTexts& dialogTexts, OptionState& state,
                        SettingsDocument& document, OptionDialogHost& host,
                        const macros::StationClock& clock) {
    if (accepted) {
        std::string options = CompleteOptionString(dialogOptions, state.Options);
        if (options != state.Options) {
            host.ApplyOptionEffects(DecodeOptionEffects(options, host.MonitorMode()));
            StartTrafficLogIfChosen(options, state, host, clock);
            state.Options = options;
            document.StoreSetting(common::EntryId::OptionString, options);
        }
        using common::EntryId;
        struct TextField {
            std::string OptionTexts::*member;
            EntryId entry;
        };
        constexpr TextField kFields[] = {
            {&OptionTexts::MyCall, EntryId::MyCall},
            {&OptionTexts::MyName, EntryId::MyName},
            {&OptionTexts::MyQTH, EntryId::MyQTH},
            {&OptionTexts::Others, EntryId::Others},
            {&OptionTexts::ContestName, EntryId::ContestName},
            {&OptionTexts::Qsl, EntryId::QslText},
            {&OptionTexts::QslPrefix, EntryId::QslPrefix},
        };
        for (const TextField& field : kFields) {
            const std::string& text = dialogTexts.*field.member;
            if (text != state.Texts.*field.member) {
                std::string value = field.entry == EntryId::QslText ? CutQsl(text) : text;
                state.Texts.*field.member = value;
                document.StoreSetting(field.entry, value);
            }
        }
    }
    host.ResetSendMark();
    host.SetReceivePaused(false);
    host.FocusTxEdit();
}

}  // namespace morvane::settings
