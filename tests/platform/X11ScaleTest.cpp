// With Qt scaling its widgets by 2, the platform still speaks device pixels.
#include "capture/mdlCapture.h"
#include "monitors/mdlWindow.h"
#include "platform/Platform.h"
#include "support/X11TestDesktop.h"

#include <QApplication>
#include <QDialog>
#include <QtTest>

using namespace X11TestDesktop;

namespace {
QRect ToQRect(const ScreenRect &r) { return QRect(r.Left, r.Top, r.Width, r.Height); }
// A secondary monitor left of the primary: program (0, 0) is root (1280, 0).
const QPoint Origin(1280, 0);
}

class X11ScaleTest : public QObject
{
    Q_OBJECT

    Platform &platform = CurrentPlatform();

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(SetMonitors({QStringLiteral("*A 1280/338x1024/271+1280+0 screen"),
                             QStringLiteral("B 1280/338x1024/271+0+0 none")}));
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        PaintRootPattern();
    }

    void copiesArePixelExact()
    {
        QCOMPARE(ToQRect(platform.VirtualScreen()), QRect(-1280, 0, 2560, 1024));
        QCOMPARE(CompareWithPattern(mdlCapture::GrabVirtualScreen(), QPoint(0, 0)), QString());
        const QImage sample = mdlCapture::GrabWindowArea(0, true, -13, -5, 27, 11);
        QCOMPARE(CompareWithPattern(sample, QPoint(1267, -5), [](QPoint p) { return p.y() < 0; }), QString());
    }

    void pointer()
    {
        platform.SetCursorPos(QPoint(-101, 51));
        QCOMPARE(platform.CursorPos(), QPoint(-101, 51));
    }

    void windowsInDevicePixels()
    {
        QWidget window;
        window.resize(200, 150);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const WindowHandle w = window.winId();
        QVERIFY(WaitFor([&] { return platform.WindowRect(w).Width > platform.ClientRect(w).Width; }));
        QCOMPARE(ToQRect(platform.ClientRect(w)).size(), QSize(400, 300));
        QCOMPARE(ToQRect(platform.WindowRect(w)), RootGeometry(TopLevelAncestor(w)).translated(-Origin));
    }

    void centredDialog_data()
    {
        QTest::addColumn<bool>("beforeShown");
        QTest::newRow("before shown") << true;
        QTest::newRow("once shown") << false;
    }
    void centredDialog()
    {
        QFETCH(bool, beforeShown);
        QWidget owner;
        owner.setGeometry(QRect(700, 100, 500, 350));  // logical; 1000 x 700 device pixels
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        QVERIFY(WaitFor([&] { return platform.WindowRect(owner.winId()).Width > 1000; }));
        QDialog dialog(&owner);
        dialog.setFixedSize(200, 150);
        if (beforeShown)
            mdlWindow::CenterWindow(dialog.winId(), owner.winId());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const WindowHandle d = dialog.winId();
        QVERIFY(WaitFor([&] { return platform.WindowRect(d).Width > platform.ClientRect(d).Width; }));
        if (!beforeShown)
            mdlWindow::CenterWindow(d, owner.winId());

        const QRect ownerRect = ToQRect(platform.WindowRect(owner.winId()));
        const QRect dialogRect = ToQRect(platform.WindowRect(d));
        const QPoint expected = ownerRect.topLeft()
            + QPoint((ownerRect.width() - dialogRect.width()) / 2, (ownerRect.height() - dialogRect.height()) / 2);
        // Qt places a window not yet shown in its own coordinates, which reach every second pixel.
        const int tolerance = beforeShown ? 1 : 0;
        QVERIFY(WaitFor([&] {
            const QPoint at = ToQRect(platform.WindowRect(d)).topLeft();
            return std::abs(at.x() - expected.x()) <= tolerance && std::abs(at.y() - expected.y()) <= tolerance;
        }));
        QCOMPARE(ToQRect(platform.ClientRect(d)).size(), QSize(400, 300));
    }
};

int main(int argc, char **argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    X11ScaleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "X11ScaleTest.moc"
