// The main form on a station without devices: the start-up state of every
// control, the keyboard map, macro labels, clicks and hover help in
// reference coordinates (run at 100 % and 200 %), the clock, a settings file
// through the menus and the Option Set, and the save prompt on close.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include "../station/StationRig.h"
#include "FakePrompter.h"
#include "app/CMainFrame.h"
#include "form/COptionSet.h"
#include "form/Cmacro1.h"
#include "form/Fonts.h"
#include "form/SelectionSlider.h"
#include "macros/StationClock.h"

using namespace morvane;
using namespace morvane::form;
using test::FakePrompter;

namespace {

// Local 09:05:00, UTC 00:05:00.
const macros::ClockReading kMorning{{2026, 12, 7, 9, 5, 0}, {2026, 12, 7, 0, 5, 0}};

struct Rig {
    FakePrompter prompter;
    macros::FixedClock clock{kMorning};
    station::test::FakeLoggers loggers;
    QTemporaryDir dir;
    QSettings profile{dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat};
    std::unique_ptr<app::CMainFrame> frame;

    Rig() {
        station::StationConfig config;
        config.Clock = &clock;
        loggers.HamlogUp = false;
        loggers.CtestwinUp = false;
        config.Loggers.Windows = &loggers;
        frame = std::make_unique<app::CMainFrame>(std::move(config), prompter, profile);
        frame->View().Start();
        frame->show();
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    }
    ~Rig() {
        prompter.Answers.assign(8, Prompter::Answer::No);
        if (frame)
            frame->close();
    }
    CMorvaneView& View() { return frame->View(); }
    station::Station& Station() { return View().Station(); }
    QAction* MenuItem(const QString& menu, const QString& caption) {
        for (QAction* a : frame->Menu(menu)->actions())
            if (a->text() == caption)
                return a;
        return nullptr;
    }
};

QString Describe(QWidget* w, const QString& what) {
    if (!w)
        return QStringLiteral("<none>");
    if (what == QLatin1String("checked"))
        return QString::number(qobject_cast<QAbstractButton*>(w)->isChecked());
    if (what == QLatin1String("enabled"))
        return QString::number(w->isEnabled());
    if (what == QLatin1String("visible"))
        return QString::number(w->isVisible());
    if (what == QLatin1String("font"))
        return QStringLiteral("%1 %2").arg(w->font().family()).arg(w->font().pointSizeF());
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (what == QLatin1String("items")) {
            QStringList items;
            for (int i = 0; i < combo->count(); ++i)
                items << combo->itemText(i);
            return items.join(QLatin1Char('|')) + QStringLiteral(" @%1").arg(combo->currentIndex());
        }
        return combo->currentText();
    }
    if (auto* marked = qobject_cast<form::SelectionSlider*>(w);
        marked != nullptr && marked->SelectionEnd() >= marked->SelectionStart()) {
        return QStringLiteral("%1..%2@%3/%4 [%5..%6]")
            .arg(marked->minimum())
            .arg(marked->maximum())
            .arg(marked->value())
            .arg(marked->tickInterval())
            .arg(marked->SelectionStart())
            .arg(marked->SelectionEnd());
    }
    if (auto* slider = qobject_cast<QSlider*>(w))
        return QStringLiteral("%1..%2@%3/%4")
            .arg(slider->minimum())
            .arg(slider->maximum())
            .arg(slider->value())
            .arg(slider->tickInterval());
    if (auto* spin = qobject_cast<QSpinBox*>(w))
        return QStringLiteral("%1..%2@%3")
            .arg(spin->minimum())
            .arg(spin->maximum())
            .arg(spin->value());
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return group->title();
    if (auto* line = qobject_cast<QLineEdit*>(w))
        return line->text();
    if (auto* rich = qobject_cast<QTextEdit*>(w))
        return rich->toPlainText();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        return plain->toPlainText();
    return QStringLiteral("<?>");
}

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { InstallFontFallbacks(); }

    void startupState_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("expected");
        const QString gothic = QStringLiteral("ＭＳ ゴシック");
        struct Row {
            int id;
            const char* what;
            QString expected;
        };
        const Row rows[] = {
            {1189, "items", "English|E/J Direct|E/J IME|E/J KANA @0"},
            {1232, "items", "0.9|1.0|1.1|1.2|1.3|1.5 @1"},
            {1166, "items", "2.8|3.0|3.2|3.4|3.6|3.8|4.0|4.2|4.5 @1"},
            {1238, "items", "2.6|2.8|3.0|3.5|4.0|5.0 @2"},
            {1233, "items", "4.0|5.0|6.0|7.0|8.0|9.0 @3"},
            {1195, "items", "GM|GA|GE|AUTO @3"},
            {1218, "items", "FINE|CLOUDY|RAIN|SNOW|HOT|WARM|COLD|VY COLD @-1"},
            {1239, "items", "5NN|57N|55N|53N|51N|599 5NN|5NN FB @0"},
            {1240, "items", "5NN|57N|55N|53N|51N @0"},
            {1030, "value", "1..30@10"},
            {1227, "value", "1..30@10"},
            {1000, "value", "0..31@15/2"},
            {1001, "value", "0..31@15/2 [15..15]"},
            {1078, "value", "1..11@6/1 [6..6]"},
            {1241, "text", "100/Min"},
            {1193, "text", "100/Min"},
            {1012, "checked", "1"},
            {1018, "checked", "1"},
            {1005, "checked", "1"},
            {1002, "checked", "1"},
            {1100, "checked", "1"},
            {1203, "checked", "1"},
            {1020, "checked", "1"},
            {1181, "checked", "0"},
            {1057, "checked", "0"},
            {1180, "checked", "0"},
            {1004, "checked", "0"},
            {1010, "checked", "0"},
            {1011, "checked", "0"},
            {1019, "checked", "0"},
            {1085, "checked", "0"},
            {1197, "checked", "0"},
            {1047, "checked", "0"},
            {1190, "checked", "0"},
            {1280, "checked", "0"},
            {1185, "text", "RX> "},
            {1033, "text", "TX> "},
            {1247, "text", "Monitor> "},
            {1247, "visible", "0"},
            {1192, "text", ""},
            {1028, "visible", "1"},
            {1029, "visible", "1"},
            {1034, "visible", "0"},
            {1201, "visible", "0"},
            {1031, "visible", "0"},
            {1133, "visible", "0"},
            {1250, "visible", "0"},
            {1259, "enabled", "0"},
            {1162, "enabled", "0"},
            {1139, "enabled", "1"},
            {1198, "text", "HisName  (F2)"},
            {1199, "text", "HisQTH  (F3)"},
            {1278, "text", "MyWX"},
            {1279, "text", "MyTemp C"},
            {1249, "text", "603Hz"},
            {1082, "text", "Threshold -45db"},
            {1226, "text", "Auto CQ"},
            {1146, "text", "macro1"},
            {1160, "text", "macro15"},
            {1033, "font", gothic + " 15"},
            {1185, "font", gothic + " 15"},
            {1247, "font", gothic + " 15"},
            {1027, "font", "Consolas 10.5"},
            {1028, "font", gothic + " 10.5"},
            {1218, "font", gothic + " 10.5"},
            {1153, "font", gothic + " 10.5"},
            {1047, "font", gothic + " 10.5"},
            {1194, "text", "U"},
            {1207, "text", "J"},
            {1219, "text", "E"},
        };
        for (const Row& row : rows)
            QTest::addRow("%d %s", row.id, row.what)
                << row.id << QString::fromLatin1(row.what) << row.expected;
    }
    void startupState() {
        QFETCH(int, id);
        QFETCH(QString, what);
        QFETCH(QString, expected);
        static Rig* rig = nullptr;  // one window for all rows
        if (!rig)
            rig = new Rig;
        QCOMPARE(Describe(rig->View().Control(id), what), expected);
        if (QTest::currentDataTag() == QByteArray("1219 text")) {
            QCOMPARE(rig->frame->windowTitle(), QStringLiteral(" Morvane V30.3.4 "));
            QCOMPARE(QApplication::focusWidget(), rig->View().Control(1033));
            QVERIFY(!rig->Station().Document().IsModified());
            delete rig;
            rig = nullptr;
        }
    }

    // Keys pressed in the transmit window (or the field a row names), then
    // one observable compared.
    void keyboardMap_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("observe");
        QTest::addColumn<QString>("expected");
        QTest::newRow("F10 slower") << ""
                                    << "F10"
                                    << "speed"
                                    << "14";
        QTest::newRow("F11 faster") << ""
                                    << "F11"
                                    << "speed"
                                    << "16";
        QTest::newRow("F10 floor") << "speed0"
                                   << "F10"
                                   << "speed"
                                   << "0";
        QTest::newRow("preset and recall") << ""
                                           << "Ctrl+F9, F11, F11, Ctrl+F10"
                                           << "speed"
                                           << "15";
        QTest::newRow("F9 TX Edit") << ""
                                    << "F9"
                                    << "1047"
                                    << "1";
        QTest::newRow("F9 twice") << ""
                                  << "F9, F9"
                                  << "1047"
                                  << "0";
        QTest::newRow("Pause TX Edit") << ""
                                       << "Pause"
                                       << "1047"
                                       << "1";
        QTest::newRow("Shift+F1 macro 1") << "macros"
                                          << "Shift+F1"
                                          << "tx"
                                          << "TX> CQ TEST DE JA1ABC";
        QTest::newRow("Shift+F12 macro 12") << "macros"
                                            << "Shift+F12"
                                            << "tx"
                                            << "TX> TWELVE";
        QTest::newRow("Shift+Esc clears") << "macros"
                                          << "Shift+F1, Shift+Esc"
                                          << "tx"
                                          << "TX> ";
        QTest::newRow("F1 empties HisCall") << "hiscall"
                                            << "F1"
                                            << "1027"
                                            << "";
        QTest::newRow("F1 focuses HisCall") << "hiscall"
                                            << "F1"
                                            << "focus"
                                            << "c1027";
        QTest::newRow("F1 then Page Down restores") << "hiscall"
                                                    << "F1, PgDown"
                                                    << "1027"
                                                    << "JA1XYZ";
        QTest::newRow("F2 focuses HisName") << ""
                                            << "F2"
                                            << "focus"
                                            << "c1028";
        QTest::newRow("F3 in contest focuses RcvdNR") << "contest"
                                                      << "F3"
                                                      << "focus"
                                                      << "c1201";
        QTest::newRow("Esc clears the QSO") << "hiscall"
                                            << "Esc"
                                            << "1027"
                                            << "";
        QTest::newRow("Page Down second bank") << ""
                                               << "PgDown"
                                               << "1146"
                                               << "macro16";
        QTest::newRow("Page Down back") << ""
                                        << "PgDown, PgDown"
                                        << "1146"
                                        << "macro1";
        QTest::newRow("F8 to JPN") << ""
                                   << "F8"
                                   << "1019"
                                   << "1";
        QTest::newRow("F8 back to ENG") << ""
                                        << "F8, F8"
                                        << "1018"
                                        << "1";
        QTest::newRow("Ctrl+F7 threshold auto") << ""
                                                << "Ctrl+F7"
                                                << "1280"
                                                << "1";
        QTest::newRow("Ctrl+F8 tone auto") << ""
                                           << "Ctrl+F8"
                                           << "1127"
                                           << "1";
        QTest::newRow("Ctrl+F6 answered No") << "macros"
                                             << "Shift+F1, Ctrl+F6"
                                             << "tx"
                                             << "TX> CQ TEST DE JA1ABC";
        QTest::newRow("Ctrl+F6 answered Yes") << "macros yes"
                                              << "Shift+F1, Ctrl+F6"
                                              << "tx"
                                              << "TX> ";
        QTest::newRow("Ctrl+F6 asks") << "macros"
                                      << "Ctrl+F6"
                                      << "question"
                                      << "TX枠とRX枠内を削除しますか？";
        QTest::newRow("typing is sent") << ""
                                        << "C, Q, Space, K"
                                        << "tx"
                                        << "TX> cq k";
        // Rows with "send TEXT" append it and key it to the end.
        const struct {
            const char* name;
            const char* setup;
            const char* keys;
            const char* observe;
            const char* expected;
        } rows[] = {
            {"Backspace over unsent text", "", "C, Q, Space, K, Backspace, Backspace", "tx",
             "TX> cq"},
            {"Delete inside unsent text", "", "C, Q, Left, Delete", "tx", "TX> c"},
            {"Backspace stops at the sent text", "", "send EE, E, Backspace, Backspace", "tx",
             "TX> EE"},
            {"typing after a sent line break", "", "send E\r\nE, T", "tx", "TX> E\r\nEt"},
            {"F9 holds keying", "", "F9, send E", "sending", "waiting"},
            {"F9 twice lets it go", "", "F9, F9, send E", "sending", "idle"},
            {"Pause holds keying", "", "Pause, send E", "sending", "waiting"},
            {"TX Edit from the options", "txeditstop", "send E", "sending", "waiting"},
            {"Ctrl+F9 forgets the tag's speed", "", "send <+2 UP>E, Ctrl+F9, send <ORIGINAL>E",
             "speed", "17"},
            {"Ctrl+F10 forgets the tag's speed", "",
             "F10, Ctrl+F9, F11, send <+2 UP>E, Ctrl+F10, send <ORIGINAL>E", "speed", "14"},
            {"Ctrl+F11 forgets the tag's speed", "rx60",
             "send <+2 UP>E, Ctrl+F11, send <ORIGINAL>E", "speed", "7"},
            {"F10 forgets the tag's speed", "", "send <+2 UP>E, F10, send <ORIGINAL>E", "speed",
             "16"},
            {"Ctrl+F1 asks HamLog for the call", "hamlog", "Ctrl+F1", "1027", "JA1ABC"},
            {"Ctrl+F2 asks for the name", "hamlog", "Ctrl+F2", "1028", "TARO"},
            {"Ctrl+F3 asks for the QTH", "hamlog", "Ctrl+F3", "1029", "TOKYO"},
            {"Ctrl+F4 asks for the call", "hamlog", "Ctrl+F4", "1027", "JA2XYZ"},
            {"Ctrl+F1 without HamLog", "hiscall", "Ctrl+F1", "1027", "JA1XYZ"},
            {"Ctrl+F1 does not move the focus", "hiscall", "Ctrl+F1", "focus", "c1033"},
            // Shift counts until the next key release, not while it is held.
            {"F2 after Shift+F1 is plain", "macros", "Shift down, F1*, F2*", "focus", "c1028"},
        };
        for (const auto& row : rows)
            QTest::newRow(row.name) << row.setup << row.keys << row.observe << row.expected;
    }
    void keyboardMap() {
        QFETCH(QString, setup);
        QFETCH(QString, keys);
        QFETCH(QString, observe);
        QFETCH(QString, expected);
        Rig rig;
        CMorvaneView& view = rig.View();
        if (setup.startsWith(QLatin1String("macros"))) {
            rig.Station().ChangeSetting(EntryId::MyCall, "JA1ABC");
            rig.Station().ChangeSetting(MacroTextEntry(1), "cq test de <MyCall>");
            rig.Station().ChangeSetting(MacroTextEntry(12), "twelve");
            rig.prompter.Answers = {setup.endsWith(QLatin1String("yes")) ? Prompter::Answer::Yes
                                                                         : Prompter::Answer::No};
        } else if (setup == QLatin1String("hiscall")) {
            view.Control(1027)->setFocus();
            QTest::keyClicks(view.Control(1027), QStringLiteral("ja1xyz"));
            QCOMPARE(QString::fromStdString(rig.Station().Field(station::StationField::HisCall)),
                     QStringLiteral("JA1XYZ"));
        } else if (setup == QLatin1String("contest")) {
            view.ControlAs<QAbstractButton>(1197)->click();
        } else if (setup == QLatin1String("speed0")) {
            rig.Station().SetSpeedStep(0);
        } else if (setup == QLatin1String("rx60")) {
            view.ControlAs<QLabel>(1241)->setText(QStringLiteral("60/Min"));
        } else if (setup == QLatin1String("hamlog")) {
            rig.loggers.HamlogUp = true;
            rig.loggers.Replies = {
                {0x400065, "JA1ABC"}, {0x6F, "TARO"}, {0x70, "TOKYO"}, {0x6C, "JA2XYZ"}};
        } else if (setup == QLatin1String("txeditstop")) {
            std::string options(common::kDefaultOptions);
            options[settings::option::TxEditStop] = 'E';
            rig.Station().ChangeSetting(EntryId::OptionString, options);
            QVERIFY(view.ControlAs<QAbstractButton>(1047)->isChecked());
        }
        view.FocusTxEdit();
        // Keys to the focused control as the window system delivers them.
        auto deliver = [](QEvent::Type type, int key, Qt::KeyboardModifiers modifiers) {
            QKeyEvent event(type, key, modifiers);
            QApplication::sendEvent(QApplication::focusWidget(), &event);
        };
        for (const QString& token : keys.split(QStringLiteral(", "))) {
            if (token.startsWith(QLatin1String("send "))) {
                rig.Station().AppendTransmit(token.mid(5).toStdString());
                for (int tick = 0; tick < 400 && rig.Station().Sending(); ++tick)
                    rig.Station().KeyingTick();
                view.PumpNow();
            } else if (token == QLatin1String("Shift down")) {
                deliver(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
            } else if (token.endsWith(QLatin1Char('*'))) {  // Shift still held, not pressed again
                const int key = QKeySequence(token.chopped(1))[0].key();
                deliver(QEvent::KeyPress, key, Qt::ShiftModifier);
                deliver(QEvent::KeyRelease, key, Qt::ShiftModifier);
            } else {
                QTest::keySequence(QApplication::focusWidget(), QKeySequence(token));
            }
        }
        view.PumpNow();
        QString actual;
        if (observe == QLatin1String("sending"))
            actual = rig.Station().Sending() ? QStringLiteral("waiting") : QStringLiteral("idle");
        else if (observe == QLatin1String("speed"))
            actual = QString::number(rig.Station().SpeedStep());
        else if (observe == QLatin1String("tx"))
            actual = QString::fromStdString(rig.Station().TransmitText());
        else if (observe == QLatin1String("focus"))
            actual =
                QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
        else if (observe == QLatin1String("question"))
            actual = rig.prompter.Questions.join(QLatin1Char('|'));
        else if (observe.toInt() >= 1000)
            actual = Describe(view.Control(observe.toInt()),
                              qobject_cast<QAbstractButton*>(view.Control(observe.toInt()))
                                  ? QStringLiteral("checked")
                                  : QStringLiteral("text"));
        QCOMPARE(actual, expected);
        if (observe == QLatin1String("tx"))
            QCOMPARE(view.ControlAs<QPlainTextEdit>(1033)->toPlainText(),
                     QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        if (observe == QLatin1String("speed"))
            QCOMPARE(view.ControlAs<QSlider>(1001)->value(), expected.toInt());
    }

    // Kana typed through the desktop's input method reach the station; the
    // English modes keep the input method off the transmit window.
    void inputMethod() {
        Rig rig;
        CMorvaneView& view = rig.View();
        auto* tx = view.ControlAs<QPlainTextEdit>(1033);
        QVERIFY(!tx->testAttribute(Qt::WA_InputMethodEnabled));
        auto* keyMode = view.ControlAs<QComboBox>(1189);
        keyMode->setCurrentIndex(3);
        emit keyMode->activated(3);
        QVERIFY(tx->testAttribute(Qt::WA_InputMethodEnabled));
        QCOMPARE(rig.Station().Document().Entry(Index(EntryId::KeyMode)), std::string("KANA"));
        view.FocusTxEdit();
        QInputMethodEvent preedit(QStringLiteral("こ"), {});
        QApplication::sendEvent(tx, &preedit);
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("コンニチハ"));
        QApplication::sendEvent(tx, &commit);
        view.PumpNow();
        QCOMPARE(QString::fromStdString(rig.Station().TransmitText()),
                 QStringLiteral("TX> コンニチハ"));
        keyMode->setCurrentIndex(1);
        emit keyMode->activated(1);
        QVERIFY(!tx->testAttribute(Qt::WA_InputMethodEnabled));
    }

    void macroLabels() {
        Rig rig;
        CMorvaneView& view = rig.View();
        auto colour = [&](int label) {
            return view.MacroLabel(label)->palette().color(QPalette::WindowText);
        };
        const QColor palette[6] = {{0, 0, 0},     {0, 0, 255}, {0, 255, 0},
                                   {0, 255, 255}, {255, 0, 0}, {255, 0, 255}};
        for (int macro = 1; macro <= 30; ++macro) {
            rig.Station().ChangeSetting(MacroLabelEntry(macro), "M" + std::to_string(macro));
            rig.Station().ChangeSetting(MacroColourEntry(macro), std::to_string(macro % 6));
        }
        view.PumpNow();
        for (int label = 1; label <= 15; ++label) {
            QCOMPARE(view.MacroLabel(label)->text(), QStringLiteral("M%1").arg(label));
            QCOMPARE(colour(label), palette[label % 6]);
        }
        view.FocusTxEdit();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
        for (int label = 1; label <= 15; ++label) {
            QCOMPARE(view.MacroLabel(label)->text(), QStringLiteral("M%1").arg(label + 15));
            QCOMPARE(colour(label), palette[(label + 15) % 6]);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
        // Contest mode: the last three labels of the first bank edit templates, in red.
        view.ControlAs<QAbstractButton>(1197)->click();
        view.PumpNow();
        QCOMPARE(view.MacroLabel(13)->text(), QStringLiteral("<SendNR>"));
        QCOMPARE(view.MacroLabel(15)->text(), QStringLiteral("Remarks2"));
        QCOMPARE(colour(14), palette[4]);
        QCOMPARE(view.ControlAs<QGroupBox>(1198)->title(), QStringLiteral("SendNR"));
        QVERIFY(view.Control(1034)->isVisible() && !view.Control(1028)->isVisible());
        view.ControlAs<QAbstractButton>(1197)->click();
        view.PumpNow();
        QCOMPARE(view.MacroLabel(13)->text(), QStringLiteral("M13"));
        QCOMPARE(colour(13), palette[1]);

        // Right click: the macro dialog of the label, written back on OK.
        rig.prompter.OnDialog = [](QDialog& dialog) {
            auto& macro = dynamic_cast<Cmacro1&>(dialog);
            if (macro.Heading() != QStringLiteral("Macro4"))
                return int(QDialog::Rejected);
            macro.TextEdit()->setPlainText(QStringLiteral("qrz?"));
            macro.CaptionButton()->click();
            return int(QDialog::Accepted);
        };
        view.EditMacro(4);
        QCOMPARE(rig.prompter.DialogsRun, 1);
        QCOMPARE(rig.Station().Document().Entry(MacroTextEntry(4)), std::string("qrz?"));
        QCOMPARE(rig.Station().Document().Entry(MacroColourEntry(4)), std::string("5"));
        QCOMPARE(colour(4), palette[5]);
        QVERIFY(view.MacroLabel(4)->isEnabled());
    }

    // Clicks at reference points; the run's QT_SCALE_FACTOR scales the form.
    void displayClicks_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("expected");
        QTest::newRow("level top") << QPoint(300, 45) << 1082 << "Threshold 0db";
        QTest::newRow("level middle") << QPoint(300, 100) << 1082 << "Threshold -41db";
        QTest::newRow("level bottom") << QPoint(300, 164) << 1082 << "Threshold -89db";
        QTest::newRow("spectrum first column") << QPoint(509, 100) << 1249 << "345Hz";
        QTest::newRow("spectrum 603") << QPoint(511 + 12 * 6 + 3, 100) << 1249 << "603Hz";
        QTest::newRow("spectrum last column") << QPoint(675, 60) << 1249 << "926Hz";
        QTest::newRow("weather label") << QPoint(760, 210) << 1278 << "HisWX";
        QTest::newRow("temperature label") << QPoint(900, 210) << 1279 << "HisTemp C";
        QTest::newRow("macro 7") << QPoint(600, 510) << 1033 << "TX> SEVEN";
        QTest::newRow("outside the areas") << QPoint(450, 100) << 1082 << "Threshold -45db";
    }
    void displayClicks() {
        QFETCH(QPoint, at);
        QFETCH(int, id);
        QFETCH(QString, expected);
        FakePrompter prompter;
        station::StationConfig config;
        CMorvaneView view(std::move(config), prompter);
        view.resize(kReferenceWidth, kReferenceHeight);
        view.Start();
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.Station().ChangeSetting(MacroTextEntry(7), "seven");
        QTest::mouseClick(&view, Qt::LeftButton, {}, at);
        view.PumpNow();
        QCOMPARE(Describe(view.Control(id), QStringLiteral("text")), expected);
        if (id == 1082 && expected != QLatin1String("Threshold -45db")) {
            QCOMPARE(QString::fromStdString(
                         view.Station().Document().Entry(Index(EntryId::ThresholdDb))),
                     expected.mid(10).chopped(2));
            QVERIFY(!view.ControlAs<QAbstractButton>(1280)->isChecked());
        }
        if (id == 1249)
            QCOMPARE(
                QString::fromStdString(view.Station().Document().Entry(Index(EntryId::ToneCentre))),
                expected.chopped(2));
        if (id == 1033)
            QVERIFY(view.MacroLabel(7)->isEnabled());  // released again after the click
    }

    void hoverTexts_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("expected");
        QTest::newRow("rx slider") << QPoint(100, 26) << "Help>> 受信速度調整スライダ";
        QTest::newRow("level display")
            << QPoint(300, 100) << "Help>> 信号強度（グラフ上クリックで「しきい値」変更）";
        QTest::newRow("spectrum")
            << QPoint(600, 100)
            << "Help>> 受信音スペクトラム（グラフ上クリックでセンター周波数変更）";
        QTest::newRow("HisCall") << QPoint(100, 230) << "Help>> HisCall (F1)";
        QTest::newRow("graphic stop") << QPoint(910, 28) << "Help>> 図示停止";
        QTest::newRow("draw stop") << QPoint(140, 184) << "Help>> 図示停止";
        QTest::newRow("TxClear") << QPoint(840, 456) << "Help>> 送信枠クリア";
        QTest::newRow("UTC button") << QPoint(14, 528) << "Help>> UTC時刻";
        // Labels show what they would send, tags expanded.
        QTest::newRow("macro label") << QPoint(520, 484) << "cq de JA1ABC 5NN";
        QTest::newRow("auto cq label") << QPoint(700, 456) << "CQ JA1ABC";
        QTest::newRow("macro label, second bank") << QPoint(520, 484) << "bank2 JA1ABC";
        QTest::newRow("contest label 13") << QPoint(700, 536) << "599 001";
        QTest::newRow("nothing there") << QPoint(940, 190) << "ﾚﾃﾞｨ";
    }
    void hoverTexts() {
        QFETCH(QPoint, at);
        QFETCH(QString, expected);
        FakePrompter prompter;
        CMorvaneView view(station::StationConfig{}, prompter);
        view.resize(kReferenceWidth, kReferenceHeight);
        view.Start();
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.Station().ChangeSetting(EntryId::MyCall, "JA1ABC");
        view.Station().ChangeSetting(MacroTextEntry(1), "cq de <MyCall> <HisRST>");
        view.Station().ChangeSetting(MacroTextEntry(16), "bank2 <MyCall>");
        view.Station().ChangeSetting(EntryId::AutoCqText, "CQ <MyCall>");
        view.Station().SetField(station::StationField::HisRST, "5NN");
        if (QTest::currentDataTag() == QByteArray("macro label, second bank")) {
            view.FocusTxEdit();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
        }
        if (QTest::currentDataTag() == QByteArray("contest label 13")) {
            view.Station().SetField(station::StationField::HisRST, "599");
            view.Station().SetContest(true);
            view.Station().ChangeSetting(EntryId::ContestNumber, "001");
            view.Station().ChangeSetting(MacroTextEntry(13), "<HisRST> <TestNR>");
        }
        // Delivered as the window system would: to the control under the
        // mouse, or to the form where controls let the mouse through. (A
        // moved cursor cannot reach points off the small offscreen screen
        // at 200 %.)
        QWidget* target = view.childAt(at);
        if (!target)
            target = &view;
        const QPointF local = target->mapFrom(&view, QPointF(at));
        QMouseEvent move(QEvent::MouseMove, local, target->mapToGlobal(local), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QCOMPARE(view.ShownHelp(), expected);
    }

    // Whichever way a dialog closes, reception restarts from a clean work
    // block, as after sending.
    void dialogsRestartReceptionClean_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("accepted");
        for (const char* dialog : {"macro", "auto cq", "send nr", "web links", "options"}) {
            QTest::addRow("%s cancelled", dialog) << QString::fromLatin1(dialog) << false;
            QTest::addRow("%s OK", dialog) << QString::fromLatin1(dialog) << true;
        }
    }
    void dialogsRestartReceptionClean() {
        QFETCH(QString, dialog);
        QFETCH(bool, accepted);
        FakePrompter prompter;
        prompter.OnDialog = [accepted](QDialog&) {
            return int(accepted ? QDialog::Accepted : QDialog::Rejected);
        };
        station::test::FakeCapture capture;
        station::StationConfig config;
        config.Capture = &capture;
        CMorvaneView view(std::move(config), prompter);
        view.Start();
        QVERIFY(view.Station().Chain() != nullptr);
        if (dialog == QLatin1String("send nr"))
            view.Station().SetContest(true);
        std::atomic<bool>& clear = view.Station().Chain()->Options().WorkBlockClearRequested;
        clear = false;
        if (dialog == QLatin1String("macro"))
            view.EditMacro(4);
        else if (dialog == QLatin1String("auto cq"))
            view.EditMacro(0);
        else if (dialog == QLatin1String("send nr"))
            view.EditMacro(13);
        else if (dialog == QLatin1String("web links"))
            view.OpenUrlDialog();
        else
            view.OpenOptionSet();
        QCOMPARE(prompter.DialogsRun, 1);
        QVERIFY(clear.load());
    }

    void clockLines() {
        Rig rig;
        CMorvaneView& view = rig.View();
        auto tick = [&] {
            view.OneSecondTick();
            return Describe(view.Control(1188), QStringLiteral("text"));
        };
        QCOMPARE(tick(), QStringLiteral("09:05J"));
        view.ControlAs<QAbstractButton>(1194)->click();
        QCOMPARE(tick(), QStringLiteral("00:05U"));
        view.ControlAs<QAbstractButton>(1219)->click();
        QCOMPARE(view.ControlAs<QAbstractButton>(1219)->text(), QStringLiteral("R"));
        rig.clock.Set({{2026, 12, 7, 10, 17, 30}, {2026, 12, 7, 1, 17, 30}});
        const QString first = tick(), second = tick();
        QCOMPARE(QStringList({first, second}),
                 QStringList({QStringLiteral("01 12E"), QStringLiteral("01:12E")}));
        view.ControlAs<QAbstractButton>(1219)->click();
        QCOMPARE(tick(), QStringLiteral("00:00R"));
        QCOMPARE(view.ControlAs<QAbstractButton>(1219)->text(), QStringLiteral("E"));
        view.ControlAs<QAbstractButton>(1207)->click();
        QCOMPARE(tick(), QStringLiteral("10:17J"));
        // Only the options' clock (Japan by default) stamps a line, in green.
        auto* rx = view.ControlAs<QTextEdit>(1185);
        QCOMPARE(rx->toPlainText(), QStringLiteral("RX>  == 10:17 JST, Mon, Dec 07 2026 ==\n"));
        QTextCursor stamp(rx->document());
        stamp.setPosition(10);
        QCOMPARE(stamp.charFormat().foreground().color(), QColor(0, 130, 50));
    }

    // A file opened through the menu, changed in the Option Set, saved as
    // another file: the same bytes as the headless station saving after the
    // same change.
    void settingsThroughMenuAndOptionSet() {
        Rig rig;
        const QString original = rig.dir.filePath(QStringLiteral("station.mrvn"));
        {
            FakePrompter quiet;
            CMorvaneView maker(station::StationConfig{}, quiet);
            maker.Station().ChangeSetting(EntryId::MyCall, "JA1ABC");
            maker.Station().ChangeSetting(MacroTextEntry(2), "tu 73");
            QVERIFY(maker.SaveSettingsFile(original));
        }
        rig.prompter.FileToOpen = original;
        rig.MenuItem(QStringLiteral("fileMenu"), QStringLiteral("開く..(&O)."))->trigger();
        QCOMPARE(rig.frame->CurrentFile(), original);
        QCOMPARE(rig.frame->windowTitle(),
                 QStringLiteral(" Morvane V30.3.4 JA1ABC (station.mrvn)"));
        rig.prompter.OnDialog = [](QDialog& dialog) {
            auto& options = dynamic_cast<COptionSet&>(dialog);
            options.Button(settings::OptionControl::ClockUtc)->click();
            options.Field(settings::OptionField::MyName)->setText(QStringLiteral("太郎"));
            return int(QDialog::Accepted);
        };
        rig.MenuItem(QStringLiteral("setupMenu"), QStringLiteral("オプション設定(&P)"))->trigger();
        QVERIFY(rig.Station().Document().IsModified());
        const QString saved = rig.dir.filePath(QStringLiteral("saved.mrvn"));
        rig.prompter.FileToSave = saved;
        rig.MenuItem(QStringLiteral("fileMenu"), QStringLiteral("名前を付けて保存(&A)..."))
            ->trigger();
        QVERIFY(!rig.Station().Document().IsModified() || rig.frame->CurrentFile() == saved);
        QCOMPARE(rig.frame->RecentFiles().front(), QFileInfo(saved).absoluteFilePath());

        FakePrompter quiet;
        CMorvaneView headless(station::StationConfig{}, quiet);
        QVERIFY(headless.Station().OpenSettings(original.toStdString()));
        headless.Station().BeginOptionDialog();
        auto texts = headless.Station().Options().Texts;
        texts.MyName = "太郎";
        std::string options = headless.Station().Options().Options;
        options[5] = 'U';
        headless.Station().FinishOptionDialog(true, options, texts);
        const QString reference = rig.dir.filePath(QStringLiteral("reference.mrvn"));
        QVERIFY(headless.Station().SaveSettings(reference.toStdString()));
        QFile a(saved), b(reference);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        const QByteArray bytes = a.readAll();
        QCOMPARE(bytes, b.readAll());
        QVERIFY(bytes.contains(QByteArray(reinterpret_cast<const char*>(u"太郎"), 4)));
    }

    // The decoder choice reaches the station, is kept in the profile (not in
    // the data file, which stays unmodified) and is restored by the next window.
    void decoderChoiceIsKeptInTheProfile() {
        using receive::DecoderKind;
        Rig rig;
        const QString standard = QStringLiteral("標準デコーダ(&S)");
        const QString weak = QStringLiteral("弱信号デコーダ(&W)");
        QAction* weakItem = rig.MenuItem(QStringLiteral("inputMenu"), weak);
        QAction* standardItem = rig.MenuItem(QStringLiteral("inputMenu"), standard);
        QVERIFY(weakItem && standardItem);
        QVERIFY(standardItem->isChecked() && !weakItem->isChecked());
        QCOMPARE(rig.Station().Decoder(), DecoderKind::Standard);
        QVERIFY(!rig.profile.contains(QStringLiteral("MRVN_Section/decoder")));

        weakItem->trigger();
        QVERIFY(weakItem->isChecked() && !standardItem->isChecked());
        QCOMPARE(rig.Station().Decoder(), DecoderKind::Weak);
        QCOMPARE(rig.profile.value(QStringLiteral("MRVN_Section/decoder")).toString(),
                 QStringLiteral("weak"));
        QVERIFY(!rig.Station().Document().IsModified());
        {
            FakePrompter quiet;
            app::CMainFrame next(station::StationConfig{}, quiet, rig.profile);
            QCOMPARE(next.View().Station().Decoder(), DecoderKind::Weak);
            for (QAction* a : next.Menu(QStringLiteral("inputMenu"))->actions()) {
                if (a->text() == weak || a->text() == standard)
                    QCOMPARE(a->isChecked(), a->text() == weak);
            }
        }

        standardItem->trigger();
        QCOMPARE(rig.Station().Decoder(), DecoderKind::Standard);
        QCOMPARE(rig.profile.value(QStringLiteral("MRVN_Section/decoder")).toString(),
                 QStringLiteral("standard"));
        FakePrompter quiet;
        app::CMainFrame last(station::StationConfig{}, quiet, rig.profile);
        QCOMPARE(last.View().Station().Decoder(), DecoderKind::Standard);
    }

    // The weak decoder's squelch: one level checked at a time, starting at the
    // default; a choice reaches the station and the profile, and the next
    // window starts with it.
    void squelchLevelIsKeptInTheProfile() {
        Rig rig;
        QMenu* menu = rig.frame->Menu(QStringLiteral("squelchMenu"));
        QVERIFY(menu);
        const auto checked = [](QMenu* m) {
            QStringList on;
            for (QAction* a : m->actions()) {
                if (a->isChecked())
                    on << a->text();
            }
            return on;
        };
        QCOMPARE(checked(menu), QStringList{QStringLiteral("0.1 (標準)")});
        QCOMPARE(rig.Station().Squelch(), 0.1);
        for (QAction* a : menu->actions()) {
            if (a->text() == QStringLiteral("0.5"))
                a->trigger();
        }
        QCOMPARE(checked(menu), QStringList{QStringLiteral("0.5")});
        QCOMPARE(rig.Station().Squelch(), 0.5);
        QCOMPARE(rig.profile.value(QStringLiteral("MRVN_Section/squelch")).toDouble(), 0.5);
        QVERIFY(!rig.Station().Document().IsModified());
        FakePrompter quiet;
        app::CMainFrame next(station::StationConfig{}, quiet, rig.profile);
        QCOMPARE(next.View().Station().Squelch(), 0.5);
        QCOMPARE(checked(next.Menu(QStringLiteral("squelchMenu"))),
                 QStringList{QStringLiteral("0.5")});
    }

    void savePromptOnClose_data() {
        QTest::addColumn<bool>("afterFile");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        QTest::newRow("change before any file")
            << false << int(Prompter::Answer::Cancel) << false << true << false;
        QTest::newRow("cancel keeps the window")
            << true << int(Prompter::Answer::Cancel) << true << false << false;
        QTest::newRow("no closes unsaved")
            << true << int(Prompter::Answer::No) << true << true << false;
        QTest::newRow("yes saves") << true << int(Prompter::Answer::Yes) << true << true << true;
    }
    void savePromptOnClose() {
        QFETCH(bool, afterFile);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        Rig rig;
        const QString file = rig.dir.filePath(QStringLiteral("close.mrvn"));
        if (afterFile) {
            QVERIFY(rig.View().SaveSettingsFile(file));
            QVERIFY(rig.frame->OpenFile(file));
        }
        rig.View().ControlAs<QAbstractButton>(1118)->click();  // QRM on
        rig.prompter.Answers = {static_cast<Prompter::Answer>(answer)};
        QCOMPARE(rig.frame->close(), closed);
        QCOMPARE(!rig.prompter.Questions.isEmpty(), asked);
        if (asked)
            QCOMPARE(rig.prompter.Questions.front(),
                     QStringLiteral("close.mrvn への変更を保存しますか?"));
        if (afterFile) {
            FakePrompter quiet;
            CMorvaneView reader(station::StationConfig{}, quiet);
            QVERIFY(reader.Station().OpenSettings(file.toStdString()));
            QCOMPARE(reader.Station().Document().Entry(Index(EntryId::QrmFilter)) == "QRMON",
                     saved);
        }
        if (closed) {
            QCOMPARE(rig.profile.value(QStringLiteral("MRVN_Section/right")).toInt(),
                     rig.frame->frameGeometry().width());
            rig.frame.reset();
        }
    }
};

QTEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
