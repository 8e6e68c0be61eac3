// Fitting a captured picture into the zoom view: uniform scale, top-left anchor.
#include "app/PictureFit.h"

#include <QtTest>

class PictureFitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fit_data()
    {
        QTest::addColumn<QSize>("box");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRectF>("expected");
        QTest::newRow("taller than the box ratio") << QSize(213, 85) << QSize(100, 50) << QRectF(0, 0, 170, 85);
        QTest::newRow("wider than the box ratio") << QSize(213, 85) << QSize(400, 50) << QRectF(0, 0, 213, 50 / (400.0 / 213));
        QTest::newRow("exactly the box") << QSize(213, 85) << QSize(213, 85) << QRectF(0, 0, 213, 85);
        QTest::newRow("a whole desktop") << QSize(213, 85) << QSize(2560, 1024) << QRectF(0, 0, 212.5, 85);
        QTest::newRow("empty picture") << QSize(213, 85) << QSize(0, 0) << QRectF();
        QTest::newRow("box without area") << QSize(0, 85) << QSize(10, 10) << QRectF();
    }
    void fit()
    {
        QFETCH(QSize, box);
        QFETCH(QSize, picture);
        QFETCH(QRectF, expected);
        const QRectF r = FitPictureRect(box, picture);
        QCOMPARE(r.topLeft(), expected.topLeft());
        QVERIFY2(qAbs(r.width() - expected.width()) < 1e-9 && qAbs(r.height() - expected.height()) < 1e-9,
                 qPrintable(QStringLiteral("%1 x %2").arg(r.width()).arg(r.height())));
    }
};

QTEST_APPLESS_MAIN(PictureFitTest)
#include "PictureFitTest.moc"
