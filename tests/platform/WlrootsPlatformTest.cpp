// The wlroots platform on a headless sway: copies equal grim's pictures pixel for pixel, the
// eyedropper's samples arrive later with the compositor's pixel at each place, and sway's windows
// are found with their frames. Run on one output, on two side by side, and at scale 2.
#include "base/ErrorTexts.h"
#include "base/RuntimeError.h"
#include "platform/Platform.h"
#include "platform/PlatformLoader.h"
#include "platform/X11Platform.h"
#include "platform/wlroots/WlrootsPlatform.h"
#include "platform/wlroots/WlrootsScreenCopy.h"
#include "support/SwayTools.h"

#include <QtTest>
#include <QtWidgets>

using SwayTools::Grim;
using SwayTools::Swaymsg;

namespace {
// Every pixel a colour of its own, so that a copy one pixel off cannot pass.
QImage Pattern(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x & 0xff, y & 0xff, 0x80 | (x >> 8) << 2 | (y >> 8)));
    return image;
}

class PatternWindow : public QWidget
{
public:
    explicit PatternWindow(QSize size) : m_pattern(Pattern(size)) { setFixedSize(size); }
    // Painted plain instead, or with the pattern again.
    void SetPlain(bool plain)
    {
        m_plain = plain;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_plain)
            QPainter(this).fillRect(rect(), Qt::darkCyan);
        else
            QPainter(this).drawImage(0, 0, m_pattern);
    }

private:
    QImage m_pattern;
    bool m_plain = false;
};
}

class WlrootsPlatformTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<PatternWindow> m_window;
    QImage m_grim;
    int m_scale = 1;

    QRect Screen() const { return CurrentPlatform().VirtualScreen().ToQRect(); }

private Q_SLOTS:
    void initTestCase()
    {
        PlatformLoader::InstallPlatform();
        QCOMPARE(PlatformLoader::InstalledWay(), PlatformLoader::Way::Wlroots);
        m_window = std::make_unique<PatternWindow>(QSize(300, 200));
        m_window->setWindowTitle(QStringLiteral("pattern"));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        // A floating window with a border and title bar, across the outputs' border where there are two.
        const WindowHandle w = WindowHandle(m_window->winId());
        QTRY_VERIFY(Swaymsg(QStringLiteral("[id=%1] floating enable, border normal 3, move absolute position %2 40")
                            .arg(w)
                            .arg(Screen().width() / CurrentPlatform().MonitorCount() - 120)));
        // The picture settles: grim and our copy agree once two shots in a row are equal.
        QImage last;
        QTRY_VERIFY_WITH_TIMEOUT((last == (m_grim = Grim())) || (last = m_grim, false), 5000);
        QVERIFY(!m_grim.isNull());
        m_scale = m_grim.width() / Screen().width();
        QCOMPARE(m_grim.size(), Screen().size() * m_scale);
    }

    void copiesEqualGrim()
    {
        Platform &platform = CurrentPlatform();
        QCOMPARE(platform.CopyVirtualScreen().convertToFormat(QImage::Format_RGB32), m_grim);
        for (MonitorHandle m = 1, found = 0; found < platform.MonitorCount() && m < 64; ++m) {
            ScreenRect monitor, work;
            if (!platform.MonitorInfo(m, &monitor, &work))
                continue;
            ++found;
            const QRect r = monitor.ToQRect();
            const QImage copy = platform.CopyScreen(r);
            QCOMPARE(copy.convertToFormat(QImage::Format_RGB32),
                     m_grim.copy(QRect((r.topLeft() - Screen().topLeft()) * m_scale, r.size() * m_scale)));
        }
    }

    // A copy still held keeps its pixels while later copies are made, though it may lie where
    // the compositor copied it.
    void heldCopyKeepsItsPixels()
    {
        Platform &platform = CurrentPlatform();
        const QImage held = platform.CopyVirtualScreen();
        m_window->SetPlain(true);
        QTRY_VERIFY(platform.CopyVirtualScreen() != held);
        QCOMPARE(held.convertToFormat(QImage::Format_RGB32), m_grim);
        m_window->SetPlain(false);
        QTRY_COMPARE(platform.CopyVirtualScreen().convertToFormat(QImage::Format_RGB32), m_grim);
    }

    // One pixel per layout pixel: at scale 2 the device pixel at each pixel's top-left corner.
    void eyedropperSamplesArriveLater_data()
    {
        QTest::addColumn<QPoint>("centre");
        QTest::newRow("over the pattern") << m_window->mapToGlobal(QPoint(150, 100));
        QTest::newRow("top-left corner") << QPoint(0, 0);
        QTest::newRow("bottom-right corner") << Screen().bottomRight() - Screen().topLeft();
        QTest::newRow("between the outputs") << QPoint(Screen().width() / 2, 40);
    }
    void eyedropperSamplesArriveLater()
    {
        QFETCH(QPoint, centre);
        const QRect r(Screen().topLeft() + centre - QPoint(13, 5), QSize(27, 11));
        QImage sample;
        bool done = false, returned = false, early = false;
        QObject receiver;
        CurrentPlatform().RequestScreenCopy(r, &receiver, [&](const QImage &copy, const RuntimeError *error) {
            QVERIFY(!error);
            early = !returned;
            sample = copy;
            done = true;
        });
        returned = true;
        QTRY_VERIFY(done);
        QVERIFY(!early);
        QCOMPARE(sample.size(), r.size());
        const QRect screen = Screen();
        for (int y = 0; y < r.height(); ++y)
            for (int x = 0; x < r.width(); ++x) {
                const QPoint at = r.topLeft() + QPoint(x, y);
                const QRgb expected = screen.contains(at) ? m_grim.pixel((at - screen.topLeft()) * m_scale) : qRgb(0, 0, 0);
                if (sample.pixel(x, y) != expected)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2: %3 instead of %4").arg(at.x()).arg(at.y())
                                         .arg(sample.pixel(x, y), 8, 16).arg(expected, 8, 16)));
            }
    }

    // The window is sway's, with its border and title bar; focused through sway.
    void windowsAreSways()
    {
        Platform &platform = CurrentPlatform();
        const WindowHandle w = WindowHandle(m_window->winId());
        const QPoint inside = m_window->mapToGlobal(QPoint(150, 100)) - Screen().topLeft();
        QCOMPARE(platform.WindowFromPoint(inside), w);
        QVERIFY(platform.BringToFront(w));
        QCOMPARE(platform.ForegroundWindow(), w);
        const QRect frame = platform.WindowRect(w).ToQRect();
        const QRect content(m_window->mapToGlobal(QPoint(0, 0)) - Screen().topLeft(), m_window->size());
        QVERIFY2(frame.contains(content) && frame.top() < content.top() - 10 && frame.left() == content.left() - 3,
                 qPrintable(QStringLiteral("frame %1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())));
        QCOMPARE(platform.CopyScreen(frame).convertToFormat(QImage::Format_RGB32),
                 m_grim.copy(QRect(frame.topLeft() * m_scale, frame.size() * m_scale)));
    }

    // Without sway's socket no window can be found, and the window commands say so.
    void withoutSwayWindowCopiesAreRefused()
    {
        const QByteArray socket = qgetenv("SWAYSOCK");
        qunsetenv("SWAYSOCK");
        WlrootsPlatform platform(X11Platform::Create(), WlrootsScreenCopy::Connect());
        qputenv("SWAYSOCK", socket);
        QCOMPARE(platform.WindowCopies(), Platform::WindowCopyWay::ActiveByDesktop);
        for (auto copy : {&Platform::CopyActiveWindow, &Platform::CopyPickedWindow}) {
            try {
                (platform.*copy)();
                QFAIL("a window was copied");
            } catch (const RuntimeError &error) {
                QCOMPARE(error.number(), ErrorNumberOf(ErrorKind::NoWindowCopies));
            }
        }
    }
};

int main(int argc, char *argv[])
{
    PlatformLoader::ChooseWindowSystem();
    QApplication app(argc, argv);
    WlrootsPlatformTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WlrootsPlatformTest.moc"
