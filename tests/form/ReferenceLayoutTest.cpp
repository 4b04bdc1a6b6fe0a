// Mouse positions in the reference layout, at 100 % and at the screen scale
// the run is started with (QT_SCALE_FACTOR), and the display painting.
#include <QTest>

#include "form/DisplayWidget.h"
#include "form/ReferenceLayout.h"

using namespace morvane;
using namespace morvane::form;

Q_DECLARE_METATYPE(morvane::form::ClickArea)

class ReferenceLayoutTest : public QObject {
    Q_OBJECT
  private slots:
    // Reference points on the unscaled form and on one twice as large on a
    // 200 % screen: the same area, or none just outside it.
    void clickAreas_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<ClickArea>("area");
        QTest::addColumn<int>("label");
        QTest::newRow("weather") << 714.0 << 201.0 << ClickArea::Weather << 0;
        QTest::newRow("weather right bound") << 815.0 << 210.0 << ClickArea::None << 0;
        QTest::newRow("temperature") << 939.0 << 219.0 << ClickArea::Temperature << 0;
        QTest::newRow("auto cq") << 700.0 << 450.0 << ClickArea::AutoCq << 0;
        QTest::newRow("first macro") << 471.0 << 475.0 << ClickArea::MacroLabel << 1;
        QTest::newRow("gap between labels") << 562.0 << 480.0 << ClickArea::None << 0;
        QTest::newRow("macro 8") << 700.0 << 510.0 << ClickArea::MacroLabel << 8;
        QTest::newRow("macro 15") << 939.0 << 545.0 << ClickArea::MacroLabel << 15;
        QTest::newRow("level display") << 300.0 << 100.0 << ClickArea::LevelDisplay << 0;
        QTest::newRow("spectrum") << 600.0 << 164.0 << ClickArea::Spectrum << 0;
        QTest::newRow("below spectrum") << 600.0 << 165.0 << ClickArea::None << 0;
    }
    void clickAreas() {
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(ClickArea, area);
        QFETCH(int, label);
        for (double s : {1.0, 2.0}) {
            const FormScale scale{s, s, kReferenceWidth * s, kReferenceHeight * s};
            const ClickHit hit = HitTest({x * s, y * s}, scale);
            QCOMPARE(hit.Area, area);
            QCOMPARE(hit.Label, label);
        }
        // Unscaled screen: a larger window keeps reference pixels.
        const FormScale wide{1.0, 1.0, 2000, 1200};
        QCOMPARE(HitTest({x, y}, wide).Area, area);
    }

    void thresholdAndSpectrumColumns() {
        for (double s : {1.0, 2.0}) {
            const FormScale scale{s, s, kReferenceWidth * s, kReferenceHeight * s};
            QCOMPARE(ThresholdAt(44 * s, scale), 0);
            QCOMPARE(ThresholdAt(165 * s, scale), -90);
            QCOMPARE(ThresholdAt(100 * s, scale), -41);
            QCOMPARE(SpectrumColumnAt(509 * s, scale), 0);
            QCOMPARE(SpectrumColumnAt(517 * s, scale), 1);
            QCOMPARE(SpectrumColumnAt(675 * s, scale), 27);
        }
        const FormScale hiDpi{1.5, 1.5, 952 * 1.5, 558 * 1.5};
        QVERIFY(ReleaseEnablesLabels({471 * 1.548, 475 * 1.536}, hiDpi));
        QVERIFY(!ReleaseEnablesLabels({471 * 1.5, 475 * 1.5}, hiDpi));
        QVERIFY(ReleaseEnablesLabels({471, 475}, {}));
    }

    // The picture stretched onto the widget: a red marker across the middle
    // row and a green trace down the left third, black elsewhere.
    void displayPaintsPicture() {
        DisplayWidget widget;
        widget.resize(165, 121);
        receive::DisplayPicture picture;
        picture.Width = 165;
        picture.Height = 121;
        picture.Lines.push_back({{0, 60}, {164, 60}, receive::Ink::Marker});
        picture.Lines.push_back({{55, 0}, {55, 120}, receive::Ink::Trace});
        widget.SetPicture(picture);
        const qreal ratio = widget.devicePixelRatioF();
        const QImage image = widget.grab().toImage();
        auto at = [&](int x, int y) { return image.pixelColor(int(x * ratio), int(y * ratio)); };
        QCOMPARE(at(100, 60), QColor(255, 0, 0));
        QCOMPARE(at(55, 20), QColor(0, 255, 0));
        QCOMPARE(at(100, 20), QColor(0, 0, 0));

        widget.resize(330, 242);  // twice the model: same picture, scaled
        const QImage large = widget.grab().toImage();
        int redRows = 0;
        for (int y = 0; y < large.height(); ++y)
            redRows += large.pixelColor(int(200 * ratio), y) == QColor(255, 0, 0);
        QVERIFY(redRows >= 1 && redRows <= 2 * ratio);
        QVERIFY(large.pixelColor(int(200 * ratio), int(120 * ratio)) == QColor(255, 0, 0) ||
                large.pixelColor(int(200 * ratio), int(121 * ratio)) == QColor(255, 0, 0));
        QCOMPARE(large.pixelColor(int(200 * ratio), int(40 * ratio)), QColor(0, 0, 0));
        QCOMPARE(widget.PicturesShown(), quint64(1));
    }
};

QTEST_MAIN(ReferenceLayoutTest)
#include "ReferenceLayoutTest.moc"
