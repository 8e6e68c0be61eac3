// What the capture routines copy on a fake desktop over a pattern of positions, and their errors.
#include "base/RuntimeError.h"
#include "capture/CaptureSteps.h"
#include "capture/mdlCapture.h"
#include "support/FakeDesktop.h"

#include <QtTest>

#include <functional>
#include <limits>

using Call = std::function<QImage()>;
Q_DECLARE_METATYPE(Call)

namespace {
QRgb PatternAt(QPoint p) { return qRgb(p.x() & 0xff, p.y() & 0xff, ((p.x() >> 8) & 0xf) << 4 | ((p.y() >> 8) & 0xf)); }

// Where picture differs from the screen rectangle r: the pattern on the monitors, black elsewhere.
QString Mismatch(const QImage &picture, const QRect &r)
{
    if (picture.size() != r.size())
        return QStringLiteral("size %1x%2").arg(picture.width()).arg(picture.height());
    const QRect monitors(-1280, 0, 2560, 1024);
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) {
            const QPoint at = r.topLeft() + QPoint(x, y);
            if (picture.pixel(x, y) != (monitors.contains(at) ? PatternAt(at - monitors.topLeft()) : qRgb(0, 0, 0)))
                return QStringLiteral("pixel %1,%2").arg(at.x()).arg(at.y());
        }
    return {};
}
}

class mdlCaptureTest : public QObject
{
    Q_OBJECT

    // The primary and a monitor left of it; a framed window with a button, another partly over it.
    FakeDesktop m_desktop;
    MonitorHandle m_left = 0;
    WindowHandle m_window = 0;
    WindowHandle m_huge = 0;  // a window whose size does not fit 32 bits

private Q_SLOTS:
    void initTestCase()
    {
        m_desktop.AddMonitor(QRect(0, 0, 1280, 1024));
        m_left = m_desktop.AddMonitor(QRect(-1280, 0, 1280, 1024));
        m_desktop.screen = QImage(2560, 1024, QImage::Format_RGB32);
        for (int y = 0; y < 1024; ++y)
            for (int x = 0; x < 2560; ++x)
                m_desktop.screen.setPixel(x, y, PatternAt(QPoint(x, y)));
        m_desktop.screenTopLeft = QPoint(-1280, 0);
        m_huge = m_desktop.AddWindow(QRect());
        m_desktop.windows.last().outer = {std::numeric_limits<qint32>::min(), 0, std::numeric_limits<qint32>::max(), 10, 0, 10};
        m_window = m_desktop.AddWindow(QRect(100, 200, 400, 300), QMargins(1, 20, 1, 5));
        m_desktop.AddWindow(QRect(200, 400, 80, 24), QMargins(), m_window);
        m_desktop.AddWindow(QRect(450, 450, 200, 100));
    }

    void init() { m_desktop.foreground = m_window; }

    void captures_data()
    {
        QTest::addColumn<Call>("grab");
        QTest::addColumn<QRect>("expected");  // null: a null picture
        const WindowHandle w = m_window;
        QTest::newRow("screen across both monitors") << Call([] { return mdlCapture::GrabWindowArea(0, true, -20, 500, 40, 10); }) << QRect(-20, 500, 40, 10);
        QTest::newRow("from the window's frame") << Call([w] { return mdlCapture::GrabWindowArea(w, false, 10, 5, 20, 10); }) << QRect(110, 205, 20, 10);
        QTest::newRow("from the client area") << Call([w] { return mdlCapture::GrabWindowArea(w, true, 10, 5, 20, 10); }) << QRect(111, 225, 20, 10);
        QTest::newRow("foreground window with its frame") << Call(mdlCapture::GrabForegroundWindow) << QRect(100, 200, 400, 300);
        const MonitorHandle left = m_left;
        QTest::newRow("window at its title bar") << Call([] { return mdlCapture::GrabWindowAtPoint(300, 205, false, false); }) << QRect(100, 200, 400, 300);
        QTest::newRow("button at a point") << Call([] { return mdlCapture::GrabWindowAtPoint(210, 410, false, false); }) << QRect(200, 400, 80, 24);
        QTest::newRow("desktop at a point") << Call([] { return mdlCapture::GrabWindowAtPoint(-700, 900, false, false); }) << QRect(-1280, 0, 2560, 1024);
        QTest::newRow("delayed: one monitor") << Call([left] { return CaptureSteps::TakeDelayedCapture(false, left); }) << QRect(-1280, 0, 1280, 1024);
        QTest::newRow("delayed: the whole screen") << Call([] { return CaptureSteps::TakeDelayedCapture(false, 0); }) << QRect(-1280, 0, 2560, 1024);
    }
    void captures()
    {
        QFETCH(Call, grab);
        QFETCH(QRect, expected);
        const QImage picture = grab();
        if (expected.isNull())
            QVERIFY(picture.isNull());
        else
            QCOMPARE(Mismatch(picture, expected), QString());
    }

    // Nothing is copied: sizes beyond 32 bits raise 6 "Overflow", a capture that would hold
    // nothing raises 481.
    void errors_data()
    {
        QTest::addColumn<Call>("grab");
        QTest::addColumn<int>("number");
        FakeDesktop &d = m_desktop;
        const WindowHandle huge = m_huge;
        QTest::newRow("area beyond 32 bits") << Call([] { return mdlCapture::GrabWindowArea(0, true, 2147483000, 0, 1000, 10); }) << 6;
        QTest::newRow("window beyond 32 bits") << Call([&d, huge] { d.foreground = huge; return mdlCapture::GrabForegroundWindow(); }) << 6;
        QTest::newRow("monitor gone since it was chosen") << Call([] { return CaptureSteps::TakeDelayedCapture(false, 0x999); }) << 481;
        QTest::newRow("no foreground window") << Call([&d] {
            d.foreground = 0;
            const QImage picture = CaptureSteps::TakeDelayedCapture(true, 0);
            CaptureSteps::RequirePicture(picture);
            return picture;
        }) << 481;
    }
    void errors()
    {
        QFETCH(Call, grab);
        QFETCH(int, number);
        const qsizetype copies = m_desktop.copies.size();
        try {
            grab();
            QFAIL("no error raised");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), number);
        }
        QCOMPARE(m_desktop.copies.size(), copies);
    }
};

QTEST_APPLESS_MAIN(mdlCaptureTest)
#include "mdlCaptureTest.moc"
