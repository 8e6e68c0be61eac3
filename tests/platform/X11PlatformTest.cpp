// Monitors and pixel-exact copies on a bare X server: B (1280 x 900) left of the primary
// A (1280 x 1024) on a 2560 x 1088 root, at depths 24, 16, 8 and scaled by 2.
#include "platform/Platform.h"
#include "support/X11TestDesktop.h"

#include <QtWidgets>

using namespace X11TestDesktop;

namespace {
const QPoint Origin(1280, 0);  // the primary's top-left corner on the root window
const QRegion Monitors = QRegion(0, 0, 1280, 900) + QRegion(1280, 0, 1280, 1024);  // root coordinates

QImage::Format ScreenFormat()
{
    const int depth = Connection().screen->root_depth;
    return depth == 8 ? QImage::Format_Indexed8 : depth == 16 ? QImage::Format_RGB16 : QImage::Format_RGB32;
}
}

class X11PlatformTest : public QObject
{
    Q_OBJECT

    Platform &platform = CurrentPlatform();

private Q_SLOTS:
    void initTestCase() { PaintRootPattern(); }

    void monitorsFromRandR()
    {
        QCOMPARE(platform.MonitorCount(), 2);
        QCOMPARE(platform.VirtualScreen().ToQRect(), QRect(-1280, 0, 2560, 1024));
        QCOMPARE(platform.MonitorFromPoint(QPoint(-1, 950)), 0);  // on the root, on no monitor
        ScreenRect monitor, work;
        QVERIFY(platform.MonitorInfo(platform.MonitorFromPoint(QPoint(-1, 500)), &monitor, &work));
        QCOMPARE(monitor.ToQRect(), QRect(-1280, 0, 1280, 900));
        QCOMPARE(work.ToQRect(), monitor.ToQRect());  // no window manager to reserve anything
        QVERIFY(platform.MonitorInfo(platform.MonitorFromPoint(QPoint(0, 500)), &monitor, nullptr));
        QCOMPARE(monitor.ToQRect(), QRect(0, 0, 1280, 1024));
    }

    void copies_data()
    {
        QTest::addColumn<QRect>("area");  // program coordinates
        QTest::newRow("sample at the primary's corner, reaching above") << QRect(-13, -5, 27, 11);
        QTest::newRow("the same, sent along with the monitor query") << QRect(-700, 300, 27, 11);
        QTest::newRow("large, reaching left of the root and below the monitors") << QRect(-1300, 800, 1400, 250);
        QTest::newRow("the virtual screen, on a shared segment") << QRect(-1280, 0, 2560, 1024);
        QTest::newRow("wholly outside") << QRect(5000, 5000, 10, 10);
    }
    void copies()
    {
        QFETCH(QRect, area);
        const QImage copy = platform.CopyScreen(area);
        QVERIFY(copy.format() == ScreenFormat() && copy.size() == area.size());
        QVERIFY(copy.format() != QImage::Format_Indexed8 || copy.colorCount() == 256);
        QCOMPARE(CompareWithPattern(copy, area.topLeft() + Origin, [](QPoint p) { return !Monitors.contains(p); }), QString());
    }

    // A large copy keeps its segment: the next one must not write into it. The first is the
    // whole desktop, copied with one look at the monitors.
    void copiesAreIndependent()
    {
        const QImage first = platform.CopyVirtualScreen();
        QCOMPARE(first.size(), QSize(2560, 1024));
        platform.CopyScreen(QRect(-1000, 100, 2000, 900));
        QCOMPARE(CompareWithPattern(first, QPoint(0, 0), [](QPoint p) { return !Monitors.contains(p); }), QString());
    }
};

QTEST_MAIN(X11PlatformTest)
#include "X11PlatformTest.moc"
