// Virtual screen, monitors, centring a dialog and a window's monitor, on fake desktops; the
// monitor map's layout: boxes and the captions fitted into them.
#include "monitors/MonitorMapLayout.h"
#include "monitors/mdlWindow.h"
#include "support/FakeDesktop.h"

#include <QtTest>

using namespace MonitorMapLayout;
using Boxes = QList<QRectF>;
using RectList = QList<QRect>;

namespace {
// Three quarters of a pixel per character and point, one and a half pixels of line per point.
QSizeF Measure(const QStringList &lines, double pointSize)
{
    qsizetype longest = 0;
    for (const QString &line : lines)
        longest = std::max(longest, line.size());
    return QSizeF(longest * pointSize * 0.75, lines.size() * pointSize * 1.5);
}
}

class MonitorsTest : public QObject
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
        QCOMPARE(mdlWindow::GetVirtualScreenRect(), ScreenRect::FromQRect(virtualScreen));
        QCOMPARE(mdlWindow::EnumMonitors(), expected);
        for (int i = 0; i < monitors.size(); ++i)
            QCOMPARE(mdlWindow::GetMonitorRect(handles[i]), ScreenRect::FromQRect(monitors[i]));
        QVERIFY(mdlWindow::GetMonitorRect(0x999).IsZero());
    }

    // One monitor 1920 x 1080 with its work area from y 40, 1000 high; rectangles are outer ones.
    // The owner's monitor on two: the desktop windows' test.
    void centerWindow_data()
    {
        QTest::addColumn<QRect>("dialog");
        QTest::addColumn<QRect>("owner");  // null: none
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("small owner: 50 pixels in") << QRect(700, 700, 400, 300) << QRect(100, 100, 300, 200) << QPoint(150, 150);
        QTest::newRow("wider than the work area: flush right") << QRect(0, 0, 2000, 300) << QRect(100, 100, 1000, 700) << QPoint(-80, 300);
        QTest::newRow("no owner: the work area's centre") << QRect(5, 5, 400, 300) << QRect() << QPoint(760, 390);
    }
    void centerWindow()
    {
        QFETCH(QRect, dialog);
        QFETCH(QRect, owner);
        QFETCH(QPoint, expected);
        FakeDesktop desktop;
        desktop.AddMonitor(QRect(0, 0, 1920, 1080), QRect(0, 40, 1920, 1000));
        const WindowHandle ownerWindow = owner.isNull() ? 0 : desktop.AddWindow(owner);
        const WindowHandle dialogWindow = desktop.AddWindow(dialog);
        mdlWindow::CenterWindow(dialogWindow, ownerWindow);
        QCOMPARE(desktop.WindowRect(dialogWindow), ScreenRect::FromQRect(QRect(expected, dialog.size())));
    }

    // Our own dialogs are centred without the file dialogs' 50-pixel minimum: a dialog larger
    // than its owner overhangs it evenly, and stays inside the work area.
    void centredWithoutMinimumOffset()
    {
        const ScreenRect work = ScreenRect::FromQRect(QRect(0, 40, 1920, 1000));
        const auto at = [&](const QRect &owner) {
            return mdlWindow::CentredOver(QSize(400, 300), ScreenRect::FromQRect(owner), work, mdlWindow::NoMinimumOffset);
        };
        QCOMPARE(at(QRect(500, 500, 300, 200)), QPoint(450, 450));
        QCOMPARE(at(QRect(0, 40, 300, 200)), QPoint(0, 40));
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

    void layout_data()
    {
        QTest::addColumn<QRect>("virtualScreen");
        QTest::addColumn<QList<QRect>>("monitors");
        QTest::addColumn<QRectF>("desktop");
        QTest::addColumn<Boxes>("boxes");
        QTest::newRow("side by side: the width decides")
            << QRect(-1280, 0, 2560, 1024) << QList<QRect>{{-1280, 0, 1280, 1024}, {0, 0, 1280, 1024}}
            << QRectF(120, 120, 6135, 2814) << Boxes{{470, 470, 2667.5, 2114}, {3237.5, 470, 2667.5, 2114}};
        QTest::newRow("stacked: the height decides")
            << QRect(0, -1024, 1280, 2048) << QList<QRect>{{0, -1024, 1280, 1024}, {0, 0, 1280, 1024}}
            << QRectF(120, 120, 2709.38, 3975) << Boxes{{470, 470, 2009.38, 1587.5}, {470, 2157.5, 2009.38, 1587.5}};
        QTest::newRow("monitor narrower than the inset") << QRect(0, 0, 10000, 1000) << QList<QRect>{{9960, 0, 40, 1000}}
                                                         << QRectF(120, 120, 6135, 1153.5) << Boxes{{5982.86, 470, 0, 453.5}};
        // Nothing to scale by: the design geometry stays rather than a division by zero.
        QTest::newRow("virtual screen without size") << QRect() << QList<QRect>{QRect()}
                                                     << QRectF(120, 120, 6135, 3975) << Boxes{{1320, 960, 1815, 1455}};
    }
    void layout()
    {
        QFETCH(QRect, virtualScreen);
        QFETCH(QList<QRect>, monitors);
        QFETCH(QRectF, desktop);
        QFETCH(Boxes, boxes);
        QList<MonitorEntry> entries;
        for (const QRect &m : monitors)
            entries << MonitorEntry{MonitorHandle(entries.size() + 7), ScreenRect::FromQRect(m)};
        const MonitorMap map = LayOut(ScreenRect::FromQRect(virtualScreen), entries);
        const auto rect = [](const TwipRect &r) {  // to two decimals
            return QRectF(qRound(r.Left * 100) / 100.0, qRound(r.Top * 100) / 100.0, qRound(r.Width * 100) / 100.0,
                          qRound(r.Height * 100) / 100.0);
        };
        Boxes laidOut;
        for (const MonitorBox &box : map.Boxes)
            laidOut << rect(box.Geometry);
        QCOMPARE(rect(map.Desktop), desktop);
        QCOMPARE(laidOut, boxes);
        QCOMPARE(map.ClientWidth, map.Desktop.Width + 240);
        QCOMPARE(map.Boxes.last().Handle, MonitorHandle(monitors.size() + 6));
    }

    // Regression: with a small monitor on the map its caption wrapped into more lines than its box
    // holds. A caption now fits whole: smaller, then on two lines, never below the legible minimum.
    void captionFitsItsBox_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSizeF>("room");
        QTest::addColumn<double>("pointSize");
        QTest::addColumn<QString>("text");
        QTest::newRow("large box") << "Monitor 1: 1280 x 1024" << QSizeF(200, 30) << 8.0 << "Monitor 1: 1280 x 1024";
        QTest::newRow("too low for the design font") << "Monitor 1: 1280 x 1024" << QSizeF(200, 10) << 6.5
                                                     << "Monitor 1: 1280 x 1024";
        QTest::newRow("size on a second line") << "Monitor 3: 640 x 480" << QSizeF(50, 35) << 6.5 << "Monitor 3:\n640 x 480";
        QTest::newRow("too small for anything") << "Monitor 3: 640 x 480" << QSizeF(20, 10) << 6.0
                                                << "Monitor 3:\n640 x 480";
    }
    void captionFitsItsBox()
    {
        QFETCH(QString, caption);
        QFETCH(QSizeF, room);
        QFETCH(double, pointSize);
        QFETCH(QString, text);
        const MonitorMapLayout::CaptionFit fit = FitCaption(caption, room, 8.0, 6.0, Measure);
        QCOMPARE(fit.PointSize, pointSize);
        QCOMPARE(fit.Text, text);
    }
};

QTEST_APPLESS_MAIN(MonitorsTest)
#include "MonitorsTest.moc"
