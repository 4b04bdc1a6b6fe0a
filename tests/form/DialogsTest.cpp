// The dialogs as an operator works them: every option control writes its
// own position, Enter walks the fields, tag lists insert at the caret, the
// caption colour cycles, the Remarks width warnings and the Auto CQ times.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "FakePrompter.h"
#include "form/CAboutDlg.h"
#include "form/COptionSet.h"
#include "form/CURL.h"
#include "form/CautoCQ.h"
#include "form/Cmacro1.h"
#include "form/Cmacro2.h"
#include "form/Cmacro3.h"
#include "form/Fonts.h"

using namespace morvane;
using namespace morvane::form;
using settings::OptionControl;

namespace {

void ChooseItem(QComboBox* list, const QString& item) {
    const int index = list->findText(item);
    QVERIFY2(index >= 0, qPrintable(item));
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void PutCaret(QPlainTextEdit* edit, int position) {
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(position);
    edit->setTextCursor(cursor);
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { InstallFontFallbacks(); }

    // The operator finds a box by its group and caption; clicking it must
    // change the option its caption names, and every box mirrors the string.
    void optionControlsWriteTheirPositions() {
        struct Row {
            const char* group;
            const char* caption;
            OptionControl control;
        };
        using C = OptionControl;
        const Row rows[] = {
            {"RX/TX Size Font", "S", C::FontS},
            {"RX/TX Size Font", "M", C::FontM},
            {"RX/TX Size Font", "L", C::FontL},
            {"RX/TX Size Font", "Consolas", C::Consolas},
            {"Jpn Disp", "HIRAGANA", C::Hiragana},
            {"Jpn Disp", "KATAKANA", C::Katakana},
            {"Data Indicate on RX>", "Country Name (  Eng", C::CountryEng},
            {"Data Indicate on RX>", "Jpn)", C::CountryJpn},
            {"Data Indicate on RX>", "DX Local time", C::DxLocalTime},
            {"Clock", "UTC", C::ClockUtc},
            {"Clock", "JST", C::ClockJst},
            {"Location", "Japan", C::LocationJapan},
            {"Location", "Abroad", C::LocationAbroad},
            {"RcvdNR", "RcvdNR 未入力確認", C::RcvdNrCheck},
            {"RcvdNR", "A=1 N=9 O=0 T=0", C::RcvdNrUncut},
            {"SendNR", "0=0", C::Zero0},
            {"SendNR", "0=O", C::ZeroO},
            {"SendNR", "0=T", C::ZeroT},
            {"SendNR", "1=A 9=N", C::SendCut},
            {"TxEdit", "Stop", C::TxEditStop},
            {"Monitor", "RX>", C::MonitorRx},
            {"Monitor", "TX>", C::MonitorTx},
            {"RST", "5NN", C::FiveNN},
            {"  PTT      Lead time (msec)", "OFF", C::PttOff},
            {"  PTT      Lead time (msec)", "25", C::Ptt25},
            {"  PTT      Lead time (msec)", "50", C::Ptt50},
            {"  PTT      Lead time (msec)", "100", C::Ptt100},
            {"  PTT      Lead time (msec)", "200", C::Ptt200},
            {"  PTT      Lead time (msec)", "500", C::Ptt500},
            {"PTT Ctrl", "RTS/DTR", C::PttRtsDtr},
            {"PTT Ctrl", "Hamlog", C::PttHamlog},
            {"Log Soft", "Hamlog", C::LogHamlog},
            {"Log Soft", "CTestWin", C::LogCtestwin},
            {"Mode", "CW", C::ModeCw},
            {"Mode", "A1A", C::ModeA1A},
            {"Temp(minus)", "MIN", C::TempMin},
            {"Temp(minus)", " ー", C::TempBar},
            {"QSL", "8N 8J 8K =", C::Qsl},
            {"Others", "Front Disp", C::FrontDisp},
            {"Others", "Paste", C::Paste},
            {"Others", "GetHisName", C::GetHisName},
            {"Others", "Save", C::SaveLog},
        };
        QCOMPARE(std::size(rows), std::size_t(C::Count));
        for (const char* options :
             {"MKNNNJJ001218NN0NNNR9ANNHCNNNN", "SHFJLUA031020RAOAEPT9FHGBAMCCS",
              "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXX"}) {
            for (const Row& row : rows) {
                COptionSet dialog(options, {}, nullptr);
                settings::OptionDialogModel expected(options);
                QAbstractButton* found = nullptr;
                for (auto* group : dialog.findChildren<QGroupBox*>())
                    if (group->title() == QString::fromUtf8(row.group))
                        for (auto* button : group->findChildren<QAbstractButton*>())
                            if (button->text() == QString::fromUtf8(row.caption))
                                found = button;
                QVERIFY2(found, row.caption);
                for (const Row& other : rows)
                    QCOMPARE(dialog.Button(other.control)->isChecked(),
                             expected.IsChecked(other.control));
                found->click();
                expected.Click(row.control);
                QCOMPARE(QString::fromStdString(dialog.Options()),
                         QString::fromStdString(expected.Working()));
                for (const Row& other : rows)
                    QVERIFY2(dialog.Button(other.control)->isChecked() ==
                                 expected.IsChecked(other.control),
                             qPrintable(QStringLiteral("%1 after %2/%3")
                                            .arg(QString::fromUtf8(other.caption),
                                                 QString::fromUtf8(row.group),
                                                 QString::fromUtf8(row.caption))));
            }
        }
    }

    void optionFieldsAndHours() {
        settings::OptionTexts texts;
        texts.MyCall = "JA1ZZZ";
        texts.QslPrefix = "8J";
        COptionSet dialog("MKNNNJJ001218NN0NNNR9ANNHCNNNN", texts, nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        using F = settings::OptionField;
        // Enter walks MyCall → MyName → MyQTH → Others → Name → MyCall and never closes.
        dialog.Field(F::MyCall)->setFocus();
        for (F next : {F::MyName, F::MyQTH, F::Others, F::ContestName, F::MyCall}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), dialog.Field(next));
        }
        QVERIFY(dialog.isVisible());
        dialog.Field(F::Qsl)->setFocus();
        QTest::keyClicks(dialog.Field(F::Qsl), QStringLiteral("ABCDE"));
        QTest::keyClick(dialog.Field(F::Qsl), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.Field(F::Qsl));
        QCOMPARE(dialog.Field(F::Qsl)->text(), QStringLiteral("ABC"));
        QCOMPARE(dialog.Texts().MyCall, std::string("JA1ZZZ"));
        QCOMPARE(dialog.Texts().QslPrefix, std::string("8J"));

        auto* ga = dialog.HourSpin(settings::GreetingHour::GA);
        QCOMPARE(ga->minimum(), 10);
        QCOMPARE(ga->maximum(), 14);
        QCOMPARE(ga->value(), 12);
        ga->setValue(13);
        dialog.HourSpin(settings::GreetingHour::GM)->setValue(4);
        QCOMPARE(QString::fromStdString(dialog.Options()).mid(7, 6), QStringLiteral("041318"));
    }

    void macroDialog() {
        Cmacro1 dialog(7, true, QStringLiteral("CQ  TEST"), QStringLiteral("CQ"), 2, nullptr);
        QCOMPARE(dialog.Heading(), QStringLiteral("Macro7 for TEST"));
        QVERIFY(dialog.MacroList()->findText(QStringLiteral(" <RcvdNR>")) >= 0);
        QCOMPARE(dialog.MacroList()->findText(QStringLiteral(" <HisName>")), -1);
        // Inserted at the caret, leading blank gone, caret after the tag.
        PutCaret(dialog.TextEdit(), 3);
        ChooseItem(dialog.MacroList(), QStringLiteral(" <MyCall>"));
        QCOMPARE(dialog.Text(), QStringLiteral("CQ <MyCall> TEST"));
        QCOMPARE(dialog.TextEdit()->textCursor().position(), 11);
        // A selection is replaced.
        QTextCursor cursor = dialog.TextEdit()->textCursor();
        cursor.setPosition(12);
        cursor.setPosition(16, QTextCursor::KeepAnchor);
        dialog.TextEdit()->setTextCursor(cursor);
        ChooseItem(dialog.findChildren<QComboBox*>().at(3), QStringLiteral("<C_Space3.0>"));
        QCOMPARE(dialog.Text(), QStringLiteral("CQ <MyCall> <C_Space3.0>"));

        QList<int> colours;
        for (int i = 0; i < 6; ++i) {
            dialog.CaptionButton()->click();
            colours << dialog.Colour();
        }
        QCOMPARE(colours, (QList<int>{3, 4, 5, 0, 1, 2}));
        QCOMPARE(MacroColour(4), QColor(255, 0, 0));
        QCOMPARE(MacroColour(9), QColor(0, 0, 0));

        Cmacro1 plain(16, false, QString(), QStringLiteral("macro16"), 0, nullptr);
        QCOMPARE(plain.Heading(), QStringLiteral("Macro16"));
        QVERIFY(plain.MacroList()->findText(QStringLiteral(" <HisName>")) >= 0);
    }

    // Japanese text before the caret: the model counts bytes, the editor UTF-16 units.
    void tagInsertedAfterKana() {
        Cmacro3 dialog(QStringLiteral("こんにちは"), nullptr);
        PutCaret(dialog.TextEdit(), 2);
        ChooseItem(dialog.List(), QStringLiteral(" <TestNR>"));
        QCOMPARE(dialog.Text(), QStringLiteral("こん<TestNR>にちは"));
        QCOMPARE(dialog.TextEdit()->textCursor().position(), 10);
    }

    void remarksWarnings_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("warning");
        QTest::newRow("nine digits") << " <TestNR%9>"
                                     << "<TestNR%12>"
                                     << "最大桁数は9です。";
        QTest::newRow("fifteen is enough") << " <RcvdNR%15>"
                                           << "<RcvdNR%12>"
                                           << "";
        QTest::newRow("fifteen exceeded") << " <SendNR%15>"
                                          << "<SendNR%16>"
                                          << "最大桁数は15です。";
    }
    void remarksWarnings() {
        QFETCH(QString, item);
        QFETCH(QString, typed);
        QFETCH(QString, warning);
        test::FakePrompter prompter;
        Cmacro2 dialog(2, QString(), prompter, nullptr);
        QCOMPARE(dialog.List()->currentText(), QStringLiteral(" <SendNR%15>"));
        ChooseItem(dialog.List(), item);
        prompter.Messages.clear();
        dialog.TextEdit()->setPlainText(typed);
        QCOMPARE(prompter.Messages.join(QLatin1Char('|')), warning);
        QCOMPARE(dialog.Text(), typed);
    }

    void autoCqDialog() {
        CautoCQ plain(QStringLiteral("CQ CQ"), QStringLiteral("0705"), false, nullptr);
        QCOMPARE(plain.IntervalSpin()->value(), 7);
        QCOMPARE(plain.RepeatSpin()->value(), 5);
        QCOMPARE(plain.List()->findText(QStringLiteral(" <TestName>")), -1);
        plain.IntervalSpin()->setValue(12);
        plain.RepeatSpin()->setValue(3);
        QCOMPARE(plain.Times(), QStringLiteral("1203"));
        plain.RepeatSpin()->setValue(9);
        QCOMPARE(plain.Times(), QStringLiteral("1207"));

        CautoCQ contest(QString(), QStringLiteral("3001"), true, nullptr);
        QVERIFY(contest.List()->findText(QStringLiteral(" <TestName>")) >= 0);
        QCOMPARE(contest.IntervalSpin()->value(), 30);
        QCOMPARE(contest.RepeatSpin()->value(), 1);
        ChooseItem(contest.List(), QStringLiteral(" <VK_F1>"));
        QCOMPARE(contest.Text(), QStringLiteral("<VK_F1>"));
    }

    void urlAndVersion() {
        WebLinks links;
        for (int k = 0; k < 8; ++k)
            links[static_cast<std::size_t>(k)] = {QStringLiteral("L%1").arg(k),
                                                  QStringLiteral("https://h%1/").arg(k)};
        CURL dialog(links, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("URL登録"));
        QCOMPARE(dialog.Links(), links);
        dialog.AddressEdit(6)->setText(QString());
        dialog.CaptionEdit(7)->setText(QStringLiteral("自局ログ(&M)"));
        const WebLinks edited = dialog.Links();
        QCOMPARE(edited[6].Address, QString());
        QCOMPARE(edited[7].Caption, QStringLiteral("自局ログ(&M)"));
        QCOMPARE(edited[0], links[0]);

        CAboutDlg about;
        QVERIFY(about.findChild<QLabel*>()->text() == QStringLiteral("Morvane Version 30.3.4"));
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
