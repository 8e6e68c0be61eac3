// The program on a real GNOME desktop (headless GNOME Shell with Xwayland), its pixels through the
// desktop portal and GNOME's own backend, screenshots granted once in the permission store. The
// desktop and the monitor are the screen's exact pixels; the eyedropper's still screen shows them
// without shadows of its own and reads the pixel under the tip; a stored "no" gives the German
// message once and puts nothing on the clipboard.
#include "app/frmMain.h"
#include "base/ErrorTexts.h"
#include "base/RuntimeError.h"
#include "capture/mdlCapture.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "platform/PortalPlatform.h"
#include "platform/QtScreenPlatform.h"
#include "support/PatternWindow.h"
#include "support/XTools.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace X11TestDesktop;

namespace {
const auto Backdrop = PatternWindows::Place;

// The first pixel of a copy of the screen that is not the backdrop's (outside skip), or an empty text.
QString Differs(const QImage &picture, const QRect &skip = {})
{
    if (picture.isNull())
        return QStringLiteral("no picture");
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (!skip.contains(x, y) && (picture.pixel(x, y) & 0xffffff) != (Backdrop(x, y) & 0xffffff))
                return QStringLiteral("%1,%2: %3").arg(x).arg(y).arg(picture.pixel(x, y) & 0xffffff, 0, 16);
    return {};
}

void StoreScreenshotPermission(const char *answer)
{
    Run(QStringLiteral("gdbus"), {"call", "--session", "-d", "org.freedesktop.impl.portal.PermissionStore", "-o",
                                  "/org/freedesktop/impl/portal/PermissionStore", "-m",
                                  "org.freedesktop.impl.portal.PermissionStore.SetPermission", "screenshot", "true",
                                  "screenshot", "", QStringLiteral("['%1']").arg(QLatin1String(answer))});
}
}

class GnomeTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    PatternWindows::PatternWindow m_backdrop;

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("PIXOLVA_GNOME_SIZE"))
            QSKIP("runs inside with-gnome-session.sh");
        mdlI18n::LanguageFile().setPath(m_dir.filePath(QStringLiteral("pixolva.lng")));
        InstallPlatform(std::make_unique<PortalPlatform>(std::make_unique<QtScreenPlatform>()));
        m_backdrop.showFullScreen();
        QVERIFY(QTest::qWaitForWindowExposed(&m_backdrop));
        QTRY_COMPARE(m_backdrop.geometry(), QGuiApplication::primaryScreen()->geometry());
    }

    // The whole desktop and its one monitor: GNOME's pixels, exactly, without the pointer.
    void desktopAndMonitor()
    {
        MoveTo(QPoint(300, 200));
        QTest::qWait(300);  // the backdrop on the screen, not only in its window
        QCOMPARE(Differs(mdlCapture::GrabVirtualScreen()), QString());
        QCOMPARE(Differs(mdlCapture::GrabMonitor(CurrentPlatform().MonitorFromPoint(QPoint(0, 0)))), QString());
    }

    // While the eyedropper is held, the still screen lies over everything but the main window,
    // as the desktop showed it (no shadow of its pieces falls across it), and the fields read the
    // pixel under the tip.
    void stillScreenEyedropper()
    {
        frmMain window;
        // In the middle: pieces of the still screen above, below and on both sides of it.
        window.move(500, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *handle = window.findChild<QWidget *>(QStringLiteral("picCursor"));
        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(4, 4));
        const QPoint at(1000, 800);
        MoveTo(at);
        auto *hex = window.findChild<QLineEdit *>(QStringLiteral("txtHex"));
        QTRY_COMPARE(hex->text(), QColor(Backdrop(at.x(), at.y())).name().toUpper());
        // What the screen shows now, taken by a second platform beside the frozen one.
        PortalPlatform other(std::make_unique<QtScreenPlatform>());
        const QImage shown = other.CopyVirtualScreen();
        QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(4, 4));
        // The main window with GNOME's title bar (under 40 px) and its drop shadow (up to 32 px
        // round the frame) is the desktop's; shadows of the still screen's pieces would fall
        // across the whole screen.
        QCOMPARE(Differs(shown, window.geometry().adjusted(-32, -72, 32, 32)), QString());
    }

    // Screenshots refused in the permission store: Desk&top says so once, and the clipboard keeps
    // what it had.
    void storedNo()
    {
        StoreScreenshotPermission("no");
        QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
        frmMain window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QStringList shown;
        QTimer boxes;
        connect(&boxes, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()); box && box->isVisible()) {
                shown << box->text();
                box->accept();
            }
        });
        boxes.start(20);
        auto *desktop = window.findChild<QPushButton *>(QStringLiteral("cmdDesktop"));
        QTimer::singleShot(0, desktop, &QPushButton::click);
        QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 2, 15000);
        QTest::qWait(500);
        QCOMPARE(shown.size(), 2);  // the notice and one message
        QVERIFY2(shown.last().contains(ErrorDescription(ErrorKind::ScreenCopyDenied).left(40)), qPrintable(shown.last()));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("vorher"));
        StoreScreenshotPermission("yes");
    }
};

int main(int argc, char *argv[])
{
    // An X client of GNOME's Xwayland, as the program is there, so that window positions are known.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    GnomeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "GnomeTest.moc"
