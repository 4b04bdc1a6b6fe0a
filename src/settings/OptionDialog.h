// The Option Set dialog as logic: the working copy of the option string with
// the check states its controls show, the handlers that rewrite one position
// each, the Enter focus order, and the apply step after OK or Cancel. The
// window only maps widgets onto these controls.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "macros/StationClock.h"
#include "settings/OptionString.h"
#include "settings/SettingsDocument.h"

namespace morvane::settings {

enum class OptionControl {
    FontS,
    FontM,
    FontL,
    Hiragana,
    Katakana,  // radios
    FrontDisp,
    CountryEng,
    CountryJpn,
    DxLocalTime,  // checks
    ClockUtc,
    ClockJst,
    LocationJapan,
    LocationAbroad,  // radios
    RcvdNrCheck,
    RcvdNrUncut,  // checks
    Zero0,
    ZeroO,
    ZeroT,  // radios
    SendCut,
    TxEditStop,
    Paste,
    MonitorRx,
    MonitorTx,
    FiveNN,  // checks
    PttOff,
    Ptt25,
    Ptt50,
    Ptt100,
    Ptt200,
    Ptt500,  // radios
    PttRtsDtr,
    PttHamlog,  // radios
    GetHisName,
    LogHamlog,
    LogCtestwin,
    ModeCw,
    ModeA1A,  // checks
    TempMin,
    TempBar,  // radios
    Consolas,
    Qsl,
    SaveLog,  // checks
    Count
};

enum class GreetingHour { GM, GA, GE };

// The seven text fields of the dialog, in the order they are applied.
struct OptionTexts {
    std::string MyCall{}, MyName{}, MyQTH{}, Others{}, ContestName{}, Qsl{}, QslPrefix{};
};

// Text fields that Enter moves between; the QSL edits keep the focus.
enum class OptionField { MyCall, MyName, MyQTH, Others, ContestName, Qsl, QslPrefix };
OptionField NextFieldOnEnter(OptionField field);

// The first three characters (the QSL edits' limit).
std::string CutQsl(std::string_view text);

class OptionDialogModel {
  public:
    explicit OptionDialogModel(std::string_view options);

    bool IsChecked(OptionControl control) const;
    // A click: a radio selects itself, a check box toggles.
    void Click(OptionControl control);

    // Up-down range and the two-digit value at the hour's positions.
    static std::pair<int, int> HourRange(GreetingHour hour);
    int HourValue(GreetingHour hour) const;
    // The hour edit lost the focus: the up-down position is written back.
    void CommitHour(GreetingHour hour, int position);

    const std::string& Working() const { return working_; }

  private:
    void Set(OptionControl control, bool checked);
    void Write(std::size_t position, char letter) { working_[position] = letter; }

    std::string working_;
    bool checked_[static_cast<int>(OptionControl::Count)] = {};
};

// Everything the apply step changes outside the option string itself.
class OptionDialogHost {
  public:
    virtual ~OptionDialogHost() = default;
    virtual void SetReceivePaused(bool paused) = 0;
    virtual char MonitorMode() const = 0;
    virtual void ApplyOptionEffects(const OptionEffects& effects) = 0;
    virtual void ShowMessage(std::string_view text) = 0;
    // Creates the traffic log with its header line; false when it cannot.
    virtual bool StartTrafficLog(const std::filesystem::path& file, std::string_view header) = 0;
    virtual void ResetSendMark() = 0;
    virtual void FocusTxEdit() = 0;  // the host skips it while a field has the focus
};

// The state the dialog edits, owned by the station.
struct OptionState {
    std::string Options = std::string(kDefaultOptions);
    OptionTexts Texts{};
    std::filesystem::path DataFilePath{};  // empty until a data file was opened
};

inline constexpr std::string_view kSaveWithoutFolderMessage =
    "Saveが選択されましたが、保存先フォルダーが未設定です。\r\n既存ファイルの読み込みをしてから、"
    "オプション設定を\n\rして下さい。";
inline constexpr std::string_view kLogNotCreatedMessage =
    "新規ファイル作成に失敗しました。\r\n保存できません。";

// "%Y%m%d[%H%MJ]" of a local time.
std::string TrafficLogStamp(const macros::CivilTime& local);

// Pauses receive processing before the dialog opens.
void BeginOptionDialog(OptionDialogHost& host);

// After OK (`accepted`) or Cancel: the apply steps in order, storing changed
// values in `state` and the document.
void FinishOptionDialog(bool accepted, std::string_view dialogOptions,
                        const OptionTexts& dialogTexts, OptionState& state,
                        SettingsDocument& document, OptionDialogHost& host,
                        const macros::StationClock& clock);

}  // namespace morvane::settings
