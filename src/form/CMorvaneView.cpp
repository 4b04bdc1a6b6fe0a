#include "form/CMorvaneView.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTextEdit>
#include <QTimer>

#include "form/DisplayWidget.h"
#include "form/Fonts.h"
#include "form/FormControls.h"
#include "form/Prompter.h"
#include "form/ReceiveText.h"
#include "form/SelectionSlider.h"
#include "receive/ToneDisplay.h"
#include "transmit/WeightChoices.h"

namespace morvane::form {

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor FormatColour(text::TextFormat format) {
    switch (format) {
        case text::TextFormat::TxTiming:
            return {0, 0, 255};
        case text::TextFormat::Unsendable:
            return {255, 50, 50};
        case text::TextFormat::Time:
            return {0, 130, 50};
        case text::TextFormat::Default:
            break;
    }
    return {0, 0, 0};
}

// The text windows show "\r\n" as one line break; the model counts both.
QString DisplayText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.remove(QLatin1Char('\r'));
    return shown;
}

QString WeightText(double value) {
    return QString::number(value, 'f', 1);
}

}  // namespace

CMorvaneView::CMorvaneView(station::StationConfig config, Prompter& prompter, QWidget* parent)
    : QWidget(parent), prompter_(prompter) {
    setMinimumSize(kReferenceWidth, kReferenceHeight);
    setMouseTracking(true);
    CreateControls();
    CreateMacroLabels();
    FillLists();
    SetInitialStates();
    station_ = std::make_unique<station::Station>(std::move(config), *this);
    ConnectControls();
    // Keys and focus changes of every control pass the form first.
    qApp->installEventFilter(this);

    blockTimer_ = new QTimer(this);
    // Twice per block: a timer at the block period itself beats against the
    // capture clock, and a tick that jitters past a block's arrival shows the
    // next one only, dropping a display picture.
    blockTimer_->setInterval(kBlockPeriodMs / 2);
    connect(blockTimer_, &QTimer::timeout, this, &CMorvaneView::PumpNow);
    clockTimer_ = new QTimer(this);
    clockTimer_->setInterval(1000);
    connect(clockTimer_, &QTimer::timeout, this, &CMorvaneView::OneSecondTick);
}

CMorvaneView::~CMorvaneView() {
    Shutdown();
}

void CMorvaneView::CreateControls() {
    for (const auto& c : kFormControls) {
        QWidget* widget = nullptr;
        const QString caption = Q(c.Caption);
        switch (c.Type) {
            case Kind::Group:
                widget = new QGroupBox(caption, this);
                break;
            case Kind::Button:
                widget = new QPushButton(caption, this);
                static_cast<QPushButton*>(widget)->setFocusPolicy(Qt::NoFocus);
                break;
            case Kind::Check:
                widget = new QCheckBox(caption, this);
                widget->setFocusPolicy(Qt::NoFocus);
                break;
            case Kind::Radio:
                widget = new QRadioButton(caption, this);
                widget->setFocusPolicy(Qt::NoFocus);
                break;
            case Kind::Static:
                widget = new QLabel(caption, this);
                break;
            case Kind::Edit:
                widget = new QLineEdit(this);
                break;
            case Kind::MultiEdit:
                widget = new QPlainTextEdit(this);
                break;
            case Kind::RichEdit: {
                auto* edit = new QTextEdit(this);
                edit->setReadOnly(true);
                edit->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                              Qt::TextSelectableByKeyboard);
                widget = edit;
                break;
            }
            case Kind::Combo:
                widget = new QComboBox(this);
                break;
            case Kind::Slider:
                widget = new SelectionSlider(this);
                break;
            case Kind::Spin:
                widget = new QSpinBox(this);
                break;
            case Kind::Display:
                widget = new DisplayWidget(this);
                break;
        }
        widget->setGeometry(c.X, c.Y, c.W, c.H);
        widget->setMouseTracking(true);
        if (c.Id != 0) {
            widget->setObjectName(QStringLiteral("c%1").arg(c.Id));
            controls_.insert(c.Id, widget);
        }
        if (c.Caption == "COM Port")
            portGroup_ = static_cast<QGroupBox*>(widget);
        // Labels pass clicks to the form, which owns the hit test.
        if (c.Type == Kind::Static || c.Type == Kind::Group)
            widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    // The up-down beside the delay field is the spin box's own arrows.
    controls_.insert(1227, controls_.value(1030));
    receive_ = ControlAs<QTextEdit>(1185);
    monitor_ = ControlAs<QTextEdit>(1247);
    transmit_ = ControlAs<QPlainTextEdit>(1033);
    levelDisplay_ = ControlAs<DisplayWidget>(1140);
    toneDisplay_ = ControlAs<DisplayWidget>(1141);
    for (QWidget* hidden : {Control(1031), Control(1133), Control(1250)})
        hidden->hide();
}

void CMorvaneView::CreateMacroLabels() {
    auto makeLabel = [this](std::size_t index, int id, const QString& caption, RefRect rect) {
        auto* label = new QLabel(caption, this);
        label->setObjectName(QStringLiteral("c%1").arg(id));
        label->setGeometry(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Raised);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->setFont(FormFont(kGothicFamily, 10.5));
        macroLabels_[index] = label;
        controls_.insert(id, label);
    };
    makeLabel(0, 1226, QStringLiteral("Auto CQ"), kAutoCqLabel);
    for (int k = 1; k <= 15; ++k)
        makeLabel(static_cast<std::size_t>(k), 1145 + k, QStringLiteral("macro%1").arg(k),
                  MacroLabelRect(k));
}

void CMorvaneView::FillLists() {
    auto* keyMode = ControlAs<QComboBox>(1189);
    keyMode->addItems({QStringLiteral("English"), QStringLiteral("E/J Direct"),
                       QStringLiteral("E/J IME"), QStringLiteral("E/J KANA")});
    auto fillWeights = [this](int id, auto choices, int selected) {
        auto* combo = ControlAs<QComboBox>(id);
        for (double v : choices)
            combo->addItem(WeightText(v));
        combo->setCurrentIndex(selected);
    };
    fillWeights(1232, transmit::kDotWeightChoices, 1);
    fillWeights(1166, transmit::kDashWeightChoices, 1);
    fillWeights(1238, transmit::kCharSpaceWeightChoices, 2);
    fillWeights(1233, transmit::kWordSpaceWeightChoices, 3);
    auto* greeting = ControlAs<QComboBox>(1195);
    greeting->addItems(
        {QStringLiteral("GM"), QStringLiteral("GA"), QStringLiteral("GE"), QStringLiteral("AUTO")});
    greeting->setCurrentIndex(3);
    auto* weather = ControlAs<QComboBox>(1218);
    weather->setEditable(true);
    weather->addItems({QStringLiteral("FINE"), QStringLiteral("CLOUDY"), QStringLiteral("RAIN"),
                       QStringLiteral("SNOW"), QStringLiteral("HOT"), QStringLiteral("WARM"),
                       QStringLiteral("COLD"), QStringLiteral("VY COLD")});
    weather->setCurrentIndex(-1);
    const QStringList reports = {QStringLiteral("5NN"),   QStringLiteral("57N"),
                                 QStringLiteral("55N"),   QStringLiteral("53N"),
                                 QStringLiteral("51N"),   QStringLiteral("599 5NN"),
                                 QStringLiteral("5NN FB")};
    auto* hisRst = ControlAs<QComboBox>(1239);
    hisRst->setEditable(true);
    hisRst->addItems(reports);
    auto* myRst = ControlAs<QComboBox>(1240);
    myRst->setEditable(true);
    myRst->addItems(reports.mid(0, 5));
}

void CMorvaneView::SetInitialStates() {
    // Radios of different groups share the form as parent: each group is
    // made exclusive on its own before anything is checked.
    for (auto group : {std::initializer_list<int>{1004, 1005}, {1010, 1011, 1012}, {1018, 1019}}) {
        auto* exclusive = new QButtonGroup(this);
        for (int id : group)
            exclusive->addButton(ControlAs<QAbstractButton>(id));
    }
    auto check = [this](int id, bool on) { ControlAs<QAbstractButton>(id)->setChecked(on); };
    for (int id : {1012, 1018, 1005, 1002, 1100, 1203, 1020})
        check(id, true);
    for (int id : {1181, 1057, 1180})
        check(id, false);
    auto slider = [this](int id, int low, int high, int tick, int position) {
        auto* s = ControlAs<QSlider>(id);
        s->setRange(low, high);
        s->setTickInterval(tick);
        s->setTickPosition(QSlider::TicksBelow);
        s->setValue(position);
    };
    slider(1000, 0, 31, 2, 15);
    slider(1001, 0, 31, 2, 15);
    slider(1078, 1, 11, 1, 6);
    ControlAs<SelectionSlider>(1001)->SetSelection(15, 15);
    ControlAs<SelectionSlider>(1078)->SetSelection(6, 6);
    auto* delay = ControlAs<QSpinBox>(1030);
    delay->setRange(1, 30);
    delay->setValue(10);

    const QFont gothic = FormFont(kGothicFamily, 10.5);
    transmit_->setFont(FormFont(kGothicFamily, 15));
    transmit_->setAttribute(Qt::WA_InputMethodEnabled, false);  // Key Mode English
    receive_->setFont(FormFont(kGothicFamily, 15));
    monitor_->setFont(FormFont(kGothicFamily, 15));
    Control(1027)->setFont(FormFont(kConsolasFamily, 10.5));
    for (int id : {1028, 1029, 1030, 1032, 1196, 1201, 1166, 1195, 1218, 1232, 1233, 1238,
                   1239, 1240, 1082, 1087, 1088, 1089, 1090, 1091, 1092, 1093, 1094, 1095,
                   1096, 1097, 1192, 1193, 1215, 1216, 1217, 1241, 1249, 1047})
        Control(id)->setFont(gothic);
    QFont clockFont = gothic;
    clockFont.setBold(true);
    clockFont.setItalic(true);
    Control(1188)->setFont(clockFont);
    for (auto* text : {ControlAs<QTextEdit>(1188)})
        text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff),
            text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The scale under the spectrum is dense: a smaller face keeps the
    // numbers apart.
    QFont scale = gothic;
    scale.setPointSizeF(7);
    for (int id = 1087; id <= 1097; ++id) {
        Control(id)->setFont(scale);
        if (id >= 1090)
            ControlAs<QLabel>(id)->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    for (int id : {1215, 1216, 1217})
        Control(id)->setFont(scale);

    ControlAs<QLabel>(1192)->clear();
    Control(1034)->hide();
    Control(1201)->hide();
    ControlAs<QLineEdit>(1034)->setReadOnly(true);
    monitor_->hide();
    Control(1259)->setEnabled(false);
    Control(1162)->setEnabled(false);
    ShowToneLabels(receive::ToneMode::FFT, true);
}

FormScale CMorvaneView::Scale() const {
    // Device pixels throughout, so the reference bounds scale as on a
    // high-DPI screen; the widget's logical size is multiplied back.
    const double ratio = devicePixelRatioF();
    const QScreen* s = screen();
    const double dpiX = s ? s->logicalDotsPerInchX() * ratio / 96.0 : ratio;
    const double dpiY = s ? s->logicalDotsPerInchY() * ratio / 96.0 : ratio;
    return {dpiX, dpiY, width() * ratio, height() * ratio};
}

void CMorvaneView::Start() {
    if (started_)
        return;
    started_ = true;
    station_->Start();
    const auto devices = station_->CaptureDeviceNames();
    auto* deviceCombo = ControlAs<QComboBox>(1115);
    {
        const QSignalBlocker block(deviceCombo);
        for (const auto& name : devices)
            deviceCombo->addItem(QString::fromStdString(name));
        deviceCombo->setCurrentIndex(devices.empty() ? -1 : 0);
    }
    auto* ports = ControlAs<QComboBox>(1282);
    {
        const QSignalBlocker block(ports);
        for (const auto& name : station_->KeyPortNames())
            ports->addItem(QString::fromStdString(name));
        ports->setCurrentIndex(-1);
    }
    // A first start decodes at once: capture opens on the first device
    // (the demo contact when there is no sound card).
    if (!devices.empty())
        station_->SelectCaptureDevice(devices.front());
    PumpNow();
    blockTimer_->start();
    clockTimer_->start();
    FocusTxEdit();
}

void CMorvaneView::Shutdown() {
    if (!station_)
        return;
    blockTimer_->stop();
    clockTimer_->stop();
    if (started_)
        station_->Shutdown();
    started_ = false;
}

void CMorvaneView::PumpNow() {
    station_->Pump();
    if (receiveDirty_)
        RepaintTextWindow(receive_, station_->ReceiveModel(), receiveShown_);
    if (monitorDirty_)
        RepaintTextWindow(monitor_, station_->MonitorModel(), monitorShown_);
    receiveDirty_ = monitorDirty_ = false;
    DrainSnapshots();
}

void CMorvaneView::OneSecondTick() {
    station_->OneSecondTick();
    PumpNow();
}

void CMorvaneView::ShowToneLabels(receive::ToneMode mode, bool highRange) {
    const auto labels = receive::ToneDisplayLabels(mode, highRange);
    for (int i = 0; i < 11; ++i)
        ControlAs<QLabel>(1087 + i)->setText(Q(labels[static_cast<std::size_t>(i)]));
    toneLabels_ = {mode, highRange};
}

void CMorvaneView::DrainSnapshots() {
    receive::SignalChain* chain = station_->Chain();
    if (!chain)
        return;
    const std::pair shown{chain->Options().ToneDisplayMode.load(),
                          chain->Options().SpectrumHighRange.load()};
    if (shown != toneLabels_)
        ShowToneLabels(shown.first, shown.second);
    receive::DisplayPicture picture;
    if (!ControlAs<QAbstractButton>(1180)->isChecked() &&
        chain->LevelPicture.ReadIfNewer(picture, levelVersion_))
        levelDisplay_->SetPicture(picture);
    if (!ControlAs<QAbstractButton>(1181)->isChecked() &&
        chain->TonePicture.ReadIfNewer(picture, toneVersion_))
        toneDisplay_->SetPicture(picture);
    std::string text;
    if (chain->ThresholdLabel.ReadIfNewer(text, thresholdVersion_))
        ControlAs<QLabel>(1082)->setText(QString::fromStdString(text));
    if (chain->ToneLabel.ReadIfNewer(text, toneLabelVersion_))
        ControlAs<QLabel>(1249)->setText(QString::fromStdString(text));
    const auto& scale = levelDisplay_->Picture().Labels;
    for (std::size_t i = 0; i < scale.size(); ++i)
        ControlAs<QLabel>(1215 + static_cast<int>(i))->setText(Q(scale[i]));
}

// Appends what the model gained since the last paint; repaints it whole
// after a clear or any change before the shown end.
void CMorvaneView::RepaintTextWindow(QTextEdit* edit, const text::TextWindow& model,
                                     std::size_t& shown) {
    const bool atBottom =
        edit->verticalScrollBar()->value() >= edit->verticalScrollBar()->maximum() - 4;
    if (model.Length() < shown)
        shown = 0;
    if (shown == 0)
        edit->clear();
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    // Plain (received) text is further split by the decoder's confidence.
    const std::vector<text::ConfidenceRun> confidences = model.ConfidenceRuns();
    auto confidence = confidences.begin();
    for (const auto& run : model.Runs()) {
        const std::size_t end = run.Start + run.Length;
        if (end <= shown)
            continue;
        const bool plain = run.Format == text::TextFormat::Default;
        for (std::size_t at = std::max(run.Start, shown); at < end;) {
            while (confidence->Start + confidence->Length <= at)
                ++confidence;
            const std::size_t pieceEnd =
                plain ? std::min(end, confidence->Start + confidence->Length) : end;
            QTextCharFormat format;
            format.setForeground(plain ? ConfidenceColour(confidence->Confidence)
                                       : FormatColour(run.Format));
            if (!plain)
                format.setFontCapitalization(QFont::AllUppercase);
            cursor.insertText(DisplayText(model.Slice(at, pieceEnd - at)), format);
            at = pieceEnd;
        }
    }
    shown = model.Length();
    if (atBottom)
        edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum());
}

// --- StationView ----------------------------------------------------------

void CMorvaneView::ShowMessage(std::string_view text, station::MessageIcon) {
    prompter_.Inform(this, Q(text));
}

void CMorvaneView::Beep() {
    QApplication::beep();
}

void CMorvaneView::FocusTxEdit() {
    QTextCursor cursor = transmit_->textCursor();
    cursor.movePosition(QTextCursor::End);
    transmit_->setTextCursor(cursor);
    transmit_->setFocus();
}

void CMorvaneView::FocusHisCall() {
    Control(1027)->setFocus();
}

void CMorvaneView::SetTitle(std::string_view title) {
    emit TitleChanged(Q(title));
}

void CMorvaneView::SetClockText(std::string_view text) {
    auto* clock = ControlAs<QTextEdit>(1188);
    if (clock->toPlainText() != Q(text))
        clock->setPlainText(Q(text));
}

void CMorvaneView::SetPortCaption(std::string_view caption) {
    portGroup_->setTitle(Q(caption));
}

void CMorvaneView::SetTransmitSpeedLabel(std::string_view text) {
    ControlAs<QLabel>(1193)->setText(Q(text));
    // Speed tags in sent text move the slider with the label.
    if (station_) {
        const QSignalBlocker block(Control(1001));
        ControlAs<QSlider>(1001)->setValue(station_->SpeedStep());
    }
}

void CMorvaneView::ShowMacroLabel(int label, const macros::LabelView& view) {
    if (label < 0 || label > 15)
        return;
    QLabel* shown = macroLabels_[static_cast<std::size_t>(label)];
    shown->setText(QString::fromStdString(view.Caption));
    QPalette palette = shown->palette();
    static constexpr QRgb kPalette[6] = {qRgb(0, 0, 0),     qRgb(0, 0, 255), qRgb(0, 255, 0),
                                         qRgb(0, 255, 255), qRgb(255, 0, 0), qRgb(255, 0, 255)};
    palette.setColor(QPalette::WindowText,
                     QColor(kPalette[view.Colour >= 0 && view.Colour < 6 ? view.Colour : 0]));
    shown->setPalette(palette);
}

void CMorvaneView::SetMacroLabelEnabled(int label, bool enabled) {
    if (label >= 0 && label <= 15)
        macroLabels_[static_cast<std::size_t>(label)]->setEnabled(enabled);
}

void CMorvaneView::ShowSendNr(std::string_view text) {
    ControlAs<QLineEdit>(1034)->setText(Q(text));
}

void CMorvaneView::SetQsoGroupCaptions(std::string_view hisName, std::string_view hisQth) {
    ControlAs<QGroupBox>(1198)->setTitle(Q(hisName));
    ControlAs<QGroupBox>(1199)->setTitle(Q(hisQth));
}

void CMorvaneView::ShowContestFields(bool contest) {
    Control(1028)->setVisible(!contest);
    Control(1029)->setVisible(!contest);
    Control(1034)->setVisible(contest);
    Control(1201)->setVisible(contest);
    const QSignalBlocker block(Control(1197));
    ControlAs<QAbstractButton>(1197)->setChecked(contest);
}

void CMorvaneView::SetLinkButtons(bool saveEnabled, bool timeEnabled) {
    Control(1162)->setEnabled(saveEnabled);
    Control(1259)->setEnabled(timeEnabled);
}

void CMorvaneView::ApplyOptionEffects(const settings::OptionEffects& effects) {
    const QString family = Q(effects.FontFamily);
    Control(1027)->setFont(FormFont(family, effects.HisCallPoints));
    for (QWidget* text : {static_cast<QWidget*>(transmit_), static_cast<QWidget*>(receive_),
                          static_cast<QWidget*>(monitor_)})
        text->setFont(FormFont(family, effects.TextPoints));
    ControlAs<QPushButton>(1207)->setText(Q(effects.LocationCaption));
    {
        const QSignalBlocker block(Control(1047));
        ControlAs<QAbstractButton>(1047)->setChecked(effects.TxEditStop);
    }
    monitorMode_ = effects.MonitorMode;
    LayOutMonitor(effects.MonitorMode == 'T');
}

void CMorvaneView::LayOutMonitor(bool shown) {
    // Reference rectangles scaled by the client size, as the form grows.
    const double sx = width() / double(kReferenceWidth), sy = height() / double(kReferenceHeight);
    auto place = [sx, sy](QWidget* w, int x, int y, int width, int height) {
        w->setGeometry(int(x * sx + 0.5), int(y * sy + 0.5), int(width * sx + 0.5),
                       int(height * sy + 0.5));
    };
    monitor_->setVisible(shown);
    if (shown) {
        place(monitor_, 470, 252, 467, 60);
        place(transmit_, 470, 311, 467, 127);
    } else {
        place(transmit_, 470, 252, 467, 187);
    }
}

void CMorvaneView::FieldChanged(station::StationField field, std::string_view value) {
    using F = station::StationField;
    const QString text = Q(value);
    auto setLine = [&](int id) {
        auto* edit = ControlAs<QLineEdit>(id);
        if (edit->text() != text) {
            const QSignalBlocker block(edit);
            edit->setText(text);
        }
    };
    auto setCombo = [&](int id) {
        auto* combo = ControlAs<QComboBox>(id);
        const QSignalBlocker block(combo);
        combo->setCurrentText(text);
    };
    switch (field) {
        case F::HisCall:
            setLine(1027);
            break;
        case F::HisName:
            setLine(1028);
            break;
        case F::HisQTH:
            setLine(1029);
            break;
        case F::RcvdNR:
            setLine(1201);
            break;
        case F::HisRST:
            setCombo(1239);
            break;
        case F::MyRST:
            setCombo(1240);
            break;
        case F::Greeting:
            setCombo(1195);
            break;
        case F::MyWX:
            weather_[0] = text;
            if (!showHisWeather_)
                setCombo(1218);
            break;
        case F::MyTemp:
            temperature_[0] = text;
            if (!showHisTemp_)
                setLine(1032);
            break;
    }
}

void CMorvaneView::LookupLine(std::string_view line) {
    emit HelpShown(Q(line));
}

void CMorvaneView::LinkChanged(station::LoggerLink, bool) {}

void CMorvaneView::ReceiveTextChanged(std::string_view, bool cleared) {
    if (cleared)
        receiveShown_ = 0;
    receiveDirty_ = true;
}

void CMorvaneView::MonitorTextChanged(std::string_view, bool cleared) {
    if (cleared)
        monitorShown_ = 0;
    monitorDirty_ = true;
}

void CMorvaneView::CharactersKeyed(std::string_view) {}

// --- receive side -------------------------------------------------------

void CMorvaneView::ShowReceiveSpeed(std::string_view label, int step) {
    ControlAs<QLabel>(1241)->setText(Q(label));
    // The station moved it: not a hand on the slider.
    const QSignalBlocker block(Control(1000));
    ControlAs<QSlider>(1000)->setValue(step);
}

void CMorvaneView::ShowReceiveLanguage(bool japanese) {
    ControlAs<QAbstractButton>(japanese ? 1019 : 1018)->setChecked(true);
}

void CMorvaneView::EmptyClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard->text().isEmpty())
        clipboard->clear();
}

// The transmit area has one label for the Key Mode: it shows the short
// form, and hovering over it the long one.
void CMorvaneView::ShowKeyModeLabels(std::string_view label, std::string_view longForm) {
    auto* shown = ControlAs<QLabel>(1192);
    shown->setText(QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())));
    shown->setToolTip(QString::fromUtf8(longForm.data(), static_cast<qsizetype>(longForm.size())));
}

void CMorvaneView::ReceiveFocusChanged(bool focused) {
    if (focused) {
        station_->ReceiveFocusGained();
    } else {
        const QTextCursor cursor = receive_->textCursor();
        const std::string model = station_->ReceiveModel().Text();
        station_->ReceiveFocusLost(ModelPosition(model, cursor.selectionStart()),
                                   ModelPosition(model, cursor.selectionEnd()));
    }
    PumpNow();
}

void CMorvaneView::PressLanguageButton(bool japanese) {
    // F8 and the buttons act on what the receive window held when it was left.
    if (receive_->hasFocus())
        FocusTxEdit();
    ShowReceiveLanguage(station_->PressLanguageButton(japanese));
    PumpNow();
    if (!FieldHasFocus())
        FocusTxEdit();
}

void CMorvaneView::TransmitTextChanged(std::string_view text) {
    const QString shown = Q(text);
    // The window shows every line break as one "\n".
    if (transmit_->toPlainText() == QString(shown)
                                        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                        .replace(QLatin1Char('\r'), QLatin1Char('\n')))
        return;
    updatingTransmit_ = true;
    transmit_->setPlainText(shown);
    updatingTransmit_ = false;
    QTextCursor cursor = transmit_->textCursor();
    cursor.movePosition(QTextCursor::End);
    transmit_->setTextCursor(cursor);
}

}  // namespace morvane::form
