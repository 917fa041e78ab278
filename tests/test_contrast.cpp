// The contrast ratio that the readable texts and tools/contrast.sh rely on,
// against figures known from the WCAG 2 definition.
#include "contrast.h"

#include <QtTest>

class TestContrast final : public QObject {
    Q_OBJECT

  private slots:
    void ratioMatchesKnownFigures_data();
    void ratioMatchesKnownFigures();
};

void TestContrast::ratioMatchesKnownFigures_data() {
    QTest::addColumn<QRgb>("first");
    QTest::addColumn<QRgb>("second");
    QTest::addColumn<double>("ratio");
    QTest::newRow("black on white") << qRgb(0, 0, 0) << qRgb(255, 255, 255) << 21.0;
    QTest::newRow("white on black") << qRgb(255, 255, 255) << qRgb(0, 0, 0) << 21.0;
    QTest::newRow("the same colour") << qRgb(0x12, 0x0c, 0x38) << qRgb(0x12, 0x0c, 0x38) << 1.0;
    // The lightest grey that passes 4.5:1 on white, and the next one that does not.
    QTest::newRow("#767676 on white") << qRgb(0x76, 0x76, 0x76) << qRgb(255, 255, 255) << 4.54;
    QTest::newRow("#777777 on white") << qRgb(0x77, 0x77, 0x77) << qRgb(255, 255, 255) << 4.48;
    // Channels weigh differently: pure red and pure green on black.
    QTest::newRow("red on black") << qRgb(255, 0, 0) << qRgb(0, 0, 0) << 5.25;
    QTest::newRow("green on black") << qRgb(0, 255, 0) << qRgb(0, 0, 0) << 15.3;
}

void TestContrast::ratioMatchesKnownFigures() {
    QFETCH(QRgb, first);
    QFETCH(QRgb, second);
    QFETCH(double, ratio);
    const double measured = contrast::ratio(first, second);
    QVERIFY2(qAbs(measured - ratio) < 0.01, qPrintable(QString::number(measured, 'f', 4)));
}

QTEST_MAIN(TestContrast)
#include "test_contrast.moc"
