// Monitors and pixel-exact copies on a bare X server: B (1280 x 900) left of the primary
// A (1280 x 1024) on a 2560 x 1088 root, at depths 24, 16, 8 and scaled by 2.
#include "platform/Platform.h"
#include "platform/X11ScreenCopy.h"
#include "support/X11TestDesktop.h"

#include <QtWidgets>

#include <unistd.h>

using namespace X11TestDesktop;

namespace {
const QPoint Origin(1280, 0);  // the primary's top-left corner on the root window
const QRegion Monitors = QRegion(0, 0, 1280, 900) + QRegion(1280, 0, 1280, 1024);  // root coordinates

// How many programs have each of this process's shared-memory segments attached (this one, and
// the X server where it has the segment too).
QList<int> SegmentAttachments()
{
    QFile table(QStringLiteral("/proc/sysvipc/shm"));
    table.open(QIODevice::ReadOnly);
    QList<int> attachments;
    table.readLine();  // key shmid perms size cpid lpid nattch ...
    for (QByteArray line = table.readLine(); !line.isEmpty(); line = table.readLine()) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 6 && fields[4].toLong() == getpid())
            attachments.append(fields[6].toInt());
    }
    std::sort(attachments.begin(), attachments.end());
    return attachments;
}

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

    // After a while without copies the server lets go of every segment: the one kept for the next
    // copy goes, and one that a held image (a capture on the clipboard) lives on becomes the
    // image's alone, its pixels intact, and goes with it.
    void segmentsGivenBackAfterAWhile()
    {
        Connection x;
        const QRect root(0, 0, x.screen->width_in_pixels, x.screen->height_in_pixels);
        const QList<int> before = SegmentAttachments();
        const auto with = [&](QList<int> added) {
            added += before;
            std::sort(added.begin(), added.end());
            return added;
        };
        {
            X11ScreenCopy copier(x.c, x.screen, 100);
            QImage held = copier.Copy(root, root);
            copier.Copy(root, root);
            QCOMPARE(SegmentAttachments(), with({2, 2}));
            QTRY_COMPARE(SegmentAttachments(), with({1}));
            QCOMPARE(CompareWithPattern(held, QPoint(0, 0), [](QPoint) { return false; }), QString());
            held = QImage();
            QCOMPARE(SegmentAttachments(), before);
            // A copy after the while makes a new segment.
            QVERIFY(!copier.Copy(root, root).isNull());
            QCOMPARE(SegmentAttachments(), with({2}));
        }
        x.Sync();  // the server has let go of the last one too
        QCOMPARE(SegmentAttachments(), before);
    }
};

QTEST_MAIN(X11PlatformTest)
#include "X11PlatformTest.moc"
