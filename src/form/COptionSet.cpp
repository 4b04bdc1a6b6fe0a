#include "form/COptionSet.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

namespace morvane::form {

namespace {

using C = settings::OptionControl;
using settings::GreetingHour;
using settings::OptionField;

struct ButtonSpec {
    C control;
    const char* caption;
    bool radio;
};

struct GroupSpec {
    const char* caption;
    std::initializer_list<ButtonSpec> buttons;
};

// Groups and captions as the operator knows them.
const std::initializer_list<GroupSpec> kGroups = {
    {"RX/TX Size Font",
     {{C::FontS, "S", true},
      {C::FontM, "M", true},
      {C::FontL, "L", true},
      {C::Consolas, "Consolas", false}}},
    {"Jpn Disp", {{C::Hiragana, "HIRAGANA", true}, {C::Katakana, "KATAKANA", true}}},
    {"Data Indicate on RX>",
     {{C::CountryEng, "Country Name (  Eng", false},
      {C::CountryJpn, "Jpn)", false},
      {C::DxLocalTime, "DX Local time", false}}},
    {"Clock", {{C::ClockUtc, "UTC", true}, {C::ClockJst, "JST", true}}},
    {"Location", {{C::LocationJapan, "Japan", true}, {C::LocationAbroad, "Abroad", true}}},
    {"RcvdNR",
     {{C::RcvdNrCheck, "RcvdNR 未入力確認", false}, {C::RcvdNrUncut, "A=1 N=9 O=0 T=0", false}}},
    {"SendNR",
     {{C::Zero0, "0=0", true},
      {C::ZeroO, "0=O", true},
      {C::ZeroT, "0=T", true},
      {C::SendCut, "1=A 9=N", false}}},
    {"TxEdit", {{C::TxEditStop, "Stop", false}}},
    {"Monitor", {{C::MonitorRx, "RX>", false}, {C::MonitorTx, "TX>", false}}},
    {"RST", {{C::FiveNN, "5NN", false}}},
    {"  PTT      Lead time (msec)",
     {{C::PttOff, "OFF", true},
      {C::Ptt25, "25", true},
      {C::Ptt50, "50", true},
      {C::Ptt100, "100", true},
      {C::Ptt200, "200", true},
      {C::Ptt500, "500", true}}},
    {"PTT Ctrl", {{C::PttRtsDtr, "RTS/DTR", true}, {C::PttHamlog, "Hamlog", true}}},
    {"Log Soft", {{C::LogHamlog, "Hamlog", false}, {C::LogCtestwin, "CTestWin", false}}},
    {"Mode", {{C::ModeCw, "CW", false}, {C::ModeA1A, "A1A", false}}},
    {"Temp(minus)", {{C::TempMin, "MIN", true}, {C::TempBar, " ー", true}}},
    {"QSL", {{C::Qsl, "8N 8J 8K =", false}}},
    {"Others",
     {{C::FrontDisp, "Front Disp", false},
      {C::Paste, "Paste", false},
      {C::GetHisName, "GetHisName", false},
      {C::SaveLog, "Save", false}}},
};

constexpr std::array<const char*, 7> kFieldCaptions = {"MyCall", "MyName", "MyQTH", "Others",
                                                       "Name",   "QSL",    ""};

}  // namespace

COptionSet::COptionSet(std::string_view options, const settings::OptionTexts& texts,
                       QWidget* parent)
    : QDialog(parent), model_(options) {
    setWindowTitle(QStringLiteral("Option Set"));
    Build();
    const std::array<const std::string*, 7> values = {
        &texts.MyCall,      &texts.MyName, &texts.MyQTH,    &texts.Others,
        &texts.ContestName, &texts.Qsl,    &texts.QslPrefix};
    for (std::size_t i = 0; i < fields_.size(); ++i)
        fields_[i]->setText(QString::fromStdString(*values[i]));
    Refresh();
}

void COptionSet::Build() {
    auto* grid = new QGridLayout(this);
    auto* fieldsForm = new QFormLayout;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        fields_[i] = new QLineEdit(this);
        fields_[i]->installEventFilter(this);
        fieldsForm->addRow(QString::fromUtf8(kFieldCaptions[i]), fields_[i]);
    }
    for (auto* qsl : {fields_[5], fields_[6]}) {
        connect(qsl, &QLineEdit::textEdited, this, [qsl](const QString& text) {
            const auto cut = QString::fromStdString(settings::CutQsl(text.toStdString()));
            if (cut != text)
                qsl->setText(cut);
        });
    }
    grid->addLayout(fieldsForm, 0, 0, 1, 2);

    int slot = 0;
    for (const auto& group : kGroups) {
        auto* box = new QGroupBox(QString::fromUtf8(group.caption), this);
        auto* row = new QHBoxLayout(box);
        for (const auto& entryRow : group.buttons) {
            QAbstractButton* button = entryRow.radio
                                          ? static_cast<QAbstractButton*>(new QRadioButton(box))
                                          : new QCheckBox(box);
            button->setText(QString::fromUtf8(entryRow.caption));
            // The model decides the check states; the widgets only mirror them.
            button->setAutoExclusive(false);
            connect(button, &QAbstractButton::clicked, this, [this, control = entryRow.control] {
                model_.Click(control);
                Refresh();
            });
            row->addWidget(button);
            buttons_[static_cast<int>(entryRow.control)] = button;
        }
        ++slot;
        grid->addWidget(box, 1 + slot / 2, slot % 2);
    }

    auto* hourBox = new QGroupBox(QStringLiteral("Greeting start time "), this);
    auto* hourRow = new QHBoxLayout(hourBox);
    const std::array<std::pair<GreetingHour, const char*>, 3> hourSpecs = {
        {{GreetingHour::GM, "GM"}, {GreetingHour::GA, "GA"}, {GreetingHour::GE, "GE"}}};
    for (std::size_t i = 0; i < hours_.size(); ++i) {
        const auto [hour, caption] = hourSpecs[i];
        auto* spin = new QSpinBox(hourBox);
        const auto [low, high] = settings::OptionDialogModel::HourRange(hour);
        spin->setRange(low, high);
        spin->setValue(model_.HourValue(hour));
        connect(spin, &QSpinBox::editingFinished, this,
                [this, spin, h = hour] { model_.CommitHour(h, spin->value()); });
        // The arrows commit too: the edit may never get and lose the focus.
        connect(spin, &QSpinBox::valueChanged, this,
                [this, h = hour](int v) { model_.CommitHour(h, v); });
        hourRow->addWidget(new QLabel(QString::fromUtf8(caption), hourBox));
        hourRow->addWidget(spin);
        hours_[i] = spin;
    }
    ++slot;
    grid->addWidget(hourBox, 1 + slot / 2, slot % 2);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 3 + slot / 2, 0, 1, 2);
}

void COptionSet::Refresh() {
    for (int i = 0; i < static_cast<int>(C::Count); ++i)
        if (buttons_[i])
            buttons_[i]->setChecked(model_.IsChecked(static_cast<C>(i)));
}

settings::OptionTexts COptionSet::Texts() const {
    settings::OptionTexts texts;
    std::array<std::string*, 7> out = {&texts.MyCall,   &texts.MyName,      &texts.MyQTH,
                                       &texts.Others,   &texts.ContestName, &texts.Qsl,
                                       &texts.QslPrefix};
    for (std::size_t i = 0; i < fields_.size(); ++i)
        *out[i] = fields_[i]->text().toStdString();
    return texts;
}

QAbstractButton* COptionSet::Button(C control) const {
    return buttons_[static_cast<int>(control)];
}

QLineEdit* COptionSet::Field(OptionField field) const {
    return fields_[static_cast<std::size_t>(field)];
}

QSpinBox* COptionSet::HourSpin(GreetingHour hour) const {
    return hours_[static_cast<std::size_t>(hour)];
}

bool COptionSet::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter walks the text fields instead of closing the dialog.
            for (std::size_t i = 0; i < fields_.size(); ++i)
                if (watched == fields_[i]) {
                    Field(settings::NextFieldOnEnter(static_cast<OptionField>(i)))->setFocus();
                    return true;
                }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace morvane::form
