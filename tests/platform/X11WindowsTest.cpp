// Windows under openbox (frames: left and right 1, title bar 20, bottom 5): rectangles, the window
// at a point, the foreground window and staying on top. Monitor B is left of the primary A.
#include "platform/Platform.h"
#include "support/X11TestDesktop.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QWidget>

using namespace X11TestDesktop;

namespace {
// Counts the times the X server unmaps a window of ours.
struct UnmapCounter : QAbstractNativeEventFilter
{
    quint32 window = 0;
    int unmaps = 0;
    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const auto *event = static_cast<xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) == XCB_UNMAP_NOTIFY
            && reinterpret_cast<const xcb_unmap_notify_event_t *>(event)->window == window)
            ++unmaps;
        return false;
    }
};
}

class X11WindowsTest : public QObject
{
    Q_OBJECT

    Platform &platform = CurrentPlatform();
    QWidget m_window;  // client area at root 1500, 200: program 220, 200
    std::unique_ptr<ForeignWindow> m_other;  // another program's window on the left monitor

private Q_SLOTS:
    void initTestCase()
    {
        m_window.setWindowTitle(QStringLiteral("Rot"));
        m_window.setGeometry(1500, 200, 400, 300);
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
        m_other = StartXMessage(QPoint(300, 500), QStringLiteral("Nachbar"));
        QVERIFY(m_other->window);
        QTRY_VERIFY(platform.WindowRect(m_other->window).Width > platform.ClientRect(m_other->window).Width);
    }

    void frames()
    {
        const WindowHandle w = m_window.winId();
        QTRY_COMPARE(platform.WindowRect(w).ToQRect(), QRect(219, 180, 402, 325));
        QCOMPARE(platform.ClientRect(w).ToQRect(), QRect(220, 200, 400, 300));
        QCOMPARE(platform.ParentWindow(w), WindowHandle(0));
        QVERIFY(platform.WindowRect(0x7ffffff0).IsZero());
    }

    void windowAtPoint_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("which");  // 0 ours, 1 the other program's, 2 the desktop
        QTest::newRow("our title bar") << QPoint(300, 190) << 0;
        QTest::newRow("our left border") << QPoint(219, 300) << 0;
        QTest::newRow("our client area") << QPoint(400, 350) << 0;
        QTest::newRow("the other program's title bar") << QPoint(-950, 510) << 1;
        QTest::newRow("the desktop") << QPoint(-100, 900) << 2;
    }
    void windowAtPoint()
    {
        QFETCH(QPoint, point);
        QFETCH(int, which);
        const WindowHandle expected[] = {WindowHandle(m_window.winId()), m_other->window, platform.DesktopWindow()};
        QCOMPARE(platform.WindowFromPoint(point), expected[which]);
        QCOMPARE(platform.ParentWindow(platform.DesktopWindow()), WindowHandle(0));
        QCOMPARE(platform.WindowRect(platform.DesktopWindow()).ToQRect(), QRect(-1280, 0, 2560, 1024));
    }

    void foregroundWindow()
    {
        QVERIFY(platform.BringToFront(m_window.winId()));
        QCOMPARE(platform.ForegroundWindow(), WindowHandle(m_window.winId()));
        Xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(m_other->window)});
        QTRY_COMPARE(platform.ForegroundWindow(), m_other->window);
    }

    // Through the window manager, with the window on the screen throughout.
    void alwaysOnTop()
    {
        const WindowHandle w = m_window.winId();
        UnmapCounter counter;
        counter.window = w;
        qApp->installNativeEventFilter(&counter);
        QVERIFY(!IsAbove(w));
        for (const bool on : {true, false, true}) {
            QVERIFY(platform.SetAlwaysOnTop(w, on));
            QTRY_COMPARE(IsAbove(w), on);
        }
        qApp->removeNativeEventFilter(&counter);
        QCOMPARE(counter.unmaps, 0);
        QVERIFY(platform.IsWindowShown(w));
    }
};

QTEST_MAIN(X11WindowsTest)
#include "X11WindowsTest.moc"
