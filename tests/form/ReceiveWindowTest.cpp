// The receive side of the main form: text held while the operator works in
// the receive window, a selection taken into a field or re-read by ENG, JPN
// and F8, the receive speed slider and label, and the weak decoder's
// confidence as grey. Audio is fed to the station on virtual time.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <array>
#include <memory>

#include "FakePrompter.h"
#include "form/CMorvaneView.h"
#include "form/Fonts.h"
#include "form/ReceiveText.h"
#include "macros/StationClock.h"
#include "synth/CwSynth.h"
#include "synth/TextKeying.h"

using namespace morvane;
using namespace morvane::form;
using test::FakePrompter;

namespace {

struct Rig {
    FakePrompter prompter;
    macros::FixedClock clock{{{2026, 12, 7, 9, 5, 0}, {2026, 12, 7, 0, 5, 0}}};
    std::unique_ptr<CMorvaneView> view;

    Rig() {
        station::StationConfig config;
        config.Clock = &clock;
        view = std::make_unique<CMorvaneView>(std::move(config), prompter);
        view->Start();
        view->show();
        view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
    }
    QTextEdit* Receive() const { return view->ControlAs<QTextEdit>(1185); }
    QString Shown() const { return Receive()->toPlainText(); }

    // `text` keyed at speed step `step` (noise at `snrDb` when given) and
    // one and a half seconds of silence, through the station's receive path.
    void Play(const std::string& text, int step = 15, double snrDb = 0.0, bool noise = false) {
        auto keyed = synth::TextToEvents(text, synth::TextAlphabet::English, step);
        synth::SynthConfig sound;
        sound.NoiseOn = noise;
        sound.SnrDb = snrDb;
        synth::CwSynth synth(sound, {{.Events = keyed.Events}});
        std::array<std::int16_t, receive::kHalfSamples> block{};
        const std::int64_t frames = synth.TotalFrames() + 11025 / 2;
        for (std::int64_t at = 0; at < frames; at += receive::kHalfFrames) {
            synth.Render(block);
            view->Station().CaptureBlock(block);
        }
        view->PumpNow();
    }
    // Selects `word` (its last occurrence) in the receive window, or puts
    // the caret into it when `select` is false.
    void Pick(const QString& word, bool select = true) {
        Receive()->setFocus();
        const int at = static_cast<int>(Shown().lastIndexOf(word));
        QVERIFY2(at >= 0, qPrintable(Shown()));
        QTextCursor cursor = Receive()->textCursor();
        cursor.setPosition(at);
        if (select)
            cursor.setPosition(at + static_cast<int>(word.size()), QTextCursor::KeepAnchor);
        else
            cursor.setPosition(at + 1);
        Receive()->setTextCursor(cursor);
    }
    bool Checked(int id) const { return view->ControlAs<QAbstractButton>(id)->isChecked(); }
};

}  // namespace

class ReceiveWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { InstallFontFallbacks(); }

    void heldWhileFocused() {
        Rig rig;
        rig.Play("TEST ");
        QVERIFY2(rig.Shown().contains(QStringLiteral("RX> TEST")), qPrintable(rig.Shown()));
        rig.Receive()->setFocus();
        rig.Play("QRZ ");
        QVERIFY(!rig.Shown().contains(QStringLiteral("QRZ")));
        rig.view->ControlAs<QLineEdit>(1028)->setFocus();
        QVERIFY2(rig.Shown().simplified().contains(QStringLiteral("TEST QRZ")),
                 qPrintable(rig.Shown()));
    }

    // A selection or a click in the receive window, then what the operator
    // does next: the field that takes it, the language buttons, F8.
    void selection_data() {
        QTest::addColumn<QString>("pick");     // word; "caret:" + word for a click
        QTest::addColumn<QString>("action");   // "field NNNN", "click NNNN", "F8"
        QTest::addColumn<QString>("observe");  // "NNNN" a field, "rx", "lang"
        QTest::addColumn<QString>("expected");
        const QString call = QStringLiteral("JA1ABC");
        QTest::newRow("call into HisCall") << call << "field 1027"
                                           << "1027" << call;
        QTest::newRow("call into HisName") << call << "field 1028"
                                           << "1028" << call;
        QTest::newRow("clicked word stays out") << "caret:" + call << "field 1027"
                                                << "1027"
                                                << "";
        QTest::newRow("ENG re-reads") << "TEST"
                                      << "click 1018"
                                      << "rx"
                                      << "RX> ムヘラム JA1ABC";
        QTest::newRow("JPN re-reads, English stays") << "TEST"
                                                     << "click 1019"
                                                     << "lang"
                                                     << "E";
        QTest::newRow("F8 re-reads") << "TEST"
                                     << "F8"
                                     << "rx"
                                     << "RX> ムヘラム JA1ABC";
        QTest::newRow("JPN after a click switches") << "caret:TEST"
                                                    << "click 1019"
                                                    << "lang"
                                                    << "J";
        QTest::newRow("field took it, JPN switches") << call << "field 1027, click 1019"
                                                     << "lang"
                                                     << "J";
        QTest::newRow("re-read once") << "TEST"
                                      << "click 1019, click 1019"
                                      << "rx"
                                      << "RX> ムヘラム JA1ABC";
    }
    void selection() {
        QFETCH(QString, pick);
        QFETCH(QString, action);
        QFETCH(QString, observe);
        QFETCH(QString, expected);
        Rig rig;
        rig.Play("TEST JA1ABC ");
        QGuiApplication::clipboard()->setText(QStringLiteral("old"));
        const bool caret = pick.startsWith(QStringLiteral("caret:"));
        rig.Pick(caret ? pick.mid(6) : pick, !caret);
        for (const QString& step : action.split(QStringLiteral(", "))) {
            const int id = step.section(QLatin1Char(' '), 1).toInt();
            if (step.startsWith(QStringLiteral("field")))
                rig.view->Control(id)->setFocus();
            else if (step.startsWith(QStringLiteral("click")))
                rig.view->ControlAs<QAbstractButton>(id)->click();
            else
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
        }
        // A selection leaves the clipboard empty; a click does not touch it.
        QCOMPARE(QGuiApplication::clipboard()->text().isEmpty(), !caret);
        QString seen;
        if (observe == QLatin1String("rx"))
            seen = rig.Shown().trimmed();
        else if (observe == QLatin1String("lang")) {
            QVERIFY(rig.Checked(1018) != rig.Checked(1019));
            seen = rig.Checked(1019) ? QStringLiteral("J") : QStringLiteral("E");
        } else
            seen = rig.view->ControlAs<QLineEdit>(observe.toInt())->text();
        QCOMPARE(seen, expected);
    }

    void receiveSpeed() {
        Rig rig;
        auto* slider = rig.view->ControlAs<QSlider>(1000);
        auto* label = rig.view->ControlAs<QLabel>(1241);
        // Estimates move the slider and write the label (125 a minute is step 20).
        rig.Play("PARIS PARIS PARIS PARIS ", 20);
        QVERIFY2(std::abs(slider->value() - 20) <= 1, qPrintable(label->text()));
        QVERIFY2(std::abs(label->text().chopped(4).toInt() - 125) <= 8, qPrintable(label->text()));
        // By hand, with Auto off: the label follows, and the fixed speed
        // decodes a sender of that speed only.
        slider->setValue(3);
        QCOMPARE(label->text(), QStringLiteral("40/Min"));
        rig.view->ControlAs<QAbstractButton>(1002)->click();
        QVERIFY(!rig.Checked(1002));
        rig.Play("TTTT ", 20);
        QVERIFY2(!rig.Shown().contains(QStringLiteral("TTTT")), qPrintable(rig.Shown()));
        QCOMPARE(slider->value(), 3);
        slider->setValue(20);
        QCOMPARE(label->text(), QStringLiteral("125/Min"));
        rig.Play("TTTT ", 20);
        QVERIFY2(rig.Shown().contains(QStringLiteral("TTTT")), qPrintable(rig.Shown()));
    }

    void confidenceColours_data() {
        QTest::addColumn<float>("confidence");
        QTest::addColumn<int>("grey");
        QTest::newRow("certain") << 1.0f << 0;
        QTest::newRow("sure enough") << 0.9f << 0;
        QTest::newRow("half way") << 0.5f << 85;
        QTest::newRow("squelch level") << 0.1f << 170;
        QTest::newRow("below") << 0.0f << 170;
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 0;
    }
    void confidenceColours() {
        QFETCH(float, confidence);
        QFETCH(int, grey);
        QCOMPARE(ConfidenceColour(confidence), QColor(grey, grey, grey));
    }

    // Only the weak decoder's text has greys; labels and the standard
    // decoder's text stay black.
    void confidenceInTheWindow() {
        for (auto kind : {receive::DecoderKind::Standard, receive::DecoderKind::Weak}) {
            Rig rig;
            rig.view->Station().SetDecoder(kind);
            // Weak enough for the weak decoder to doubt some characters;
            // the standard one needs more to print anything.
            const double snrDb = kind == receive::DecoderKind::Weak ? 0.0 : 6.0;
            rig.Play("CQ CQ DE JA1ABC JA1ABC K ", 15, snrDb, true);
            QSet<QRgb> colours;
            for (QTextBlock b = rig.Receive()->document()->begin(); b.isValid(); b = b.next())
                for (auto it = b.begin(); !it.atEnd(); ++it)
                    colours << it.fragment().charFormat().foreground().color().rgb();
            QVERIFY2(rig.Shown().size() > 20, qPrintable(rig.Shown()));
            QVERIFY(colours.contains(QColor(Qt::black).rgb()));
            QCOMPARE(colours.size() > 1, kind == receive::DecoderKind::Weak);
        }
    }

    // Window positions to model characters: "\r\n" shows as one break,
    // a character beyond the BMP counts twice in the window.
    void modelPositions_data() {
        QTest::addColumn<int>("document");
        QTest::addColumn<int>("model");
        QTest::newRow("start") << 0 << 0;
        QTest::newRow("before the break") << 5 << 5;
        QTest::newRow("after the break") << 6 << 7;
        QTest::newRow("after the wide one") << 12 << 12;
        QTest::newRow("past the end") << 40 << 13;
    }
    void modelPositions() {
        QFETCH(int, document);
        QFETCH(int, model);
        QCOMPARE(ModelPosition("RX> A\r\nTX> 𝄞B", document), std::size_t(model));
    }
};

QTEST_MAIN(ReceiveWindowTest)
#include "ReceiveWindowTest.moc"
