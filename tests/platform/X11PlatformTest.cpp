// Monitors, work areas, the pointer, windows and pixel-exact copies on a real X server with RandR
// monitors and no window manager.
#include "capture/mdlCapture.h"
#include "monitors/mdlWindow.h"
#include "platform/Platform.h"
#include "support/X11TestDesktop.h"

#include <QCursor>
#include <QWidget>
#include <QtTest>

using namespace X11TestDesktop;
using RectList = QList<QRect>;

namespace {
QRect ToQRect(const ScreenRect &r) { return QRect(r.Left, r.Top, r.Width, r.Height); }

// A secondary monitor left of the primary: program (0, 0) is root (1280, 0).
const QStringList LeftOfPrimary{QStringLiteral("*A 1280/338x1024/271+1280+0 screen"),
                                QStringLiteral("B 1280/338x1024/271+0+0 none")};
const QPoint LeftOfPrimaryOrigin(1280, 0);
const QRect LeftOfPrimaryRoot(0, 0, 2560, 1024);

QWidget *SolidWindow(QWidget *parent, const QRect &geometry, QColor colour)
{
    auto *w = new QWidget(parent);
    w->setAutoFillBackground(true);
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, colour);
    w->setPalette(palette);
    w->setGeometry(geometry);
    return w;
}
}

class X11PlatformTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        PaintRootPattern();
    }

    void layouts_data()
    {
        QTest::addColumn<QStringList>("monitors");
        QTest::addColumn<QRect>("virtualScreen");
        QTest::addColumn<RectList>("listed");  // program coordinates, in the order listed

        QTest::newRow("secondary right of primary")
            << QStringList{QStringLiteral("*A 1280/338x1024/271+0+0 screen"), QStringLiteral("B 1280/338x1024/271+1280+0 none")}
            << QRect(0, 0, 2560, 1024) << RectList{{0, 0, 1280, 1024}, {1280, 0, 1280, 1024}};
        QTest::newRow("secondary left of primary")
            << LeftOfPrimary << QRect(-1280, 0, 2560, 1024) << RectList{{-1280, 0, 1280, 1024}, {0, 0, 1280, 1024}};
        QTest::newRow("primary below secondary")
            << QStringList{QStringLiteral("*A 1280/338x1024/271+0+1024 screen"), QStringLiteral("B 1280/338x1024/271+0+0 none")}
            << QRect(0, -1024, 1280, 2048) << RectList{{0, -1024, 1280, 1024}, {0, 0, 1280, 1024}};
        QTest::newRow("small monitor between the probes")
            << QStringList{QStringLiteral("*A 1280/338x1024/271+0+0 screen"), QStringLiteral("B 600/159x400/106+1290+250 none")}
            << QRect(0, 0, 1890, 1024) << RectList{{0, 0, 1280, 1024}};
        QTest::newRow("three monitors")
            << QStringList{QStringLiteral("*A 1280/338x1024/271+640+1024 screen"), QStringLiteral("B 640/169x480/127+0+0 none"),
                           QStringLiteral("C 1920/508x1024/271+640+0 none")}
            << QRect(-640, -1024, 2560, 2048)
            << RectList{{-640, -1024, 640, 480}, {0, -1024, 1920, 1024}, {0, 0, 1280, 1024}};
    }
    void layouts()
    {
        QFETCH(QStringList, monitors);
        QFETCH(QRect, virtualScreen);
        QFETCH(RectList, listed);
        QVERIFY(SetMonitors(monitors));

        QCOMPARE(mdlWindow::GetMonitorCount(), monitors.size());
        QCOMPARE(ToQRect(mdlWindow::GetVirtualScreenRect()), virtualScreen);
        RectList found;
        for (MonitorHandle h : mdlWindow::EnumMonitors()) {
            QVERIFY(h != 0);
            found.append(ToQRect(mdlWindow::GetMonitorRect(h)));
        }
        QCOMPARE(found, listed);
        QCOMPARE(CurrentPlatform().MonitorFromPoint(virtualScreen.bottomRight() + QPoint(1, 1)), 0);
    }

    void handlesStayWhileTheLayoutStays()
    {
        QVERIFY(SetMonitors(LeftOfPrimary));
        const QList<MonitorHandle> first = mdlWindow::EnumMonitors();
        QCOMPARE(mdlWindow::EnumMonitors(), first);
        QVERIFY(mdlWindow::GetMonitorRect(first.first() ^ first.last() ^ 0x7fff).IsZero());
    }

    void screenArea_data()
    {
        QTest::addColumn<QRect>("area");  // program coordinates; the root is 2560 x 2048
        QTest::newRow("colour sample at the primary's corner") << QRect(-13, -5, 27, 11);
        QTest::newRow("negative coordinates") << QRect(-700, 300, 64, 48);
        QTest::newRow("reaching past the left edge") << QRect(-1290, 100, 30, 20);
        QTest::newRow("large, reaching outside") << QRect(-1300, 900, 700, 300);
        QTest::newRow("wholly outside") << QRect(5000, 5000, 10, 10);
    }
    void screenArea()
    {
        QFETCH(QRect, area);
        QVERIFY(SetMonitors(LeftOfPrimary));
        const QImage copy = mdlCapture::GrabWindowArea(0, true, area.x(), area.y(), area.width(), area.height());
        QCOMPARE(copy.format(), QImage::Format_RGB32);
        QCOMPARE(copy.colorCount(), 0);
        QCOMPARE(CompareWithPattern(copy, area.topLeft() + LeftOfPrimaryOrigin,
                                    [](QPoint p) { return !LeftOfPrimaryRoot.contains(p); }),
                 QString());
    }

    void sampleFollowsAMonitorChange()
    {
        const auto sample = [] { return mdlCapture::GrabWindowArea(0, true, 10, 20, 27, 11); };
        QVERIFY(SetMonitors(LeftOfPrimary));
        QCOMPARE(CompareWithPattern(sample(), QPoint(1290, 20)), QString());
        QCOMPARE(CompareWithPattern(sample(), QPoint(1290, 20)), QString());
        QVERIFY(SetMonitors({QStringLiteral("*A 1280/338x1024/271+0+0 screen"),
                             QStringLiteral("B 1280/338x1024/271+1280+0 none")}));
        QCOMPARE(CompareWithPattern(sample(), QPoint(10, 20)), QString());
    }

    void virtualScreenAndMonitors()
    {
        QVERIFY(SetMonitors(LeftOfPrimary));
        QCOMPARE(CompareWithPattern(mdlCapture::GrabVirtualScreen(), QPoint(0, 0)), QString());
        const QList<MonitorHandle> monitors = mdlWindow::EnumMonitors();
        QCOMPARE(monitors.size(), 2);
        QCOMPARE(CompareWithPattern(mdlCapture::GrabMonitor(monitors[0]), QPoint(0, 0)), QString());
        QCOMPARE(CompareWithPattern(mdlCapture::GrabMonitor(monitors[1]), QPoint(1280, 0)), QString());
        QCOMPARE(mdlCapture::GrabMonitor(monitors[1]).size(), QSize(1280, 1024));
    }

    void partsOffEveryMonitorAreBlack()
    {
        const QStringList specs{QStringLiteral("*A 1280/338x1024/271+0+0 screen"),
                                QStringLiteral("B 600/159x400/106+1290+250 none")};
        QVERIFY(SetMonitors(specs));
        const QRegion shown = QRegion(0, 0, 1280, 1024) + QRegion(1290, 250, 600, 400);
        const QImage copy = mdlCapture::GrabVirtualScreen();
        QCOMPARE(copy.size(), QSize(1890, 1024));
        QCOMPARE(CompareWithPattern(copy, QPoint(0, 0), [&](QPoint p) { return !shown.contains(p); }), QString());
    }

    void copiesAreIndependentPictures()
    {
        QVERIFY(SetMonitors(LeftOfPrimary));
        QImage first = mdlCapture::GrabVirtualScreen();
        const QImage second = mdlCapture::GrabVirtualScreen();
        first.fill(Qt::white);
        QCOMPARE(CompareWithPattern(second, QPoint(0, 0)), QString());
        QCOMPARE(CompareWithPattern(mdlCapture::GrabVirtualScreen(), QPoint(0, 0)), QString());
    }

    void pointer()
    {
        QVERIFY(SetMonitors(LeftOfPrimary));
        Platform &platform = CurrentPlatform();
        platform.SetCursorPos(QPoint(-100, 50));
        QCOMPARE(platform.CursorPos(), QPoint(-100, 50));
        QCOMPARE(QCursor::pos(), QPoint(1180, 50));
        QCursor::setPos(QPoint(2000, 700));
        QCOMPARE(platform.CursorPos(), QPoint(720, 700));
    }

    void workArea_data()
    {
        QTest::addColumn<QList<quint32>>("workAreas");  // _NET_WORKAREA: x, y, w, h per desktop
        QTest::addColumn<quint32>("desktop");
        QTest::addColumn<QRect>("primaryWork");
        QTest::addColumn<QRect>("secondaryWork");
        QTest::newRow("no window manager's word: the whole monitor")
            << QList<quint32>{} << 0u << QRect(0, 0, 1280, 1024) << QRect(-1280, 0, 1280, 1024);
        QTest::newRow("a panel along the bottom")
            << QList<quint32>{0, 0, 2560, 994} << 0u << QRect(0, 0, 1280, 994) << QRect(-1280, 0, 1280, 994);
        QTest::newRow("a panel on the left monitor's left edge")
            << QList<quint32>{48, 0, 2512, 1024} << 0u << QRect(0, 0, 1280, 1024) << QRect(-1232, 0, 1232, 1024);
        QTest::newRow("the current desktop's area")
            << QList<quint32>{0, 0, 2560, 1024, 0, 30, 2560, 994} << 1u << QRect(0, 30, 1280, 994)
            << QRect(-1280, 30, 1280, 994);
    }
    void workArea()
    {
        QFETCH(QList<quint32>, workAreas);
        QFETCH(quint32, desktop);
        QFETCH(QRect, primaryWork);
        QFETCH(QRect, secondaryWork);
        QVERIFY(SetMonitors(LeftOfPrimary));
        SetRootCardinals("_NET_WORKAREA", workAreas);
        SetRootCardinals("_NET_CURRENT_DESKTOP", {desktop});
        const QList<MonitorHandle> monitors = mdlWindow::EnumMonitors();
        QCOMPARE(monitors.size(), 2);
        ScreenRect monitor, work;
        QVERIFY(CurrentPlatform().MonitorInfo(monitors[1], &monitor, &work));
        QCOMPARE(ToQRect(monitor), QRect(0, 0, 1280, 1024));
        QCOMPARE(ToQRect(work), primaryWork);
        QCOMPARE(ToQRect(CurrentPlatform().PrimaryWorkArea()), primaryWork);
        QVERIFY(CurrentPlatform().MonitorInfo(monitors[0], nullptr, &work));
        QCOMPARE(ToQRect(work), secondaryWork);
        SetRootCardinals("_NET_WORKAREA", {});
    }

    // Without a window manager a top-level window is the application window and has no frame.
    void windows()
    {
        QVERIFY(SetMonitors(LeftOfPrimary));
        Platform &platform = CurrentPlatform();
        QWidget &top = *SolidWindow(nullptr, QRect(1500, 100, 300, 200), Qt::blue);  // root coordinates
        std::unique_ptr<QWidget> owner(&top);
        QWidget *button = SolidWindow(&top, QRect(20, 30, 100, 40), Qt::red);
        button->setAttribute(Qt::WA_NativeWindow);
        top.show();
        QVERIFY(QTest::qWaitForWindowExposed(&top));
        const WindowHandle topWindow = top.winId();
        const WindowHandle buttonWindow = button->winId();
        QVERIFY(WaitFor([&] { return platform.WindowFromPoint(QPoint(300, 160)) == buttonWindow; }));

        QCOMPARE(platform.WindowFromPoint(QPoint(221, 100)), topWindow);
        QCOMPARE(platform.ParentWindow(buttonWindow), topWindow);
        QCOMPARE(platform.ParentWindow(topWindow), WindowHandle(0));
        QCOMPARE(ToQRect(platform.WindowRect(topWindow)), QRect(220, 100, 300, 200));
        QCOMPARE(ToQRect(platform.ClientRect(topWindow)), QRect(220, 100, 300, 200));
        QCOMPARE(ToQRect(platform.WindowRect(buttonWindow)), QRect(240, 130, 100, 40));

        const WindowHandle desktop = platform.DesktopWindow();
        QCOMPARE(platform.WindowFromPoint(QPoint(-600, 800)), desktop);
        QCOMPARE(platform.ParentWindow(desktop), WindowHandle(0));
        QCOMPARE(ToQRect(platform.WindowRect(desktop)), QRect(-1280, 0, 2560, 1024));
        QVERIFY(platform.WindowRect(0).IsZero());

        // The control alone, and the whole window.
        const QImage control = mdlCapture::GrabWindowAtPoint(300, 160, false, false);
        QCOMPARE(control.size(), QSize(100, 40));
        QCOMPARE(QColor(control.pixel(50, 20)), QColor(Qt::red));
        const QImage window = mdlCapture::GrabWindowAtPoint(510, 290, false, false);
        QCOMPARE(window.size(), QSize(300, 200));
        QCOMPARE(QColor(window.pixel(5, 5)), QColor(Qt::blue));
        QCOMPARE(QColor(window.pixel(70, 50)), QColor(Qt::red));

        // Without a window manager the foreground window is the one with the input focus.
        QVERIFY(platform.BringToFront(buttonWindow));
        QCOMPARE(platform.ForegroundWindow(), topWindow);
        QCOMPARE(mdlCapture::GrabForegroundWindow().size(), QSize(300, 200));

        QVERIFY(platform.MoveWindow(topWindow, -1000, 300, 300, 200));
        QVERIFY(WaitFor([&] { return ToQRect(platform.WindowRect(topWindow)) == QRect(-1000, 300, 300, 200); }));
    }
};

QTEST_MAIN(X11PlatformTest)
#include "X11PlatformTest.moc"
