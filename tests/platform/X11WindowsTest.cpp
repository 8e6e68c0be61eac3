// Windows with a window manager: frames, title bars, other programs' controls, the foreground
// window, and dialogs centred over their owner.
#include "capture/mdlCapture.h"
#include "monitors/mdlWindow.h"
#include "platform/Platform.h"
#include "support/X11TestDesktop.h"

#include <QDialog>
#include <QWidget>
#include <QtTest>

using namespace X11TestDesktop;

namespace {
QRect ToQRect(const ScreenRect &r) { return QRect(r.Left, r.Top, r.Width, r.Height); }

// A secondary monitor left of the primary: program (0, 0) is root (1280, 0).
const QPoint Origin(1280, 0);

void Paint(QWidget *w, QColor colour)
{
    w->setAutoFillBackground(true);
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, colour);
    w->setPalette(palette);
}

// Leaves of a window tree: the innermost windows.
void CollectLeaves(quint32 window, QList<quint32> &leaves)
{
    const QList<quint32> children = ChildWindows(window);
    if (children.isEmpty())
        leaves.append(window);
    for (quint32 child : children)
        CollectLeaves(child, leaves);
}

class CentredOnShow : public QDialog
{
public:
    using QDialog::QDialog;
    WindowHandle owner = 0;

protected:
    void showEvent(QShowEvent *event) override
    {
        QDialog::showEvent(event);
        if (owner)
            mdlWindow::CenterWindow(winId(), owner);
    }
};
}

class X11WindowsTest : public QObject
{
    Q_OBJECT

    Platform &platform = CurrentPlatform();
    std::unique_ptr<QWidget> m_window;
    QMargins m_frame;  // what openbox puts around a window

    // Waits until the window manager has framed w and reports its frame.
    bool Framed(WindowHandle w)
    {
        return WaitFor([&] {
            return platform.WindowRect(w).Width > platform.ClientRect(w).Width
                && platform.ForegroundWindow() != 0;
        });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(SetMonitors({QStringLiteral("*A 1280/338x1024/271+1280+0 screen"),
                             QStringLiteral("B 1280/338x1024/271+0+0 none")}));
        PaintRootPattern();
        m_window = std::make_unique<QWidget>();
        Paint(m_window.get(), Qt::red);
        m_window->setWindowTitle(QStringLiteral("Rot"));
        m_window->setGeometry(QRect(1500, 200, 400, 300));  // root coordinates of the client area
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QVERIFY(Framed(m_window->winId()));
        const QRect outer = ToQRect(platform.WindowRect(m_window->winId()));
        const QRect client = ToQRect(platform.ClientRect(m_window->winId()));
        m_frame = QMargins(client.left() - outer.left(), client.top() - outer.top(), outer.right() - client.right(),
                           outer.bottom() - client.bottom());
    }

    void frameIsTheWindowManagersFrame()
    {
        const WindowHandle w = m_window->winId();
        // Openbox: a title bar above, thin borders elsewhere.
        QVERIFY(m_frame.top() > m_frame.bottom());
        QVERIFY(m_frame.left() > 0);
        QCOMPARE(ToQRect(platform.ClientRect(w)), QRect(m_window->geometry().topLeft() - Origin, QSize(400, 300)));
        // The frame window is the window manager's child of the root that holds ours.
        const quint32 frame = TopLevelAncestor(w);
        QVERIFY(frame != w);
        QCOMPARE(ToQRect(platform.WindowRect(w)), RootGeometry(frame).translated(-Origin));
        QCOMPARE(platform.ParentWindow(w), WindowHandle(0));
    }

    void windowAtPoint_data()
    {
        QTest::addColumn<QPoint>("offset");  // from the client area's top-left corner
        QTest::newRow("title bar") << QPoint(150, -10);
        QTest::newRow("left border") << QPoint(-1, 100);
        QTest::newRow("client area") << QPoint(200, 150);
    }
    void windowAtPoint()
    {
        QFETCH(QPoint, offset);
        const WindowHandle w = m_window->winId();
        const QRect outer = ToQRect(platform.WindowRect(w));
        const QPoint at = ToQRect(platform.ClientRect(w)).topLeft() + offset;
        QCOMPARE(platform.WindowFromPoint(at), w);

        // The whole window with its frame, exactly as the screen shows it.
        const QImage copy = mdlCapture::GrabWindowAtPoint(at.x(), at.y(), false, false);
        QCOMPARE(copy.size(), outer.size());
        QCOMPARE(copy, platform.CopyScreen(outer));
        QCOMPARE(QColor(copy.pixel(m_frame.left() + 200, m_frame.top() + 150)), QColor(Qt::red));
        QVERIFY(QColor(copy.pixel(outer.width() / 2, m_frame.top() / 2)) != QColor(Qt::red));
    }

    void repaintBeforeTheCopy()
    {
        const WindowHandle w = m_window->winId();
        const QRect client = ToQRect(platform.ClientRect(w));
        const QPoint at = client.center();
        QVERIFY(platform.BringToFront(w));
        // Something else has drawn over the window; asked to repaint, it shows itself again.
        FillWindow(w, 0);
        QImage copy = mdlCapture::GrabWindowAtPoint(at.x(), at.y(), false, false);
        QCOMPARE(QColor(copy.pixel(m_frame.left() + 10, m_frame.top() + 10)), QColor(Qt::black));
        copy = mdlCapture::GrabWindowAtPoint(at.x(), at.y(), true, false);
        QCOMPARE(QColor(copy.pixel(m_frame.left() + 10, m_frame.top() + 10)), QColor(Qt::red));
    }

    // A hidden window's frame stays on the screen until the window manager takes it away: the
    // window counts as shown until then, so a copy made once it is not shown has none of it.
    void shownUntilTheFrameHasGone()
    {
        const WindowHandle w = m_window->winId();
        QVERIFY(platform.IsWindowShown(w));
        const QRect outer = ToQRect(platform.WindowRect(w)).translated(Origin);
        m_window->hide();
        QVERIFY(WaitFor([&] { return !platform.IsWindowShown(w); }));
        QCOMPARE(CompareWithPattern(platform.CopyScreen(outer.translated(-Origin)), outer.topLeft()), QString());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QVERIFY(Framed(w));
        QVERIFY(platform.IsWindowShown(w));
        QVERIFY(!platform.IsWindowShown(0x7ffffff0));
    }

    void workAreaFromTheWindowManager()
    {
        const QList<MonitorHandle> monitors = mdlWindow::EnumMonitors();
        QCOMPARE(monitors.size(), 2);
        ScreenRect work;
        QVERIFY(platform.MonitorInfo(monitors[1], nullptr, &work));
        QCOMPARE(ToQRect(work), QRect(0, 0, 1280, 1024));

        // A task bar along the primary monitor's bottom edge.
        auto panel = StartBottomPanel(QRect(1280, 994, 1280, 30));
        QVERIFY(WaitFor([&] {
            platform.MonitorInfo(monitors[1], nullptr, &work);
            return ToQRect(work) == QRect(0, 0, 1280, 994);
        }));
        QCOMPARE(ToQRect(platform.PrimaryWorkArea()), QRect(0, 0, 1280, 994));
        panel.reset();
        QVERIFY(WaitFor([&] { return ToQRect(platform.PrimaryWorkArea()) == QRect(0, 0, 1280, 1024); }));
    }

    void desktopUnderThePoint()
    {
        const QPoint free(-1200, 900);
        QCOMPARE(platform.WindowFromPoint(free), platform.DesktopWindow());
        const QImage copy = mdlCapture::GrabWindowAtPoint(free.x(), free.y(), false, false);
        QCOMPARE(copy.size(), QSize(2560, 1024));
    }

    void controlsOfAnotherProgram()
    {
        auto message = StartXMessage(QPoint(300, 500), QStringLiteral("Bildschirm kopieren?"));
        QVERIFY(message->window != 0);
        const WindowHandle app = message->window;
        QVERIFY(Framed(app));
        QList<quint32> leaves;
        CollectLeaves(app, leaves);
        QVERIFY2(leaves.size() >= 2, "the buttons are windows of their own");
        for (quint32 leaf : leaves) {
            const QRect rect = RootGeometry(leaf).translated(-Origin);
            const QPoint centre = rect.center();
            QCOMPARE(platform.WindowFromPoint(centre), WindowHandle(leaf));
            QCOMPARE(ToQRect(platform.WindowRect(leaf)), rect);
            QCOMPARE(mdlCapture::GrabWindowAtPoint(centre.x(), centre.y(), false, false).size(), rect.size());
            // Up the parents to the application window, whose parent is none.
            WindowHandle w = leaf;
            int steps = 0;
            while (platform.ParentWindow(w) && steps++ < 10)
                w = platform.ParentWindow(w);
            QCOMPARE(w, app);
        }
        const QRect outer = ToQRect(platform.WindowRect(app));
        QCOMPARE(platform.WindowFromPoint(QPoint(outer.center().x(), outer.top() + 3)), app);

        // A control drawn over by someone else paints itself again when asked to.
        const QPoint button = RootGeometry(leaves.last()).translated(-Origin).center();
        const auto blackOnly = [](const QImage &image) {
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if ((image.pixel(x, y) & 0xffffff) != 0)
                        return false;
            return true;
        };
        FillWindow(leaves.last(), 0);
        QVERIFY(blackOnly(mdlCapture::GrabWindowAtPoint(button.x(), button.y(), false, false)));
        QVERIFY(!blackOnly(mdlCapture::GrabWindowAtPoint(button.x(), button.y(), true, false)));

        // Bringing windows to the front makes them the foreground window in turn.
        QVERIFY(platform.BringToFront(leaves.first()));
        QCOMPARE(platform.ForegroundWindow(), app);
        const QImage foreground = mdlCapture::GrabForegroundWindow();
        QCOMPARE(foreground, platform.CopyScreen(outer));
        QVERIFY(platform.BringToFront(m_window->winId()));
        QCOMPARE(platform.ForegroundWindow(), WindowHandle(m_window->winId()));
    }

    void centreDialog_data()
    {
        QTest::addColumn<int>("when");  // 0 before it is shown, 1 while it is shown, 2 once it is shown
        QTest::addColumn<QRect>("owner");  // client area, root coordinates
        // Each moment of the call once; near the primary's right edge the dialog is pushed back
        // into the work area.
        QTest::newRow("before shown, centred") << 0 << QRect(1400, 150, 1000, 700);
        QTest::newRow("while shown, near the right edge") << 1 << QRect(2300, 150, 240, 200);
        QTest::newRow("once shown, on the left monitor") << 2 << QRect(100, 600, 300, 200);
    }
    void centreDialog()
    {
        QFETCH(int, when);
        QFETCH(QRect, owner);
        QWidget ownerWindow;
        ownerWindow.setGeometry(owner);
        ownerWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ownerWindow));
        QVERIFY(WaitFor([&] { return ToQRect(platform.WindowRect(ownerWindow.winId())).size() == owner.size().grownBy(m_frame); }));

        CentredOnShow dialog(&ownerWindow);
        dialog.setFixedSize(400, 300);
        const WindowHandle dialogWindow = dialog.winId();
        if (when == 1)
            dialog.owner = ownerWindow.winId();
        if (when == 0)
            mdlWindow::CenterWindow(dialogWindow, ownerWindow.winId());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(Framed(dialogWindow));
        if (when == 2)
            mdlWindow::CenterWindow(dialogWindow, ownerWindow.winId());

        // Where the rules put the frame's outer rectangle.
        const QRect ownerOuter = ToQRect(platform.WindowRect(ownerWindow.winId()));
        const QSize size = ToQRect(platform.WindowRect(dialogWindow)).size();  // a dialog's frame is its own
        ScreenRect work;
        QVERIFY(platform.MonitorInfo(platform.MonitorFromWindow(ownerWindow.winId()), nullptr, &work));
        QPoint expected = ownerOuter.topLeft()
            + QPoint(std::max(50, (ownerOuter.width() - size.width()) / 2), std::max(50, (ownerOuter.height() - size.height()) / 2));
        expected.setX(std::min(std::max(expected.x(), work.Left), work.Right - size.width()));
        expected.setY(std::min(std::max(expected.y(), work.Top), work.Bottom - size.height()));
        QVERIFY(WaitFor([&] { return ToQRect(platform.WindowRect(dialogWindow)) == QRect(expected, size); }, 2000));
        // Qt agrees on where its dialog is.
        QVERIFY(WaitFor([&] { return dialog.frameGeometry().topLeft() == expected + Origin; }));
    }
};

QTEST_MAIN(X11WindowsTest)
#include "X11WindowsTest.moc"
