// The program where only the desktop portal sees the screen (the real portal, a fake desktop
// behind it, our windows offscreen): captures and the eyedropper's still screen read the exact
// pixels of the portal's picture on every monitor, at scale 1 and 2, with the main window live
// beside the still screen; a desktop that takes long over its dialog is waited for; a cancelled,
// refused, stuck or missing portal gives its German message and no picture, and the window stays
// usable.
#include "app/MessageBoxes.h"
#include "app/frmMain.h"
#include "base/ErrorTexts.h"
#include "base/RuntimeError.h"
#include "capture/mdlCapture.h"
#include "localisation/ControlTexts.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "platform/PortalPlatform.h"
#include "platform/QtScreenPlatform.h"
#include "support/ModalWatcher.h"

#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QRasterWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString Mode() { return qEnvironmentVariable("PIXOLVA_PORTAL_MODE", QStringLiteral("allow")); }

// Where a point of Qt's screens lies in the portal's picture, in the desktop's own pixels: the
// picture's pixel that holds the point (at scale 1.5, the point 37 lies in pixel 55).
QPoint InPicture(QPoint global)
{
    QScreen *screen = QGuiApplication::screenAt(global);
    const QPointF inPicture = QPointF(global - screen->virtualGeometry().topLeft()) * screen->devicePixelRatio();
    return QPoint(int(std::floor(inPicture.x())), int(std::floor(inPicture.y())));
}

// The pixel the screen shows at a point: the first of its device pixels there.
QRgb Shown(QPoint p)
{
    QScreen *screen = QGuiApplication::screenAt(p);
    const QImage shown = screen->grabWindow(0).toImage();
    const QPointF at = QPointF(p - screen->geometry().topLeft()) * shown.devicePixelRatio();
    return shown.pixel(int(std::floor(at.x())), int(std::floor(at.y())));
}

// Whether the still screen lies over a point; 0 for none at all.
int Covers(QPoint p = QPoint(INT_MIN, INT_MIN))
{
    int covers = 0;
    for (QWindow *w : QGuiApplication::topLevelWindows())
        covers += qobject_cast<QRasterWindow *>(w) && w->isVisible() && (p.x() == INT_MIN || w->geometry().contains(p));
    return covers;
}
}

class PortalTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QImage m_pattern;

    QStringList Fields(frmMain &window) const
    {
        QStringList texts;
        for (const char *name : {"txtDec", "txtR", "txtG", "txtB", "txtHex"})
            texts << window.findChild<QLineEdit *>(QLatin1String(name))->text();
        return texts;
    }
    static QStringList FieldsFor(QRgb c)
    {
        const qint32 colour = qRed(c) | qGreen(c) << 8 | qBlue(c) << 16;
        return {QString::number(colour), QString::number(qRed(c)), QString::number(qGreen(c)),
                QString::number(qBlue(c)), QColor(c).name().toUpper()};
    }
    static void Press(frmMain &window, bool down)
    {
        auto *handle = window.findChild<QWidget *>(QStringLiteral("picCursor"));
        if (down)
            QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(4, 4));
        else
            QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(4, 4));
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("PIXOLVA_PORTAL_PATTERN"))
            QSKIP("runs inside with-portal-session.sh");
        m_pattern = QImage(qEnvironmentVariable("PIXOLVA_PORTAL_PATTERN")).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!m_pattern.isNull());
        mdlI18n::LanguageFile().setPath(m_dir.filePath(QStringLiteral("pixolva.lng")));
        InstallPlatform(std::make_unique<PortalPlatform>(std::make_unique<QtScreenPlatform>()));
    }

    // Each monitor's copy is its part of the picture, all its device pixels; the file the portal
    // handed over is gone once read.
    void monitorCopies()
    {
        if (Mode() != u"allow")
            QSKIP("the portal refuses");
        for (QScreen *screen : QGuiApplication::screens()) {
            const QPoint topLeft = screen->geometry().topLeft();
            const MonitorHandle h = CurrentPlatform().MonitorFromPoint(topLeft - QGuiApplication::primaryScreen()->geometry().topLeft());
            const QImage copy = mdlCapture::GrabMonitor(h);
            QCOMPARE(copy, m_pattern.copy(QRect(InPicture(topLeft), screen->size() * screen->devicePixelRatio())));
        }
        QVERIFY(QDir(qEnvironmentVariable("PIXOLVA_PORTAL_SHOTS")).isEmpty(QDir::Files));
    }

    // Over the still screen the fields show the picture's pixel under the tip, the one the still
    // screen shows there (at scale 1.5 too), on each monitor, also after the arrow keys moved the
    // pointer; the release takes the still screen away and the last colour stays.
    void eyedropperOnTheStillScreen()
    {
        if (Mode() != u"allow")
            QSKIP("the portal refuses");
        frmMain window;
        window.show();
        Press(window, true);
        // Over every monitor, but not over our own window, which stays live.
        const QRect own = window.frameGeometry();
        QCOMPARE(Covers(own.center()), 0);
        for (QScreen *screen : QGuiApplication::screens()) {
            const QRect g = screen->geometry();
            for (QPoint p : {g.topLeft(), g.topRight(), g.bottomLeft(), g.bottomRight(), g.center()})
                QCOMPARE(Covers(p), own.contains(p) ? 0 : 1);
        }
        QPoint at;
        for (QScreen *screen : QGuiApplication::screens()) {
            const QRect g = screen->geometry();
            for (QPoint p : {g.topLeft() + QPoint(37, 45), g.bottomRight() - QPoint(3, 2)}) {
                QCursor::setPos(p);
                QTRY_COMPARE(Fields(window), FieldsFor(m_pattern.pixel(InPicture(p))));
                // What the still screen shows there is the same pixel (Qt's offscreen screens
                // hand back their windows' pixels reliably only where there is one screen).
                if (QGuiApplication::screens().size() == 1)
                    QTRY_COMPARE(Shown(p), m_pattern.pixel(InPicture(p)));
                at = p;
            }
        }
        QTest::keyClick(&window, Qt::Key_Left);
        QTRY_COMPARE(Fields(window), FieldsFor(m_pattern.pixel(InPicture(at - QPoint(1, 0)))));
        Press(window, false);
        QCOMPARE(Covers(), 0);
        QCursor::setPos(QGuiApplication::primaryScreen()->geometry().center());
        QTest::qWait(120);
        QCOMPARE(Fields(window), FieldsFor(m_pattern.pixel(InPicture(at - QPoint(1, 0)))));
    }

    // The hand tells the user to pick the window in the desktop's own dialog, and what the
    // dialog hands over is the capture; that dialog needs no permission to copy the screen.
    void handAsksTheDesktopsDialog()
    {
        if (Mode() != u"allow" && Mode() != u"deny")
            QSKIP("the portal refuses");
        frmMain window;
        window.show();
        QString notice;
        ModalWatcher::WhenModal<QMessageBox>([&](QMessageBox *box) {
            notice = box->text();
            box->accept();
        });
        auto *hand = window.findChild<QWidget *>(QStringLiteral("picCursorScreen"));
        QTest::mousePress(hand, Qt::LeftButton, {}, QPoint(4, 4));
        QTest::mouseRelease(hand, Qt::LeftButton, {}, QPoint(4, 4));
        QVERIFY2(notice.contains(QStringLiteral("eigenen Dialog")), qPrintable(notice));
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), m_pattern);
        QVERIFY(window.isVisible() && hand->isVisible());
    }

    // A desktop that takes its time (a user in its dialog), answering everything else meanwhile,
    // is waited for, longer than a stuck one is.
    void waitsWhileTheDesktopAnswers()
    {
        if (Mode() != u"slow")
            QSKIP("the portal answers at once");
        QCOMPARE(mdlCapture::GrabVirtualScreen(), m_pattern);
    }

    // Refused: the desktop copy raises the German error and gives no picture; the eyedropper shows
    // it once (after a denial the desktop's own picker gives the colour instead) and leaves the
    // window as it was.
    void refusedCopies()
    {
        const QString mode = Mode();
        if (mode == u"allow" || mode == u"slow")
            QSKIP("the portal answers");
        const ErrorKind kind = mode == u"cancel" ? ErrorKind::ScreenCopyCancelled
            : mode == u"deny"                    ? ErrorKind::ScreenCopyDenied
            : mode == u"hang"                    ? ErrorKind::ScreenCopyNoAnswer
                                                 : ErrorKind::NoScreenCopyService;
        const RuntimeError expected(ErrorNumberOf(kind), ErrorDescription(kind));
        try {
            mdlCapture::GrabVirtualScreen();
            QFAIL("a picture came back");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), expected.number());
            QCOMPARE(e.description(), expected.description());
        }

        frmMain window;
        window.show();
        QString shown;
        if (mode != u"deny")
            ModalWatcher::WhenModal<QMessageBox>([&](QMessageBox *box) {
                shown = box->text();
                box->accept();
            });
        Press(window, true);
        Press(window, false);
        QCOMPARE(shown, mode == u"deny" ? QString() : mdlI18n::DisplayText(StandardErrorText(expected)));
        const QStringList picked = FieldsFor(qRgb(51, 102, 255));
        QCOMPARE(Fields(window), mode == u"deny" ? picked : FieldsFor(qRgb(0, 0, 0)));
        QCOMPARE(Covers(), 0);
        QVERIFY(window.findChild<QWidget *>(QStringLiteral("picCursor"))->isVisible());
        QVERIFY(!QWidget::mouseGrabber());
        auto *red = window.findChild<QLineEdit *>(QStringLiteral("txtR"));
        red->setFocus();
        red->selectAll();
        QTest::keyClicks(red, QStringLiteral("9"));
        QCOMPARE(Fields(window).value(4).left(3), QStringLiteral("#09"));
    }
};

QTEST_MAIN(PortalTest)
#include "PortalTest.moc"
