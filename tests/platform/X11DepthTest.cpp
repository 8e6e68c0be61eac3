// Screen copies at the screen's own depth: 16-bit true colour, and 8-bit with a colour map.
#include "capture/mdlCapture.h"
#include "platform/Platform.h"
#include "support/X11TestDesktop.h"

#include <QtTest>

using namespace X11TestDesktop;

class X11DepthTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { PaintRootPattern(); }

    void pictureHasTheScreensFormat()
    {
        const QImage copy = mdlCapture::GrabVirtualScreen();
        switch (RootDepth()) {
        case 8: {
            QCOMPARE(copy.format(), QImage::Format_Indexed8);
            // The whole colour map travels with the picture.
            const QList<QRgb> table = copy.colorTable();
            QCOMPARE(table.size(), 256);
            QVERIFY(table.contains(qRgb(0, 0, 0)));
            QVERIFY(table.contains(qRgb(255, 255, 255)));
            break;
        }
        case 16:
            QCOMPARE(copy.format(), QImage::Format_RGB16);
            break;
        default:
            QCOMPARE(copy.format(), QImage::Format_RGB32);
        }
    }

    void copies_data()
    {
        QTest::addColumn<QRect>("area");
        const QSize screen = CurrentPlatform().VirtualScreen().ToQRect().size();
        QTest::newRow("whole screen") << QRect(QPoint(0, 0), screen);
        QTest::newRow("colour sample at the corner") << QRect(-13, -5, 27, 11);
        QTest::newRow("large, inside") << QRect(10, 20, 700, 500);
        QTest::newRow("large, reaching outside") << QRect(screen.width() - 300, 100, 600, 300);
    }
    void copies()
    {
        QFETCH(QRect, area);
        const QRect screen = CurrentPlatform().VirtualScreen().ToQRect();
        const QImage copy = mdlCapture::GrabWindowArea(0, true, area.x(), area.y(), area.width(), area.height());
        QCOMPARE(copy.size(), area.size());
        QCOMPARE(CompareWithPattern(copy, area.topLeft(), [&](QPoint p) { return !screen.contains(p); }), QString());
    }
};

QTEST_MAIN(X11DepthTest)
#include "X11DepthTest.moc"
