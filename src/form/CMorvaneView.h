// The main form: every control of the station window, mapped onto the
// headless Station. The form holds no station logic: a control's handler
// calls one station command, and the station reports back through the
// StationView interface. Text windows and displays are drained from the
// station on a block-rate timer; the one-second timer drives the clock.
#pragma once

#include <QHash>
#include <QWidget>
#include <array>
#include <map>
#include <memory>
#include <optional>

#include "form/Entries.h"
#include "form/ReferenceLayout.h"
#include "station/Station.h"

class QGroupBox;
class QLabel;
class QTimer;
class QTextEdit;
class QPlainTextEdit;

namespace morvane::form {

class DisplayWidget;
class Prompter;
struct WebLink;

// The block rate: one capture half is 1024 samples at 11025 Hz.
inline constexpr int kBlockPeriodMs = 93;

class CMorvaneView final : public QWidget, public station::StationView {
    Q_OBJECT
  public:
    CMorvaneView(station::StationConfig config, Prompter& prompter, QWidget* parent = nullptr);
    ~CMorvaneView() override;

    // The initial update: the station starts, timers run. Call once, shown or not.
    void Start();
    // Shutdown order: timers, then the station.
    void Shutdown();

    station::Station& Station() { return *station_; }
    // A control by its form id (1000 ...), or nullptr.
    QWidget* Control(int id) const { return controls_.value(id, nullptr); }
    template <typename W>
    W* ControlAs(int id) const {
        return qobject_cast<W*>(Control(id));
    }
    // Macro label 1 to 15, or 0 for "Auto CQ".
    QLabel* MacroLabel(int label) const { return macroLabels_[static_cast<std::size_t>(label)]; }
    QString ShownHelp() const { return shownHelp_; }
    FormScale Scale() const;

    // Data files through the station; the controls follow what was applied.
    bool OpenSettingsFile(const QString& path);
    bool SaveSettingsFile(const QString& path);
    void NewSettings();

    // Menu commands.
    void OpenOptionSet();
    void OpenUrlDialog();
    void OpenWebLink(int link);
    QString WebLinkCaption(int link) const;
    void OpenAbout();
    void OpenManual();
    void OpenReadme();
    void OpenMixer();
    void EditMacro(int label);     // right click; 0 is Auto CQ
    void SelectKeyMode(int mode);  // 0 English to 3 E/J KANA

    // The timers' work, callable from tests without waiting.
    void PumpNow();
    void OneSecondTick();

  signals:
    void TitleChanged(const QString& title);
    void HelpShown(const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // station::StationView
  public:
    void ShowMessage(std::string_view text, station::MessageIcon icon) override;
    void Beep() override;
    void FocusTxEdit() override;
    void FocusHisCall() override;
    void SetTitle(std::string_view title) override;
    void SetClockText(std::string_view text) override;
    void SetPortCaption(std::string_view caption) override;
    void SetTransmitSpeedLabel(std::string_view text) override;
    void ShowMacroLabel(int label, const macros::LabelView& view) override;
    void SetMacroLabelEnabled(int label, bool enabled) override;
    void ShowSendNr(std::string_view text) override;
    void SetQsoGroupCaptions(std::string_view hisName, std::string_view hisQth) override;
    void ShowContestFields(bool contest) override;
    void SetLinkButtons(bool saveEnabled, bool timeEnabled) override;
    void ApplyOptionEffects(const settings::OptionEffects& effects) override;
    void FieldChanged(station::StationField field, std::string_view value) override;
    void LookupLine(std::string_view line) override;
    void LinkChanged(station::LoggerLink link, bool up) override;
    void ReceiveTextChanged(std::string_view appended, bool cleared) override;
    void MonitorTextChanged(std::string_view appended, bool cleared) override;
    void CharactersKeyed(std::string_view text) override;
    void TransmitTextChanged(std::string_view text) override;

    // Receive side of the StationView.
    void ShowReceiveSpeed(std::string_view label, int step) override;
    void ShowReceiveLanguage(bool japanese) override;
    void EmptyClipboard() override;
    void ShowKeyModeLabels(std::string_view label, std::string_view longForm) override;

  private:
    // Receive window and language buttons.
    void ReceiveFocusChanged(bool focused);
    void PressLanguageButton(bool japanese);

    // Construction, one step each.
    void CreateControls();
    void CreateMacroLabels();
    void FillLists();
    void SetInitialStates();
    void ConnectControls();
    void ConnectReceiveControls();
    void ConnectTransmitControls();
    void ConnectQsoControls();

    // After the station changed settings wholesale (a file opened, Ctrl+N).
    void SyncFromDocument();

    bool HandleKey(QKeyEvent* event);
    void SetFieldFocus(QWidget* field, bool focused);
    bool FieldHasFocus() const;
    void ShowHelp(int helpId);
    void ShowHelpAt(QPoint pos);
    int HelpIdAt(QPoint pos) const;
    void ClickThreshold(double y);
    void ClickSpectrum(double x);
    void ToggleWeather();
    void ToggleTemperature();
    void MatchReceiveSpeed();
    void UseInputMethod(bool on);
    void Store(EntryId entry, const QString& value);
    void RepaintTextWindow(QTextEdit* edit, const text::TextWindow& model, std::size_t& shown);
    void DrainSnapshots();
    void LayOutMonitor(bool shown);
    void ShowToneLabels(receive::ToneMode mode, bool highRange);

    Prompter& prompter_;
    std::unique_ptr<station::Station> station_;
    QHash<int, QWidget*> controls_;
    std::array<QLabel*, 16> macroLabels_{};
    QGroupBox* portGroup_ = nullptr;
    QTextEdit* receive_ = nullptr;
    QTextEdit* monitor_ = nullptr;
    QPlainTextEdit* transmit_ = nullptr;
    DisplayWidget* levelDisplay_ = nullptr;
    DisplayWidget* toneDisplay_ = nullptr;
    QTimer* blockTimer_ = nullptr;
    QTimer* clockTimer_ = nullptr;

    std::size_t receiveShown_ = 0;
    std::size_t monitorShown_ = 0;
    bool receiveDirty_ = false;
    bool monitorDirty_ = false;
    std::uint64_t levelVersion_ = 0;
    std::uint64_t toneVersion_ = 0;
    std::uint64_t thresholdVersion_ = 0;
    std::uint64_t toneLabelVersion_ = 0;
    std::pair<receive::ToneMode, bool> toneLabels_{receive::ToneMode::FFT, true};
    bool started_ = false;
    bool updatingTransmit_ = false;

    // Form-only state: which of two values a shared control shows.
    bool showHisWeather_ = false;
    bool showHisTemp_ = false;
    QString weather_[2] = {};
    QString temperature_[2] = {};
    bool fahrenheit_[2] = {};
    int focusedFields_ = 0;
    bool shiftHeld_ = false;
    bool ctrlHeld_ = false;
    bool hoverActive_ = false;
    int shownHelpId_ = -1;
    QString shownHelp_;
    int bank_ = 1;
    std::map<station::StationField, QString> previousField_;
    char monitorMode_ = 'R';
};

}  // namespace morvane::form
