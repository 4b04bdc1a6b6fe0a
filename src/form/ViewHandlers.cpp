// The form's control handlers: each maps one control onto one station
// command or setting. Persistent settings go through ChangeSetting, the
// same path a data file's entries take, so the window and a loaded file
// cannot disagree about what a value does.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QGuiApplication>
#include <QInputMethod>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTextEdit>
#include <QUrl>

#include "form/CMorvaneView.h"
#include "form/TemperatureText.h"

namespace morvane::form {

using station::StationField;

namespace {

const char* OnOff(bool on, const char* onWord, const char* offWord) {
    return on ? onWord : offWord;
}

}  // namespace

void CMorvaneView::Store(EntryId entry, const QString& value) {
    station_->ChangeSetting(entry, value.toStdString());
    if (!FieldHasFocus())
        FocusTxEdit();
}

bool CMorvaneView::FieldHasFocus() const {
    return focusedFields_ > 0;
}

void CMorvaneView::ConnectControls() {
    ConnectReceiveControls();
    ConnectTransmitControls();
    ConnectQsoControls();
}

void CMorvaneView::ConnectReceiveControls() {
    auto button = [this](int id) { return ControlAs<QAbstractButton>(id); };
    auto onClick = [this, button](int id, auto handler) {
        connect(button(id), &QAbstractButton::clicked, this, handler);
    };
    onClick(1002,
            [this](bool on) { Store(EntryId::RxAutoSpeed, OnOff(on, "rxautoON", "rxautoOFF")); });
    onClick(1004, [this] { Store(EntryId::LevelDisplay, QStringLiteral("CW")); });
    onClick(1005, [this] { Store(EntryId::LevelDisplay, QStringLiteral("Signal")); });
    onClick(1010, [this] { Store(EntryId::GraphicMode, QStringLiteral("Sine")); });
    onClick(1011, [this] { Store(EntryId::GraphicMode, QStringLiteral("Synchro")); });
    onClick(1012, [this] { Store(EntryId::GraphicMode, QStringLiteral("FFT")); });
    // The two Stop boxes only freeze what is drawn (and, for the level
    // display, detection); nothing is stored.
    onClick(1180, [this](bool on) {
        if (auto* chain = station_->Chain())
            chain->Options().LevelDisplayStopped = on;
        if (!FieldHasFocus())
            FocusTxEdit();
    });
    onClick(1181, [this](bool on) {
        if (auto* chain = station_->Chain())
            chain->Options().ToneDisplayStopped = on;
        if (!FieldHasFocus())
            FocusTxEdit();
    });
    onClick(1280,
            [this](bool on) { Store(EntryId::AutoThreshold, OnOff(on, "ThreON", "ThreOFF")); });
    onClick(1127,
            [this](bool on) { Store(EntryId::ToneCentre, OnOff(on, "ToneAUTO", "ToneAutoOff")); });
    // NR1 and NR2 are one setting: checking one unchecks the other.
    onClick(1057, [this, button](bool on) {
        if (on)
            button(1203)->setChecked(false);
        Store(EntryId::NoiseReduction, OnOff(on, "NoiseON1", "NoiseOFF"));
    });
    onClick(1203, [this, button](bool on) {
        if (on)
            button(1057)->setChecked(false);
        Store(EntryId::NoiseReduction, OnOff(on, "NoiseON2", "NoiseOFF"));
    });
    onClick(1118, [this](bool on) { Store(EntryId::QrmFilter, OnOff(on, "QRMON", "QRMOFF")); });
    connect(ControlAs<QSlider>(1078), &QSlider::valueChanged, this,
            [this](int v) { Store(EntryId::InputVolume, QString::number(v)); });
    connect(ControlAs<QComboBox>(1115), &QComboBox::activated, this, [this](int) {
        station_->SelectCaptureDevice(ControlAs<QComboBox>(1115)->currentText().toStdString());
        if (!FieldHasFocus())
            FocusTxEdit();
    });

    auto language = [this, button] {
        return QStringLiteral("%1%2")
            .arg(button(1019)->isChecked() ? 'J' : 'E')
            .arg(button(1085)->isChecked() ? 'A' : 'N');
    };
    onClick(1018, [this, language] { Store(EntryId::RxLanguage, language()); });
    onClick(1019, [this, language] { Store(EntryId::RxLanguage, language()); });
    onClick(1085, [this, language] { Store(EntryId::RxLanguage, language()); });
    onClick(1020, [this](bool on) { Store(EntryId::Extend, OnOff(on, "ExtendON", "ExtendOFF")); });
    onClick(1100,
            [this](bool on) { Store(EntryId::SpaceDel, OnOff(on, "SpaceDelON", "SpaceDelOFF")); });
    onClick(1036, [this] {
        station_->ClearReceive();
        if (!FieldHasFocus())
            FocusTxEdit();
    });
    onClick(1258, [this] {
        // Hands the whole receive text over: clipboard, then the word
        // processor's template beside the program.
        QApplication::clipboard()->setText(receive_->toPlainText());
        if (!QDesktopServices::openUrl(
                QUrl::fromLocalFile(QStringLiteral("readme/wordpadtex.rtf"))))
            Beep();
    });

    // Clock buttons.
    onClick(1194, [this] {
        station_->SetClockMode(station::ClockMode::Utc);
        ControlAs<QPushButton>(1219)->setText(QStringLiteral("E"));
        PumpNow();
        if (!FieldHasFocus())
            FocusTxEdit();
    });
    onClick(1207, [this] {
        station_->SetClockMode(station::ClockMode::Local);
        ControlAs<QPushButton>(1219)->setText(QStringLiteral("E"));
        PumpNow();
        if (!FieldHasFocus())
            FocusTxEdit();
    });
    onClick(1219, [this] {
        const bool running = station_->CurrentClockMode() == station::ClockMode::Stopwatch;
        station_->SetClockMode(running ? station::ClockMode::StopwatchReset
                                       : station::ClockMode::Stopwatch);
        ControlAs<QPushButton>(1219)->setText(running ? QStringLiteral("E") : QStringLiteral("R"));
        PumpNow();
        if (!FieldHasFocus())
            FocusTxEdit();
    });

    onClick(1197, [this](bool on) {
        station_->SetContest(on);
        if (!FieldHasFocus())
            FocusTxEdit();
    });
    connect(ControlAs<QLineEdit>(1196), &QLineEdit::textEdited, this, [this](const QString& text) {
        station_->ChangeSetting(EntryId::ContestNumber, text.toStdString());
    });
}

void CMorvaneView::ConnectTransmitControls() {
    auto* txSlider = ControlAs<QSlider>(1001);
    connect(txSlider, &QSlider::valueChanged, this, [this](int step) {
        if (station_->SpeedStep() != step)
            station_->SetSpeedStep(step);
    });
    connect(txSlider, &QSlider::sliderReleased, this, [this] {
        if (!FieldHasFocus())
            FocusTxEdit();
    });
    connect(ControlAs<QPushButton>(1274), &QPushButton::clicked, this, [this] {
        station_->ChangeSetting(EntryId::TxSpeed,
                                std::to_string(ControlAs<QSlider>(1001)->value()));
        Control(1001)->setFocus();
    });
    connect(ControlAs<QPushButton>(1275), &QPushButton::clicked, this, [this] {
        station_->SetSpeedStep(station_->SpeedPreset());
        ControlAs<QSlider>(1001)->setValue(station_->SpeedStep());
    });
    connect(ControlAs<QPushButton>(1276), &QPushButton::clicked, this,
            &CMorvaneView::MatchReceiveSpeed);

    const std::pair<int, EntryId> weights[] = {{1232, EntryId::DotRatio},
                                               {1166, EntryId::DashRatio},
                                               {1238, EntryId::CharSpaceRatio},
                                               {1233, EntryId::WordSpaceRatio}};
    for (const auto& [id, entry] : weights) {
        auto* combo = ControlAs<QComboBox>(id);
        connect(combo, &QComboBox::activated, this,
                [this, combo, e = entry](int) { Store(e, combo->currentText()); });
    }
    connect(ControlAs<QComboBox>(1189), &QComboBox::activated, this, &CMorvaneView::SelectKeyMode);
    connect(ControlAs<QComboBox>(1282), &QComboBox::activated, this,
            [this](int) { Store(EntryId::KeyPort, ControlAs<QComboBox>(1282)->currentText()); });
    connect(ControlAs<QAbstractButton>(1190), &QAbstractButton::clicked, this, [this](bool on) {
        Store(EntryId::TxClearAuto, OnOff(on, "TxClearAutoON", "TxClearAutoOFF"));
    });
    connect(ControlAs<QSpinBox>(1030), &QSpinBox::valueChanged, this, [this](int seconds) {
        station_->ChangeSetting(
            EntryId::TxClearDelay,
            QStringLiteral("%1").arg(seconds, 2, 10, QLatin1Char('0')).toStdString());
    });
    connect(ControlAs<QPushButton>(1035), &QPushButton::clicked, this, [this] {
        station_->TxClear();
        PumpNow();
        if (!FieldHasFocus())
            FocusTxEdit();
    });
    connect(transmit_, &QPlainTextEdit::textChanged, this, [this] {
        if (updatingTransmit_)
            return;
        // Typing, Backspace, Delete, paste: the station takes what changed
        // in the unsent text and puts back an edit of what was sent.
        station_->EditTransmit(transmit_->toPlainText().toStdString());
    });
    connect(ControlAs<QAbstractButton>(1047), &QAbstractButton::toggled, this, [this](bool on) {
        station_->SetTxEditHold(on);
        if (!FieldHasFocus())
            FocusTxEdit();
    });
}

// Through the station's Key Mode command, which stores the setting and
// switches the keyer and the decoder's table together.
void CMorvaneView::SelectKeyMode(int mode) {
    if (mode < 0 || mode > 3)
        return;
    {
        const QSignalBlocker block(Control(1189));
        ControlAs<QComboBox>(1189)->setCurrentIndex(mode);
    }
    station_->SetKeyMode(static_cast<common::KeyMode>(mode));
    UseInputMethod(mode >= 2);
    if (!FieldHasFocus())
        FocusTxEdit();
}

// English and E/J Direct type plain letters (romaji for Direct); E/J IME
// and E/J KANA hand the transmit window to the desktop's input method.
void CMorvaneView::UseInputMethod(bool on) {
    transmit_->setAttribute(Qt::WA_InputMethodEnabled, on);
    if (transmit_->hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled);
    if (!on)
        QGuiApplication::inputMethod()->reset();
}

void CMorvaneView::MatchReceiveSpeed() {
    station_->SpeedFromReceived(ControlAs<QLabel>(1241)->text().toStdString());
    ControlAs<QSlider>(1001)->setValue(station_->SpeedStep());
    if (!FieldHasFocus())
        FocusTxEdit();
}

void CMorvaneView::SetFieldFocus(QWidget* field, bool focused) {
    static const std::pair<int, StationField> kFields[] = {
        {1027, StationField::HisCall},  {1028, StationField::HisName},
        {1029, StationField::HisQTH},   {1201, StationField::RcvdNR},
        {1239, StationField::HisRST},   {1240, StationField::MyRST},
        {1195, StationField::Greeting}, {1218, StationField::MyWX},
        {1032, StationField::MyTemp}};
    for (const auto& [id, f] : kFields)
        if (Control(id) == field) {
            focusedFields_ += focused ? 1 : -1;
            focusedFields_ = std::max(focusedFields_, 0);
            station_->SetFieldFocus(f, focused);
        }
}

void CMorvaneView::ConnectQsoControls() {
    const std::pair<int, StationField> upperEdits[] = {{1027, StationField::HisCall},
                                                       {1028, StationField::HisName},
                                                       {1029, StationField::HisQTH},
                                                       {1201, StationField::RcvdNR}};
    for (const auto& [id, field] : upperEdits) {
        auto* edit = ControlAs<QLineEdit>(id);
        const bool upper = field == StationField::HisCall || field == StationField::RcvdNR;
        connect(edit, &QLineEdit::textEdited, this,
                [this, edit, upper, f = field](const QString& typed) {
                    if (upper && typed != typed.toUpper()) {
                        const int caret = edit->cursorPosition();
                        edit->setText(typed.toUpper());
                        edit->setCursorPosition(caret);
                    }
                    station_->SetField(f, edit->text().toStdString());
                });
    }
    const std::pair<int, StationField> combos[] = {
        {1239, StationField::HisRST}, {1240, StationField::MyRST}, {1195, StationField::Greeting}};
    for (const auto& [id, field] : combos) {
        auto* combo = ControlAs<QComboBox>(id);
        connect(combo, &QComboBox::currentTextChanged, this,
                [this, combo, f = field](const QString& text) {
                    if (combo->isEditable() && text != text.toUpper()) {
                        combo->setCurrentText(text.toUpper());
                        return;
                    }
                    station_->SetField(f, text.toStdString());
                });
    }
    auto* weather = ControlAs<QComboBox>(1218);
    connect(weather, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        weather_[showHisWeather_ ? 1 : 0] = text;
        if (!showHisWeather_)
            station_->SetField(StationField::MyWX, text.toStdString());
    });
    connect(ControlAs<QLineEdit>(1032), &QLineEdit::textEdited, this, [this](const QString& text) {
        temperature_[showHisTemp_ ? 1 : 0] = text;
        if (!showHisTemp_)
            station_->SetField(StationField::MyTemp, text.toStdString());
    });
    connect(ControlAs<QAbstractButton>(1208), &QAbstractButton::clicked, this,
            [this](bool fahrenheit) {
                const int shown = showHisTemp_ ? 1 : 0;
                fahrenheit_[shown] = fahrenheit;
                temperature_[shown] = ConvertTemperature(temperature_[shown], fahrenheit);
                ControlAs<QLineEdit>(1032)->setText(temperature_[shown]);
                if (!showHisTemp_)
                    station_->SetField(StationField::MyTemp, temperature_[0].toStdString());
            });
    connect(ControlAs<QPushButton>(1056), &QPushButton::clicked, this, [this] {
        station_->ClearQso();
        if (!FieldHasFocus())
            FocusTxEdit();
    });
    connect(ControlAs<QPushButton>(1139), &QPushButton::clicked, this, [this] {
        station_->QsoTransfer();
        PumpNow();
    });
    connect(ControlAs<QPushButton>(1162), &QPushButton::clicked, this, [this] {
        station_->SaveTransfer();
        PumpNow();
        if (!FieldHasFocus())
            FocusTxEdit();
    });
    connect(ControlAs<QPushButton>(1259), &QPushButton::clicked, this, [this] {
        station_->SendTime();
        PumpNow();
    });
}

void CMorvaneView::ToggleWeather() {
    showHisWeather_ = !showHisWeather_;
    ControlAs<QGroupBox>(1278)->setTitle(showHisWeather_ ? QStringLiteral("HisWX")
                                                         : QStringLiteral("MyWX"));
    auto* combo = ControlAs<QComboBox>(1218);
    const QSignalBlocker block(combo);
    combo->setCurrentText(weather_[showHisWeather_ ? 1 : 0]);
}

void CMorvaneView::ToggleTemperature() {
    showHisTemp_ = !showHisTemp_;
    const int shown = showHisTemp_ ? 1 : 0;
    ControlAs<QGroupBox>(1279)->setTitle(showHisTemp_ ? QStringLiteral("HisTemp C")
                                                      : QStringLiteral("MyTemp C"));
    ControlAs<QLineEdit>(1032)->setText(temperature_[shown]);
    ControlAs<QAbstractButton>(1208)->setChecked(fahrenheit_[shown]);
}

}  // namespace morvane::form
