// What each capture routine copies, on a desktop made of rectangles over a known pattern.
#include "base/RuntimeError.h"
#include "capture/mdlCapture.h"
#include "support/FakeDesktop.h"

#include <QtTest>

#include <limits>

namespace {
// Every pixel of the pattern tells where it lies (relative to the pattern's own top-left).
QRgb PatternAt(int x, int y) { return qRgb(x & 0xff, y & 0xff, ((x >> 8) << 4 | (y >> 8)) & 0xff); }

QImage Pattern(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, PatternAt(x, y));
    return image;
}

// The picture shows the screen rectangle r: the pattern whose top-left lies at origin, black
// outside the monitors.
QString Mismatch(const QImage &picture, const QRect &r, QPoint origin, const QRegion &monitors)
{
    if (picture.size() != r.size())
        return QStringLiteral("size %1x%2").arg(picture.width()).arg(picture.height());
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) {
            const QPoint at = r.topLeft() + QPoint(x, y);
            const QRgb expected = monitors.contains(at) ? PatternAt(at.x() - origin.x(), at.y() - origin.y())
                                                        : qRgb(0, 0, 0);
            if (picture.pixel(x, y) != expected)
                return QStringLiteral("pixel %1,%2 is %3, expected %4")
                    .arg(at.x()).arg(at.y()).arg(picture.pixel(x, y), 8, 16).arg(expected, 8, 16);
        }
    return {};
}

ScreenRect Huge()
{
    ScreenRect r;
    r.Left = std::numeric_limits<qint32>::min();
    r.Right = std::numeric_limits<qint32>::max();
    r.Bottom = 10;
    return r;
}
}

class mdlCaptureTest : public QObject
{
    Q_OBJECT

    // A secondary monitor left of the primary, the pattern over the whole virtual screen.
    struct Desk
    {
        FakeDesktop desktop;
        MonitorHandle left = desktop.AddMonitor(QRect(-1280, 0, 1280, 1024));
        MonitorHandle primary = desktop.AddMonitor(QRect(0, 0, 1280, 1024), true);
        QRegion monitors = QRegion(-1280, 0, 2560, 1024);
        QPoint origin{-1280, 0};
        Desk() { desktop.SetScreenImage(Pattern(QSize(2560, 1024)), origin); }
    };

private Q_SLOTS:
    void screenArea_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::newRow("across both monitors") << QRect(-20, 500, 40, 10);
        QTest::newRow("around the primary's top-left corner") << QRect(-13, -5, 27, 11);
        QTest::newRow("reaching past the right edge") << QRect(1270, 1000, 27, 30);
        QTest::newRow("wholly outside") << QRect(3000, 3000, 5, 5);
    }
    void screenArea()
    {
        QFETCH(QRect, area);
        Desk d;
        const QImage picture = mdlCapture::GrabWindowArea(0, true, area.x(), area.y(), area.width(), area.height());
        QCOMPARE(Mismatch(picture, area, d.origin, d.monitors), QString());
    }

    void emptyArea_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("zero width") << 0 << 10;
        QTest::newRow("negative width") << -5 << 10;
    }
    void emptyArea()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        Desk d;
        QVERIFY(mdlCapture::GrabWindowArea(0, true, 10, 10, width, height).isNull());
    }

    void virtualScreenStartsLeftOfThePrimary()
    {
        Desk d;
        const QImage picture = mdlCapture::GrabVirtualScreen();
        QCOMPARE(d.desktop.Copies(), QList<QRect>{QRect(-1280, 0, 2560, 1024)});
        QCOMPARE(Mismatch(picture, QRect(-1280, 0, 2560, 1024), d.origin, d.monitors), QString());
    }

    void monitor()
    {
        Desk d;
        QCOMPARE(Mismatch(mdlCapture::GrabMonitor(d.left), QRect(-1280, 0, 1280, 1024), d.origin, d.monitors),
                 QString());
        QCOMPARE(Mismatch(mdlCapture::GrabMonitor(d.primary), QRect(0, 0, 1280, 1024), d.origin, d.monitors),
                 QString());
        QVERIFY(mdlCapture::GrabMonitor(0).isNull());
        QVERIFY(mdlCapture::GrabMonitor(d.primary + 1).isNull());
    }

    void windowArea_data()
    {
        QTest::addColumn<bool>("clientArea");
        QTest::addColumn<QRect>("expected");
        // The window's client area is (101, 220) 398 x 275 inside a frame from (100, 200).
        QTest::newRow("from the frame's corner") << false << QRect(110, 205, 20, 10);
        QTest::newRow("from the client area's corner") << true << QRect(111, 225, 20, 10);
    }
    void windowArea()
    {
        QFETCH(bool, clientArea);
        QFETCH(QRect, expected);
        Desk d;
        const WindowHandle w = d.desktop.AddWindow(QRect(101, 220, 398, 275), QMargins(1, 20, 1, 5));
        const QImage picture = mdlCapture::GrabWindowArea(w, clientArea, 10, 5, 20, 10);
        QCOMPARE(Mismatch(picture, expected, d.origin, d.monitors), QString());
        QVERIFY(mdlCapture::GrabWindowArea(w + 1, clientArea, 10, 5, 20, 10).isNull());
    }

    void desktopWindowAreaIsInScreenCoordinates()
    {
        Desk d;
        const QImage picture = mdlCapture::GrabWindowArea(d.desktop.DesktopWindow(), false, -5, 3, 10, 10);
        QCOMPARE(Mismatch(picture, QRect(-5, 3, 10, 10), d.origin, d.monitors), QString());
    }

    void foregroundWindowWithItsFrame()
    {
        Desk d;
        const WindowHandle w = d.desktop.AddWindow(QRect(-300, 120, 398, 275), QMargins(1, 20, 1, 5));
        d.desktop.AddWindow(QRect(500, 500, 100, 100));
        d.desktop.SetForegroundWindow(w);
        QCOMPARE(Mismatch(mdlCapture::GrabForegroundWindow(), QRect(-301, 100, 400, 300), d.origin, d.monitors),
                 QString());
        d.desktop.SetForegroundWindow(0);
        QVERIFY(mdlCapture::GrabForegroundWindow().isNull());
    }

    void windowAtPoint_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QRect>("expected");
        // An application window with a frame at (100, 200) 400 x 300, a button inside it, and a
        // second window partly over the first.
        QTest::newRow("title bar") << QPoint(300, 205) << QRect(100, 200, 400, 300);
        QTest::newRow("button: only the button") << QPoint(210, 410) << QRect(200, 400, 80, 24);
        QTest::newRow("overlapping window on top") << QPoint(480, 480) << QRect(450, 450, 200, 100);
        QTest::newRow("desktop: the virtual screen") << QPoint(-700, 900) << QRect(-1280, 0, 2560, 1024);
    }
    void windowAtPoint()
    {
        QFETCH(QPoint, point);
        QFETCH(QRect, expected);
        Desk d;
        const WindowHandle w = d.desktop.AddWindow(QRect(101, 220, 398, 275), QMargins(1, 20, 1, 5));
        d.desktop.AddChildWindow(w, QRect(200, 400, 80, 24));
        d.desktop.AddWindow(QRect(450, 450, 200, 100));
        const QImage picture = mdlCapture::GrabWindowAtPoint(point.x(), point.y(), false, false);
        QCOMPARE(Mismatch(picture, expected, d.origin, d.monitors), QString());
        QVERIFY(d.desktop.BroughtToFront().isEmpty());
        QVERIFY(d.desktop.Repainted().isEmpty());
    }

    void windowAtPointBroughtToFrontAndRepainted()
    {
        Desk d;
        const WindowHandle w = d.desktop.AddWindow(QRect(101, 220, 398, 275), QMargins(1, 20, 1, 5));
        const WindowHandle button = d.desktop.AddChildWindow(w, QRect(200, 400, 80, 24));
        d.desktop.AddWindow(QRect(450, 450, 200, 100));
        mdlCapture::GrabWindowAtPoint(210, 410, true, true);
        QCOMPARE(d.desktop.BroughtToFront(), QList<WindowHandle>{w});
        QCOMPARE(d.desktop.Repainted(), QList<WindowHandle>{button});
        QCOMPARE(d.desktop.ForegroundWindow(), w);
    }

    void sizeOverflowRaisesErrorSix()
    {
        Desk d;
        const WindowHandle w = d.desktop.AddWindow(QRect(0, 0, 10, 10));
        d.desktop.SetWindowRect(w, Huge());
        d.desktop.SetForegroundWindow(w);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, mdlCapture::GrabForegroundWindow());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, mdlCapture::GrabWindowAtPoint(5, 5, false, false));
        try {
            mdlCapture::GrabWindowArea(0, true, 2147483000, 0, 1000, 10);
            QFAIL("no error raised");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), ErrorNumber::Overflow);
        }
        QVERIFY(d.desktop.Copies().isEmpty());
    }
};

QTEST_APPLESS_MAIN(mdlCaptureTest)
#include "mdlCaptureTest.moc"
