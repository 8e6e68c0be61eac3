// Virtual screen, monitors, centring a dialog and a window's monitor, on fake desktops.
#include "base/RuntimeError.h"
#include "monitors/mdlWindow.h"
#include "support/FakeDesktop.h"

#include <QtTest>

#include <limits>

using RectList = QList<QRect>;

namespace {
QList<RuntimeError> g_reported;
}

class mdlWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The first monitor is the primary; listed gives the indexes in the order of the list.
    void monitors_data()
    {
        QTest::addColumn<RectList>("monitors");
        QTest::addColumn<QRect>("virtualScreen");
        QTest::addColumn<QList<int>>("listed");
        QTest::newRow("secondary left of the primary") << RectList{{0, 0, 1280, 1024}, {-1280, 0, 1280, 1024}}
                                                       << QRect(-1280, 0, 2560, 1024) << QList<int>{1, 0};
        // The probes are the centres of 640 x 480 cells: none falls on this one.
        QTest::newRow("small monitor between the probes") << RectList{{0, 0, 1280, 1024}, {1290, 250, 600, 400}}
                                                          << QRect(0, 0, 1890, 1024) << QList<int>{0};
        QTest::newRow("three: left column first")
            << RectList{{0, 0, 1920, 1080}, {-1280, -200, 1280, 1024}, {1920, -1080, 1920, 1080}}
            << QRect(-1280, -1080, 5120, 2160) << QList<int>{1, 0, 2};
    }
    void monitors()
    {
        QFETCH(RectList, monitors);
        QFETCH(QRect, virtualScreen);
        QFETCH(QList<int>, listed);
        FakeDesktop desktop;
        QList<MonitorHandle> handles, expected;
        for (const QRect &m : monitors)
            handles << desktop.AddMonitor(m);
        for (int i : listed)
            expected << handles[i];
        const ScreenRect vs = mdlWindow::GetVirtualScreenRect();
        QCOMPARE(vs, ScreenRect::FromQRect(virtualScreen));
        QCOMPARE(mdlWindow::EnumMonitors(), expected);
        for (int i = 0; i < monitors.size(); ++i)
            QCOMPARE(mdlWindow::GetMonitorRect(handles[i]), ScreenRect::FromQRect(monitors[i]));
        QVERIFY(mdlWindow::GetMonitorRect(0x999).IsZero());
    }

    void scanOverflowIsReportedAndKeepsWhatWasFound()
    {
        FakeDesktop desktop;
        const MonitorHandle h = desktop.AddMonitor(QRect(2147483100, 0, 500, 400));
        SetErrorReporter([](const RuntimeError &error) { g_reported << error; });
        QCOMPARE(mdlWindow::EnumMonitors(), QList<MonitorHandle>{h});
        SetErrorReporter(nullptr);
        QCOMPARE(g_reported.size(), 1);
        QCOMPARE(g_reported.first().number(), ErrorNumber::Overflow);
    }

    // One monitor 1920 x 1080 with its work area from y 40, 1000 high; or two of 1280 x 1024
    // side by side, their work areas 994 and 984 high. Rectangles are outer ones.
    void centerWindow_data()
    {
        QTest::addColumn<bool>("two");
        QTest::addColumn<QRect>("dialog");
        QTest::addColumn<QRect>("owner");  // null: none
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("small owner: 50 pixels in") << false << QRect(700, 700, 400, 300) << QRect(100, 100, 300, 200) << QPoint(150, 150);
        QTest::newRow("wider than the work area: flush right") << false << QRect(0, 0, 2000, 300) << QRect(100, 100, 1000, 700) << QPoint(-80, 300);
        QTest::newRow("no owner: the work area's centre") << false << QRect(5, 5, 400, 300) << QRect() << QPoint(760, 390);
        QTest::newRow("owner's monitor") << true << QRect(0, 0, 400, 300) << QRect(2200, 700, 300, 200) << QPoint(2160, 684);
    }
    void centerWindow()
    {
        QFETCH(bool, two);
        QFETCH(QRect, dialog);
        QFETCH(QRect, owner);
        QFETCH(QPoint, expected);
        FakeDesktop desktop;
        if (two) {
            desktop.AddMonitor(QRect(0, 0, 1280, 1024), QRect(0, 0, 1280, 994));
            desktop.AddMonitor(QRect(1280, 0, 1280, 1024), QRect(1280, 0, 1280, 984));
        } else {
            desktop.AddMonitor(QRect(0, 0, 1920, 1080), QRect(0, 40, 1920, 1000));
        }
        const WindowHandle ownerWindow = owner.isNull() ? 0 : desktop.AddWindow(owner);
        const WindowHandle dialogWindow = desktop.AddWindow(dialog);
        mdlWindow::CenterWindow(dialogWindow, ownerWindow);
        QCOMPARE(desktop.WindowRect(dialogWindow), ScreenRect::FromQRect(QRect(expected, dialog.size())));
    }

    // The monitor every platform picks for a window: the one holding most of it, else the nearest.
    void bestMonitor()
    {
        const auto best = [](const QRect &window) {
            return BestMonitorFor(window, {{1, QRect(0, 0, 1280, 1024)}, {2, QRect(1280, 0, 1280, 1024)}});
        };
        QCOMPARE(best(QRect(1000, 100, 400, 200)), 1);  // across both, more on the left
        QCOMPARE(best(QRect(1180, 100, 200, 200)), 1);  // half and half: the first listed
        QCOMPARE(best(QRect(2000, 1100, 100, 100)), 2);  // below both: the nearest
        QCOMPARE(best(QRect(1500, 100, 0, 0)), 2);       // no size
        QCOMPARE(BestMonitorFor(QRect(0, 0, 10, 10), {}), 0);
    }
};

QTEST_APPLESS_MAIN(mdlWindowTest)
#include "mdlWindowTest.moc"
