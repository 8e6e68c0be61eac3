// Pixolva as a user has it on KDE Plasma: installed with its desktop entry and started on a real,
// headless KWin with Xwayland, driven from outside as a user drives it. The desktop, each monitor
// (with two outputs), the active window with its frame (without the shadow margin), the window
// under the hand and the live eyedropper all read KWin's exact pixels, without the pointer and
// without a still screen.
#include "base/Twips.h"
#include "monitors/MonitorMapLayout.h"
#include "support/PatternWindow.h"
#include "support/XTools.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

#include <functional>
#include <memory>
#include <vector>

using namespace X11TestDesktop;
using PatternWindows::Differs;
using PatternWindows::PatternWindow;

namespace {
// Each pixel tells its place, on the backdrop and (differently) in the window.
const auto Backdrop = PatternWindows::Place;
QRgb Inside(int x, int y) { return qRgb(255 - (y & 255), x & 255, 128 | (x * 7 + y) % 128); }
const QString NativeTitle = QStringLiteral("KWinTest native");

}

class KWinTest : public QObject
{
    Q_OBJECT

    std::vector<std::unique_ptr<PatternWindow>> m_backdrops;  // one over each monitor
    PatternWindow m_window{Inside};
    QProcess m_pixolva;
    QProcess m_native;  // this program again, as a native Wayland client
    QString m_main;  // the main window's X id
    QPoint m_client; // its client area's top-left corner on the screen

    static QString Line(const QString &commands) { return QString::fromLatin1(Run(QStringLiteral("xdotool"), commands.split(u' '))).trimmed(); }
    QPoint OnMain(int xTwips, int yTwips) const { return m_client + QPoint(TwipsToPixels(xTwips), TwipsToPixels(yTwips)); }
    void Activate(const QString &window) { Xdo(QStringLiteral("windowactivate --sync ") + window); }

    // The picture the last command put on the clipboard.
    static QImage Delivered()
    {
        if (!QTest::qWaitFor([] { return ClipboardTargets().contains(u"image/png"); }, 20000))
            return {};
        return QImage::fromData(Clipboard(QStringLiteral("image/png"))).convertToFormat(QImage::Format_RGB32);
    }
    // The window that took the keyboard from the given ones.
    static QString NextActive(const QStringList &from)
    {
        QString active;
        (void)QTest::qWaitFor([&] { return !from.contains(active = Line(QStringLiteral("getactivewindow"))); }, 10000);
        return active;
    }
    // A command's access key, and the notice it shows answered with Return. With more than one
    // monitor the map comes first: a click on the box at the monitor's place, or on the whole
    // desktop's box for a null rectangle.
    void Command(const QString &key, const QRect &monitor = {})
    {
        PutTextOnClipboard("-");
        Activate(m_main);
        Xdo(QStringLiteral("key ") + key);
        QString active = NextActive({m_main});
        QVERIFY(active != m_main);
        if (m_backdrops.size() > 1) {
            // The main window may have the keyboard for a moment between the map and the notice.
            const QPoint at = OnMap(active, monitor);
            Xdo(QStringLiteral("mousemove %1 %2 click 1").arg(at.x()).arg(at.y()));
            active = NextActive({active, m_main});
            QVERIFY(active != m_main);
        }
        Xdo(QStringLiteral("key Return"));
    }
    // The screen position of the monitor's box (or the whole desktop's) on the map window.
    static QPoint OnMap(const QString &map, const QRect &monitor)
    {
        const QString geometry = Line(QStringLiteral("getwindowgeometry --shell ") + map);
        const auto value = [&](const char *key) { return geometry.section(QLatin1String(key), 1).section(u'\n', 0, 0).toInt(); };
        const QPoint client(value("X="), value("Y="));
        QList<MonitorMapLayout::MonitorEntry> monitors;
        for (const QScreen *screen : QGuiApplication::screens())
            monitors.append({MonitorHandle(monitors.size() + 1), ScreenRect::FromQRect(screen->geometry())});
        const MonitorMapLayout::MonitorMap layout = MonitorMapLayout::LayOut(ScreenRect::FromQRect(VirtualGeometry()), monitors);
        QRect box = MonitorMapLayout::ToPixels(layout.Desktop).adjusted(2, 2, -2, -2);
        for (int n = 0; n < monitors.size(); ++n)
            if (monitors[n].Rect.ToQRect() == monitor)
                box = MonitorMapLayout::ToPixels(layout.Boxes[n].Geometry);
        // The desktop's box shows between the monitors' boxes only at its edge.
        return client + (monitor.isNull() ? box.topLeft() + QPoint(3, 3) : box.center());
    }
    static QRect VirtualGeometry() { return QGuiApplication::primaryScreen()->virtualGeometry(); }
    // The window's outer rectangle on the screen and where its own pixels start in a copy of it.
    // A native window frames its pixels as an X window does.
    std::optional<QRgb> InWindowCopy(int x, int y) const
    {
        const QPoint p = QPoint(x, y) - (m_window.geometry().topLeft() - m_window.frameGeometry().topLeft());
        return QRect(QPoint(), m_window.size()).contains(p) ? std::optional<QRgb>(Inside(p.x(), p.y())) : std::nullopt;
    }
    // A native Wayland window of the same pattern and size as m_window, its frame moved (by a
    // KWin script) to where the test wants it. Its frame rectangle, or a null one.
    QRect ShowNativeWindow(QPoint at)
    {
        m_native.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--native-window")});
        if (!m_native.waitForStarted() || !QTest::qWaitFor([this] { return m_native.readAllStandardOutput().contains("shown"); }, 10000))
            return {};
        const QRect frame(at, m_window.frameGeometry().size());
        QTemporaryFile script(QDir::tempPath() + QStringLiteral("/kwintest-XXXXXX.js"));
        if (!script.open())
            return {};
        script.write(QStringLiteral("var windows = workspace.clientList();\n"
                                    "for (var i = 0; i < windows.length; ++i)\n"
                                    "    if (windows[i].caption == '%1') {\n"
                                    "        var g = windows[i].frameGeometry;\n"
                                    "        g.x = %2; g.y = %3;\n"
                                    "        windows[i].frameGeometry = g;\n"
                                    "    }\n")
                         .arg(NativeTitle).arg(at.x()).arg(at.y()).toUtf8());
        script.close();
        const auto kwin = [](const QString &path, const QString &method, const QStringList &arguments) {
            return QString::fromLatin1(Run(QStringLiteral("gdbus"), QStringList{"call", "--session", "--dest", "org.kde.KWin", "--object-path", path, "--method", method} + arguments));
        };
        const QString id = kwin(QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting.loadScript"), {script.fileName(), QStringLiteral("kwintest-place")}).section(u'(', 1).section(u',', 0, 0);
        kwin(QLatin1Char('/') + id, QStringLiteral("org.kde.kwin.Script.run"), {});
        QTest::qWait(500);  // KWin reads the file and moves the window after it has answered
        kwin(QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting.unloadScript"), {QStringLiteral("kwintest-place")});
        return frame;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("PIXOLVA_INSTALLED"))
            QSKIP("runs inside with-kwin-session.sh");
        for (QScreen *screen : QGuiApplication::screens()) {
            const QPoint origin = screen->geometry().topLeft();
            auto backdrop = std::make_unique<PatternWindow>([origin](int x, int y) { return Backdrop(origin.x() + x, origin.y() + y); });
            backdrop->setScreen(screen);
            backdrop->setGeometry(screen->geometry());
            backdrop->showFullScreen();
            QVERIFY(QTest::qWaitForWindowExposed(backdrop.get()));
            m_backdrops.push_back(std::move(backdrop));
        }
        QCOMPARE(m_backdrops.size(), size_t(qEnvironmentVariableIntValue("PIXOLVA_KWIN_OUTPUTS")));
        m_pixolva.start(qEnvironmentVariable("PIXOLVA_INSTALLED"), {});
        QVERIFY(m_pixolva.waitForStarted());
        m_main = Line(QStringLiteral("search --sync --onlyvisible --pid %1").arg(m_pixolva.processId())).section(u'\n', 0, 0);
        QVERIFY(!m_main.isEmpty());
        const QString geometry = Line(QStringLiteral("getwindowgeometry --shell ") + m_main);
        const auto value = [&](const char *key) { return geometry.section(QLatin1String(key), 1).section(u'\n', 0, 0).toInt(); };
        m_client = QPoint(value("X="), value("Y="));
        // A window of ours with a frame, clear of Pixolva's.
        m_window.setGeometry(m_client.x() > 640 ? 100 : 800, 150, 320, 240);
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
        QTRY_VERIFY(m_window.frameGeometry().height() > m_window.height());
    }

    // These run first, while the program has had no picture from KWin yet.
    // "Fenster": the active window with its frame, as wide and high as the frame, without the
    // shadow KWin draws around it; then the same window under the hand, and a native Wayland
    // window (which Xwayland does not know) under the hand.
    void windowWithFrame_data()
    {
        QTest::addColumn<bool>("hand");
        QTest::addColumn<bool>("native");
        QTest::newRow("active window") << false << false;
        QTest::newRow("under the hand") << true << false;
        QTest::newRow("native window under the hand") << true << true;
    }
    void windowWithFrame()
    {
        if (m_backdrops.size() > 1)
            QSKIP("the same with one monitor");
        QFETCH(bool, hand);
        QFETCH(bool, native);
        const QString window = QString::number(m_window.winId());
        QRect frame = m_window.frameGeometry();
        if (native) {
            frame = ShowNativeWindow(frame.bottomLeft() + QPoint(0, 60));
            QVERIFY(!frame.isNull());
        }
        // The native window goes with its row, so that the desktop behind it is the backdrop again.
        const auto closeNative = qScopeGuard([&] {
            if (native) {
                m_native.terminate();
                m_native.waitForFinished();
            }
        });
        if (hand) {
            PutTextOnClipboard("-");
            Activate(m_main);
            const QPoint from = OnMain(120 + 3600 + 247, 2640 + 240 + 247), to = frame.center();
            Xdo(QStringLiteral("mousemove %1 %2 mousedown 1").arg(from.x()).arg(from.y()));
            for (int step = 1; step <= 4; ++step) {
                const QPoint p = from + (to - from) * step / 4;
                Xdo(QStringLiteral("mousemove %1 %2 sleep 0.05").arg(p.x()).arg(p.y()));
            }
            Xdo(QStringLiteral("mouseup 1"));
        } else {
            Command(QStringLiteral("alt+f"));
            // Within the two seconds the user makes the window active.
            Activate(window);
        }
        const QImage picture = Delivered();
        QCOMPARE(picture.size(), frame.size());
        QCOMPARE(Differs(picture, [&](int x, int y) { return InWindowCopy(x, y); }), QString());
    }

    // Desktop: the whole screen as KWin shows it, Pixolva's own window gone, no pointer; with
    // two monitors also each one chosen on the map.
    void desktop_data()
    {
        QTest::addColumn<QRect>("monitor");
        QTest::newRow("whole desktop") << QRect();
        if (QGuiApplication::screens().size() > 1)
            for (const QScreen *screen : QGuiApplication::screens())
                QTest::newRow(qPrintable(screen->name())) << screen->geometry();
    }
    void desktop()
    {
        QFETCH(QRect, monitor);
        Command(QStringLiteral("alt+t"), monitor);
        const QRect area = monitor.isNull() ? VirtualGeometry() : monitor;
        const QImage picture = Delivered();
        QCOMPARE(picture.size(), area.size());
        // The window's drop shadow darkens the backdrop around its frame, as on the screen.
        const QRect frame = m_window.frameGeometry(), shadow = frame.adjusted(-100, -100, 100, 100);
        QCOMPARE(Differs(picture, [&](int x, int y) -> std::optional<QRgb> {
                     x += area.x(), y += area.y();
                     if (frame.contains(x, y))
                         return InWindowCopy(x - frame.x(), y - frame.y());
                     return shadow.contains(x, y) ? std::nullopt : std::optional<QRgb>(Backdrop(x, y));
                 }),
                 QString());
    }

    // The eyedropper reads the screen live: no still screen of Pixolva's appears, and the colour
    // under the tip where the button is let go (on the last monitor) stays in the fields.
    void eyedropperLive()
    {
        Activate(m_main);
        const QPoint handle = OnMain(3780 + 247, 1380 + 247);
        const QRect screen = QGuiApplication::screens().constLast()->geometry();
        const QPoint first(screen.center().x(), screen.bottom() - 100), last = first + QPoint(13, 29);
        Xdo(QStringLiteral("mousemove %1 %2 mousedown 1 mousemove %3 %4 sleep 0.3")
                .arg(handle.x()).arg(handle.y()).arg(first.x()).arg(first.y()));
        const QString shown = Line(QStringLiteral("search --onlyvisible --pid %1").arg(m_pixolva.processId()));
        const QString titles = Line(QStringLiteral("search --onlyvisible --pid %1 getwindowname %@").arg(m_pixolva.processId()));
        Xdo(QStringLiteral("mousemove %1 %2 sleep 0.3 mouseup 1").arg(last.x()).arg(last.y()));
        QVERIFY2(shown == m_main, qPrintable(QStringLiteral("open instead: ") + titles));
        // The hex field, selected by its access key, copied to the clipboard (asked again until
        // the keys reach the window).
        PutTextOnClipboard("-");
        Activate(m_main);
        QString copied;
        QVERIFY(QTest::qWaitFor([&] {
            Xdo(QStringLiteral("key alt+x key ctrl+c"));
            copied = QString::fromLatin1(Clipboard(QStringLiteral("UTF8_STRING")));
            return copied.startsWith(u'#');
        }, 10000));
        QCOMPARE(copied, QColor(Backdrop(last.x(), last.y())).name().toUpper());
    }

    void cleanupTestCase()
    {
        for (QProcess *process : {&m_pixolva, &m_native}) {
            process->kill();
            process->waitForFinished();
        }
    }
};

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--native-window") == 0) {
        // The native window: it says when it is on the screen, and stays until it is ended.
        qputenv("QT_QPA_PLATFORM", "wayland");
        QGuiApplication app(argc, argv);
        PatternWindow window(Inside);
        window.setTitle(NativeTitle);
        window.resize(320, 240);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return 1;
        QTest::qWait(200);  // painted and shown by KWin
        QTextStream(stdout) << "shown" << Qt::endl;
        return app.exec();
    }
    // An X client of KWin's Xwayland, as Pixolva is, so that window positions are known.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    KWinTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "KWinTest.moc"
