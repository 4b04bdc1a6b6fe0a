// The form's dialogs and the shell launches of the menus. Each dialog edits
// copies; what changed after OK goes to the station as settings.
#include <QAbstractButton>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QUrl>

#include "form/CAboutDlg.h"
#include "form/CMorvaneView.h"
#include "form/COptionSet.h"
#include "form/CURL.h"
#include "form/CautoCQ.h"
#include "form/Cmacro1.h"
#include "form/Cmacro2.h"
#include "form/Cmacro3.h"
#include "form/Prompter.h"

namespace morvane::form {

namespace {

QString EntryText(const station::Station& station, int index) {
    return QString::fromStdString(station.Document().Entry(index));
}

// Link defaults until a data file registers others.
const WebLinks kDefaultLinks = {{
    {QStringLiteral("QRZ.com(&Q)"), QStringLiteral("https://www.qrz.com/")},
    {QStringLiteral("eQSL(&E)"), QStringLiteral("https://www.eqsl.cc/")},
    {QStringLiteral("JARL会員検索(&J)"), QStringLiteral("https://www.jarl.org/")},
    {QStringLiteral("局免検索(&L)"), QStringLiteral("https://www.tele.soumu.go.jp/musen/")},
    {QStringLiteral("Morvane blog(&B)"), QStringLiteral("https://example.org/morvane/blog")},
    {QStringLiteral("MRVNホームページ(&H)"), QStringLiteral("https://example.org/morvane/")},
    {QStringLiteral("-----------"), QStringLiteral("https://")},
    {QStringLiteral("-----------"), QStringLiteral("https://")},
}};

bool Open(const QString& target) {
    const QUrl url = QUrl::fromUserInput(target, QString(), QUrl::AssumeLocalFile);
    return !target.isEmpty() && url.isValid() && QDesktopServices::openUrl(url);
}

}  // namespace

bool CMorvaneView::OpenSettingsFile(const QString& path) {
    const bool opened = station_->OpenSettings(std::filesystem::path(path.toStdString()));
    SyncFromDocument();
    PumpNow();
    return opened;
}

bool CMorvaneView::SaveSettingsFile(const QString& path) {
    return station_->SaveSettings(std::filesystem::path(path.toStdString()));
}

void CMorvaneView::NewSettings() {
    station_->NewSettings();
    SyncFromDocument();
    PumpNow();
}

void CMorvaneView::OpenOptionSet() {
    station_->BeginOptionDialog();
    COptionSet dialog(station_->Options().Options, station_->Options().Texts, this);
    const bool accepted = prompter_.Run(dialog) == QDialog::Accepted;
    station_->FinishOptionDialog(accepted, dialog.Options(), dialog.Texts());
    PumpNow();
}

QString CMorvaneView::WebLinkCaption(int link) const {
    const QString stored = EntryText(*station_, WebLinkEntry(link, 0));
    return stored.isEmpty() ? kDefaultLinks[static_cast<std::size_t>(link)].Caption : stored;
}

void CMorvaneView::OpenUrlDialog() {
    WebLinks links;
    for (int k = 0; k < 8; ++k) {
        const QString address = EntryText(*station_, WebLinkEntry(k, 1));
        links[static_cast<std::size_t>(k)] = {
            WebLinkCaption(k),
            address.isEmpty() ? kDefaultLinks[static_cast<std::size_t>(k)].Address : address};
    }
    CURL dialog(links, this);
    if (prompter_.Run(dialog) == QDialog::Accepted) {
        const WebLinks changed = dialog.Links();
        for (int k = 0; k < 8; ++k) {
            const auto& before = links[static_cast<std::size_t>(k)];
            const auto& after = changed[static_cast<std::size_t>(k)];
            if (after.Caption != before.Caption)
                station_->ChangeSetting(WebLinkEntry(k, 0), after.Caption.toStdString());
            if (after.Address != before.Address)
                station_->ChangeSetting(WebLinkEntry(k, 1), after.Address.toStdString());
        }
    }
    station_->ResetSendMark();
    if (!FieldHasFocus())
        FocusTxEdit();
}

void CMorvaneView::OpenWebLink(int link) {
    const QString stored = EntryText(*station_, WebLinkEntry(link, 1));
    const QString address =
        stored.isEmpty() ? kDefaultLinks[static_cast<std::size_t>(link)].Address : stored;
    if (!Open(address)) {
        const QString caption = WebLinkCaption(link);
        prompter_.Inform(
            this, caption.left(caption.size() - 1) + QStringLiteral("を開くことが出来ません"));
    }
}

void CMorvaneView::OpenAbout() {
    CAboutDlg dialog(this);
    prompter_.Run(dialog);
}

void CMorvaneView::OpenManual() {
    if (!Open(QStringLiteral("HTMLHELP32/取扱説明書.pdf")))
        prompter_.Inform(this, QStringLiteral("取扱説明書.pdfを開くことが出来ません"));
}

void CMorvaneView::OpenReadme() {
    if (!Open(QStringLiteral("readme/readme.pdf")))
        prompter_.Inform(this, QStringLiteral("readme.pdfを開くことが出来ません"));
}

void CMorvaneView::OpenMixer() {
    // The desktop's recording mixer: PulseAudio's, then ALSA's in a terminal.
    if (QProcess::startDetached(QStringLiteral("pavucontrol"), {QStringLiteral("--tab=2")}))
        return;
    if (QProcess::startDetached(QStringLiteral("x-terminal-emulator"),
                                {QStringLiteral("-e"), QStringLiteral("alsamixer"),
                                 QStringLiteral("-V"), QStringLiteral("capture")}))
        return;
    prompter_.Inform(this, QStringLiteral("サウンドデバイスを開けません。"));
}

void CMorvaneView::EditMacro(int label) {
    QLabel* shown = macroLabels_[static_cast<std::size_t>(label)];
    shown->setEnabled(false);
    const bool contest = ControlAs<QAbstractButton>(1197)->isChecked();
    auto changeIfDifferent = [this](int entry, const QString& before, const QString& after) {
        if (after != before)
            station_->ChangeSetting(entry, after.toStdString());
    };
    if (label == 0) {
        const QString text = EntryText(*station_, Index(EntryId::AutoCqText));
        QString times = EntryText(*station_, Index(EntryId::AutoCqTimes));
        if (times.isEmpty())
            times = QStringLiteral("0705");
        CautoCQ dialog(text, times, contest, this);
        if (prompter_.Run(dialog) == QDialog::Accepted) {
            changeIfDifferent(Index(EntryId::AutoCqText), text, dialog.Text());
            changeIfDifferent(Index(EntryId::AutoCqTimes), times.left(4), dialog.Times());
        }
        station_->StopAutoCq();
    } else if (bank_ == 1 && contest && label == 13) {
        const QString text = EntryText(*station_, 13);
        Cmacro3 dialog(text, this);
        if (prompter_.Run(dialog) == QDialog::Accepted)
            changeIfDifferent(13, text, dialog.Text());
    } else if (bank_ == 1 && contest && label >= 14) {
        const QString text = EntryText(*station_, label);
        Cmacro2 dialog(label - 13, text, prompter_, this);
        if (prompter_.Run(dialog) == QDialog::Accepted)
            changeIfDifferent(label, text, dialog.Text());
    } else {
        const int macro = label + (bank_ == 2 ? 15 : 0);
        const QString text = EntryText(*station_, MacroTextEntry(macro));
        const QString caption = macroLabels_[static_cast<std::size_t>(label)]->text();
        const int colour = EntryText(*station_, MacroColourEntry(macro)).toInt();
        Cmacro1 dialog(macro, contest, text, caption, colour, this);
        if (prompter_.Run(dialog) == QDialog::Accepted) {
            changeIfDifferent(MacroTextEntry(macro), text, dialog.Text());
            changeIfDifferent(MacroLabelEntry(macro), caption, dialog.Caption());
            station_->ChangeSetting(MacroColourEntry(macro), std::to_string(dialog.Colour()));
        }
    }
    shown->setEnabled(true);
    station_->ResetSendMark();
    PumpNow();
    if (!FieldHasFocus())
        FocusTxEdit();
}

// Brings the controls to the station's settings after a file was applied.
void CMorvaneView::SyncFromDocument() {
    // What the station now holds, read back from its subsystems.
    auto entry = [this](EntryId id) {
        return QString::fromStdString(station_->SettingText(Index(id)));
    };
    auto check = [this](int id, bool on) {
        const QSignalBlocker block(Control(id));
        ControlAs<QAbstractButton>(id)->setChecked(on);
    };
    auto choose = [this](int id, const QString& text) {
        auto* combo = ControlAs<QComboBox>(id);
        const QSignalBlocker block(combo);
        const int index = combo->findText(text);
        if (index >= 0)
            combo->setCurrentIndex(index);
    };
    auto nonEmpty = [&](EntryId id, auto apply) {
        const QString value = entry(id);
        if (!value.isEmpty())
            apply(value);
    };
    nonEmpty(EntryId::LevelDisplay,
             [&](const QString& v) { check(v == QStringLiteral("CW") ? 1004 : 1005, true); });
    nonEmpty(EntryId::GraphicMode, [&](const QString& v) {
        check(v == QStringLiteral("Sine")      ? 1010
              : v == QStringLiteral("Synchro") ? 1011
                                               : 1012,
              true);
    });
    nonEmpty(EntryId::InputVolume, [&](const QString& v) {
        const QSignalBlocker block(Control(1078));
        ControlAs<QSlider>(1078)->setValue(v.toInt());
    });
    nonEmpty(EntryId::NoiseReduction, [&](const QString& v) {
        check(1057, v == QStringLiteral("NoiseON1"));
        check(1203, v == QStringLiteral("NoiseON2"));
    });
    nonEmpty(EntryId::QrmFilter,
             [&](const QString& v) { check(1118, v == QStringLiteral("QRMON")); });
    nonEmpty(EntryId::ThresholdDb, [&](const QString& v) {
        ControlAs<QLabel>(1082)->setText(QStringLiteral("Threshold %1db").arg(v.toInt()));
    });
    nonEmpty(EntryId::ToneCentre, [&](const QString& v) {
        check(1127, v == QStringLiteral("ToneAUTO"));
        if (v.front().isDigit())
            ControlAs<QLabel>(1249)->setText(v + QStringLiteral("Hz"));
    });
    nonEmpty(EntryId::CaptureDevice, [&](const QString& v) { choose(1115, v); });
    nonEmpty(EntryId::KeyPort, [&](const QString& v) { choose(1282, v); });
    const QString keyMode = entry(EntryId::KeyMode);
    const QStringList keyWords = {QStringLiteral("TXENG"), QStringLiteral("DIRECT"),
                                  QStringLiteral("IME"), QStringLiteral("KANA")};
    if (keyWords.contains(keyMode)) {
        const QSignalBlocker block(Control(1189));
        ControlAs<QComboBox>(1189)->setCurrentIndex(static_cast<int>(keyWords.indexOf(keyMode)));
        UseInputMethod(keyWords.indexOf(keyMode) >= 2);
    }
    nonEmpty(EntryId::SpaceDel,
             [&](const QString& v) { check(1100, v == QStringLiteral("SpaceDelON")); });
    const QString language = entry(EntryId::RxLanguage);
    if (language.size() == 2) {
        check(language[0] == QLatin1Char('J') ? 1019 : 1018, true);
        check(1085, language[1] == QLatin1Char('A'));
    }
    nonEmpty(EntryId::Extend,
             [&](const QString& v) { check(1020, v == QStringLiteral("ExtendON")); });
    check(1280, entry(EntryId::AutoThreshold) == QStringLiteral("ThreON"));
    nonEmpty(EntryId::TxClearAuto,
             [&](const QString& v) { check(1190, v == QStringLiteral("TxClearAutoON")); });
    nonEmpty(EntryId::TxClearDelay, [&](const QString& v) {
        if (v.toInt() >= 1 && v.toInt() <= 30) {
            const QSignalBlocker block(Control(1030));
            ControlAs<QSpinBox>(1030)->setValue(v.toInt());
        }
    });
    nonEmpty(EntryId::RxAutoSpeed,
             [&](const QString& v) { check(1002, v == QStringLiteral("rxautoON")); });
    choose(1232, entry(EntryId::DotRatio));
    choose(1166, entry(EntryId::DashRatio));
    choose(1238, entry(EntryId::CharSpaceRatio));
    choose(1233, entry(EntryId::WordSpaceRatio));
    {
        const QSignalBlocker block(Control(1001));
        ControlAs<QSlider>(1001)->setValue(station_->SpeedStep());
    }
    {
        const QSignalBlocker block(Control(1196));
        ControlAs<QLineEdit>(1196)->setText(entry(EntryId::ContestNumber));
    }
}

}  // namespace morvane::form
