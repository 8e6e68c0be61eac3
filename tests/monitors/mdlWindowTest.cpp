// Virtual screen, monitor list and dialog centring on desktops made of rectangles.
#include "base/RuntimeError.h"
#include "monitors/mdlWindow.h"
#include "support/FakeDesktop.h"

#include <QtTest>

#include <limits>

using RectList = QList<QRect>;
using IndexList = QList<int>;

namespace {
QList<RuntimeError> g_reported;
void Collect(const RuntimeError &error) { g_reported.append(error); }

QRect ToQRect(const ScreenRect &r) { return QRect(r.Left, r.Top, r.Width, r.Height); }

// Right and Bottom must agree with Left + Width and Top + Height.
bool Consistent(const ScreenRect &r)
{
    return r.Right == r.Left + r.Width && r.Bottom == r.Top + r.Height;
}
}

class mdlWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { g_reported.clear(); }

    void layouts_data()
    {
        // Monitors are added in the order given; the first one is the primary.
        QTest::addColumn<RectList>("monitors");
        QTest::addColumn<QRect>("virtualScreen");
        QTest::addColumn<IndexList>("listed");  // indexes into monitors, in the order listed

        QTest::newRow("one monitor") << RectList{{0, 0, 1920, 1080}} << QRect(0, 0, 1920, 1080) << IndexList{0};
        QTest::newRow("secondary right of primary")
            << RectList{{0, 0, 1280, 1024}, {1280, 0, 1280, 1024}} << QRect(0, 0, 2560, 1024) << IndexList{0, 1};
        QTest::newRow("secondary left of primary")
            << RectList{{0, 0, 1280, 1024}, {-1280, 0, 1280, 1024}} << QRect(-1280, 0, 2560, 1024)
            << IndexList{1, 0};
        QTest::newRow("secondary above primary")
            << RectList{{0, 0, 1280, 1024}, {0, -1024, 1280, 1024}} << QRect(0, -1024, 1280, 2048)
            << IndexList{1, 0};
        // Probe centres at x 320, 960, 1600 and y 240, 720, 1200: none falls into 1290..1889 x 250..649.
        QTest::newRow("small monitor between the probes")
            << RectList{{0, 0, 1280, 1024}, {1290, 250, 600, 400}} << QRect(0, 0, 1890, 1024) << IndexList{0};
        QTest::newRow("small monitor over a probe")
            << RectList{{0, 0, 1280, 1024}, {1280, 0, 600, 400}} << QRect(0, 0, 1880, 1024) << IndexList{0, 1};
        // Column-major: the left column of cells first, top to bottom, whatever the rows hold.
        QTest::newRow("three monitors")
            << RectList{{0, 0, 1920, 1080}, {-1280, -200, 1280, 1024}, {1920, -1080, 1920, 1080}}
            << QRect(-1280, -1080, 5120, 2160) << IndexList{1, 0, 2};
    }
    void layouts()
    {
        QFETCH(RectList, monitors);
        QFETCH(QRect, virtualScreen);
        QFETCH(IndexList, listed);

        FakeDesktop desktop;
        QList<MonitorHandle> handles;
        for (const QRect &m : monitors)
            handles.append(desktop.AddMonitor(m, handles.isEmpty()));

        QCOMPARE(mdlWindow::GetMonitorCount(), monitors.size());
        const ScreenRect vs = mdlWindow::GetVirtualScreenRect();
        QCOMPARE(ToQRect(vs), virtualScreen);
        QVERIFY(Consistent(vs));

        QList<MonitorHandle> expected;
        for (int i : listed)
            expected.append(handles[i]);
        const QList<MonitorHandle> found = mdlWindow::EnumMonitors();
        QCOMPARE(found, expected);
        for (int i : listed) {
            const ScreenRect r = mdlWindow::GetMonitorRect(handles[i]);
            QCOMPARE(ToQRect(r), monitors[i]);
            QVERIFY(Consistent(r));
        }
        QVERIFY(g_reported.isEmpty());
    }

    void unknownMonitorGivesZeroRect()
    {
        FakeDesktop desktop;
        const MonitorHandle h = desktop.AddMonitor(QRect(0, 0, 1280, 1024), true);
        QVERIFY(mdlWindow::GetMonitorRect(h + 1).IsZero());
        QVERIFY(mdlWindow::GetMonitorRect(0).IsZero());
    }

    void noMultiMonitorSupportListsNothing()
    {
        FakeDesktop desktop;
        desktop.AddMonitor(QRect(0, 0, 1280, 1024), true);
        desktop.SetReportedMonitorCount(0);
        QVERIFY(mdlWindow::EnumMonitors().isEmpty());
    }

    void scanOverflowIsReportedAndKeepsWhatWasFound()
    {
        FakeDesktop desktop;
        SetErrorReporter(Collect);
        // The next probe column would lie beyond 32-bit coordinates.
        const MonitorHandle h = desktop.AddMonitor(QRect(2147483100, 0, 500, 400), true);
        QCOMPARE(mdlWindow::EnumMonitors(), QList<MonitorHandle>{h});
        SetErrorReporter(nullptr);
        QCOMPARE(g_reported.size(), 1);
        QCOMPARE(g_reported.first().number(), ErrorNumber::Overflow);
    }

    void centerWindow_data()
    {
        QTest::addColumn<RectList>("monitors");   // the first one is the primary
        QTest::addColumn<RectList>("workAreas");  // one per monitor
        QTest::addColumn<QRect>("dialog");
        QTest::addColumn<QRect>("owner");         // null: no owner
        QTest::addColumn<QPoint>("expected");

        const RectList one{{0, 0, 1920, 1080}};
        const RectList oneWork{{0, 0, 1920, 1040}};
        QTest::newRow("owner smaller than dialog: 50 pixels in")
            << one << oneWork << QRect(700, 700, 400, 300) << QRect(100, 100, 300, 200) << QPoint(150, 150);
        QTest::newRow("owner larger than dialog: centred")
            << one << oneWork << QRect(0, 0, 400, 300) << QRect(100, 100, 1000, 700) << QPoint(400, 300);
        QTest::newRow("owner near the right edge")
            << one << oneWork << QRect(0, 0, 400, 300) << QRect(1800, 100, 1000, 700) << QPoint(1520, 300);
        QTest::newRow("owner near the bottom edge")
            << one << oneWork << QRect(0, 0, 400, 300) << QRect(100, 900, 1000, 700) << QPoint(400, 740);
        QTest::newRow("owner beyond the left and top edges")
            << one << oneWork << QRect(0, 0, 400, 300) << QRect(-100, -120, 300, 200) << QPoint(0, 0);
        QTest::newRow("dialog wider than the work area ends at its right edge")
            << one << oneWork << QRect(0, 0, 2000, 300) << QRect(100, 100, 1000, 700) << QPoint(-80, 300);
        QTest::newRow("dialog taller than the work area ends at its bottom edge")
            << one << oneWork << QRect(0, 0, 400, 1100) << QRect(100, 100, 1000, 700) << QPoint(400, -60);
        QTest::newRow("no owner: centred in the work area")
            << one << oneWork << QRect(5, 5, 400, 300) << QRect() << QPoint(760, 370);
        // (1919 - 2000) / 2 truncates to -40, not -41; there is no clamping without an owner.
        QTest::newRow("no owner, dialog wider than the work area")
            << one << RectList{{0, 0, 1919, 1040}} << QRect(5, 5, 2000, 300) << QRect() << QPoint(-40, 370);

        const RectList pair{{0, 0, 1280, 1024}, {1280, 0, 1280, 1024}};
        const RectList pairWork{{0, 0, 1280, 994}, {1280, 0, 1280, 984}};
        QTest::newRow("no owner: the monitor nearest to the dialog")
            << pair << pairWork << QRect(2000, 100, 400, 300) << QRect() << QPoint(1720, 342);
        QTest::newRow("no owner: dialog off every monitor goes to the nearest")
            << pair << pairWork << QRect(2700, 1100, 400, 300) << QRect() << QPoint(1720, 342);
        QTest::newRow("owner on the secondary monitor: its work area")
            << pair << pairWork << QRect(0, 0, 400, 300) << QRect(2200, 700, 300, 200) << QPoint(2160, 684);
        QTest::newRow("owner across two monitors: the one holding more of it")
            << pair << pairWork << QRect(0, 0, 400, 300) << QRect(1000, 100, 1000, 700) << QPoint(1300, 300);

        const RectList leftOfPrimary{{0, 0, 1280, 1024}, {-1280, 0, 1280, 1024}};
        const RectList leftWork{{0, 0, 1280, 1024}, {-1280, 0, 1280, 994}};
        QTest::newRow("owner on a monitor left of the primary, pushed right")
            << leftOfPrimary << leftWork << QRect(0, 0, 400, 300) << QRect(-1400, 100, 300, 200)
            << QPoint(-1280, 150);
    }
    void centerWindow()
    {
        QFETCH(RectList, monitors);
        QFETCH(RectList, workAreas);
        QFETCH(QRect, dialog);
        QFETCH(QRect, owner);
        QFETCH(QPoint, expected);

        FakeDesktop desktop;
        for (int i = 0; i < monitors.size(); ++i)
            desktop.AddMonitor(monitors[i], i == 0, workAreas[i]);
        const WindowHandle ownerWindow = owner.isNull() ? 0 : desktop.AddWindow(owner.adjusted(1, 20, -1, -5), QMargins(1, 20, 1, 5));
        const WindowHandle dialogWindow = desktop.AddWindow(dialog.adjusted(1, 20, -1, -5), QMargins(1, 20, 1, 5));

        mdlWindow::CenterWindow(dialogWindow, ownerWindow);
        QCOMPARE(desktop.MoveCount(), 1);
        QCOMPARE(ToQRect(desktop.WindowRect(dialogWindow)), QRect(expected, dialog.size()));
    }

    void centerWindowWithOneMonitorUsesThePrimaryWorkArea_data()
    {
        QTest::addColumn<int>("reportedCount");
        QTest::newRow("one monitor") << 1;
        QTest::newRow("no multi-monitor support") << 0;
    }
    void centerWindowWithOneMonitorUsesThePrimaryWorkArea()
    {
        QFETCH(int, reportedCount);
        FakeDesktop desktop;
        desktop.AddMonitor(QRect(0, 0, 1920, 1080), true, QRect(0, 0, 1920, 1040));
        desktop.SetReportedMonitorCount(reportedCount);
        desktop.SetPrimaryWorkArea(QRect(0, 40, 1920, 1040));
        const WindowHandle dialog = desktop.AddWindow(QRect(0, 0, 400, 300));
        mdlWindow::CenterWindow(dialog, 0);
        QCOMPARE(ToQRect(desktop.WindowRect(dialog)), QRect(760, 410, 400, 300));
    }

    void centerWindowOverflowReachesTheCaller()
    {
        FakeDesktop desktop;
        desktop.AddMonitor(QRect(0, 0, 1920, 1080), true);
        const WindowHandle owner = desktop.AddWindow(QRect(0, 0, 10, 10));
        const WindowHandle dialog = desktop.AddWindow(QRect(0, 0, 400, 300));
        ScreenRect huge;
        huge.Left = std::numeric_limits<qint32>::min();
        huge.Right = std::numeric_limits<qint32>::max();
        huge.Bottom = 10;
        desktop.SetWindowRect(owner, huge);
        try {
            mdlWindow::CenterWindow(dialog, owner);
            QFAIL("no error raised");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), ErrorNumber::Overflow);
        }
        QCOMPARE(desktop.MoveCount(), 0);
    }
};

QTEST_APPLESS_MAIN(mdlWindowTest)
#include "mdlWindowTest.moc"
