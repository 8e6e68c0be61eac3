// The program on a real GNOME desktop (headless GNOME Shell with Xwayland), its pixels through the
// desktop portal and GNOME's own backend, screenshots granted once in the permission store. The
// desktop and the monitor are the screen's exact pixels; the eyedropper's still screen shows them
// without shadows of its own and reads the pixel under the tip; "&Fenster" and the hand copy the
// window chosen in GNOME's dialog, and its cancel gives error 18; a stored "no" gives the German
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
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace X11TestDesktop;

namespace {
const auto Backdrop = PatternWindows::Place;
using PatternWindows::Differs;

void StoreScreenshotPermission(const char *answer)
{
    Run(QStringLiteral("gdbus"), {"call", "--session", "-d", "org.freedesktop.impl.portal.PermissionStore", "-o",
                                  "/org/freedesktop/impl/portal/PermissionStore", "-m",
                                  "org.freedesktop.impl.portal.PermissionStore.SetPermission", "screenshot", "true",
                                  "screenshot", "", QStringLiteral("['%1']").arg(QLatin1String(answer))});
}

// Mutter's input for remote desktops: keys and pointer as from a real seat, which reach native
// Wayland windows such as GNOME's screenshot dialog. Mutter ends the session when the bus
// connection that made it goes, so it is made on the test's own connection, which stays.
class RemoteInput
{
public:
    RemoteInput()
    {
        const QDBusMessage made = Call(QStringLiteral("/org/gnome/Mutter/RemoteDesktop"),
                                       QStringLiteral("org.gnome.Mutter.RemoteDesktop"), QStringLiteral("CreateSession"), {});
        m_session = made.arguments().value(0).value<QDBusObjectPath>().path();
        if (Session(QStringLiteral("Start"), {}).type() != QDBusMessage::ReplyMessage)
            m_session.clear();
    }
    ~RemoteInput() { Session(QStringLiteral("Stop"), {}); }
    bool IsStarted() const { return !m_session.isEmpty(); }

    // Relative motion only (absolute motion needs a screen cast stream): into the top left corner
    // first, then from there.
    void PointAt(QPoint p)
    {
        Session(QStringLiteral("NotifyPointerMotionRelative"), {-100000.0, -100000.0});
        Session(QStringLiteral("NotifyPointerMotionRelative"), {double(p.x()), double(p.y())});
        // A press that comes with the pointer's arrival on a window is lost to it.
        QTest::qWait(200);
    }
    void Click()
    {
        constexpr int ButtonLeft = 0x110;
        Session(QStringLiteral("NotifyPointerButton"), {ButtonLeft, true});
        Session(QStringLiteral("NotifyPointerButton"), {ButtonLeft, false});
    }

private:
    static QDBusMessage Call(const QString &path, const QString &interface, const QString &method,
                             const QVariantList &arguments)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.gnome.Mutter.RemoteDesktop"), path,
                                                           interface, method);
        call.setArguments(arguments);
        const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
        if (reply.type() != QDBusMessage::ReplyMessage)
            qWarning() << method << reply.errorMessage();
        return reply;
    }
    QDBusMessage Session(const QString &method, const QVariantList &arguments)
    {
        if (m_session.isEmpty())
            return {};
        return Call(m_session, QStringLiteral("org.gnome.Mutter.RemoteDesktop.Session"), method, arguments);
    }

    QString m_session;
};

// What GNOME Shell shows now. The shell copies the screen for its own screenshot tool, which the
// test stands in for by taking that tool's name on the bus.
QImage ShellPicture()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.registerService(QStringLiteral("org.gnome.Screenshot"));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("shell.png"));
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.gnome.Shell.Screenshot"), QStringLiteral("/org/gnome/Shell/Screenshot"),
        QStringLiteral("org.gnome.Shell.Screenshot"), QStringLiteral("Screenshot"));
    call << false << false << file;
    bus.call(call);
    return QImage(file);
}

// GNOME's screenshot dialog (xdg-desktop-portal-gnome 43), centred on the 1280 x 1024 screen: the
// options with "Take Screenshot", then the preview with "Share". Each page is told by where the
// blue of its default button lies.
struct DialogPage
{
    QPoint blue;
    QPoint notBlue;
};
const DialogPage OptionsPage{{730, 358}, {640, 600}};
const DialogPage PreviewPage{{875, 358}, {730, 358}};
const QPoint CurrentWindowOption(520, 474);
const QPoint TakeScreenshotButton(780, 352);
const QPoint ShareButton(842, 352);
const QPoint CancelButton(440, 352);
constexpr QRgb DefaultButtonBlue = 0x3584e4;

bool Shows(const DialogPage &page)
{
    const QImage shown = ShellPicture();
    return !shown.isNull() && (shown.pixel(page.blue) & 0xffffff) == DefaultButtonBlue
        && (shown.pixel(page.notBlue) & 0xffffff) != DefaultButtonBlue;
}

// Answers each message box of the program, keeping its text.
class MessageAnswers : public QObject
{
public:
    QStringList shown;

    MessageAnswers()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()); box && box->isVisible()) {
                shown << box->text();
                box->accept();
            }
        });
        m_timer.start(20);
    }

private:
    QTimer m_timer;
};
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
        QCOMPARE(Differs(mdlCapture::GrabVirtualScreen(), Backdrop), QString());
        QCOMPARE(Differs(mdlCapture::GrabMonitor(CurrentPlatform().MonitorFromPoint(QPoint(0, 0))), Backdrop), QString());
    }

    // While the eyedropper is held, the still screen lies over everything but the main window,
    // as the desktop showed it (no shadow of its pieces falls across it), and the fields read the
    // pixel under the tip.
    void stillScreenEyedropper()
    {
        // The still screen covers everything but the program's own windows, the backdrop among
        // them: it goes first, and the plain desktop is what is held.
        m_backdrop.hide();
        frmMain window;
        // In the middle: pieces of the still screen above, below and on both sides of it.
        window.move(500, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(300);
        PortalPlatform other(std::make_unique<QtScreenPlatform>());
        const QImage desktop = other.CopyVirtualScreen();
        auto *handle = window.findChild<QWidget *>(QStringLiteral("picCursor"));
        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(4, 4));
        const QPoint at(1000, 800);
        MoveTo(at);
        auto *hex = window.findChild<QLineEdit *>(QStringLiteral("txtHex"));
        QTRY_COMPARE(hex->text(), QColor(desktop.pixel(at)).name().toUpper());
        // A window that comes up now lies beneath the still screen, and shows only where a piece
        // is missing. What the screen shows then, taken by a second platform beside the frozen one.
        m_backdrop.showFullScreen();
        QVERIFY(QTest::qWaitForWindowExposed(&m_backdrop));
        QTest::qWait(300);
        const QImage shown = other.CopyVirtualScreen();
        QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(4, 4));
        // The main window with GNOME's title bar (under 40 px) and its drop shadow (up to 32 px
        // round the frame) is the desktop's; shadows of the still screen's pieces would fall
        // across the whole screen.
        const QRect skip = window.geometry().adjusted(-32, -72, 32, 32);
        QCOMPARE(Differs(shown, [&](int x, int y) -> std::optional<QRgb> {
                     return skip.contains(x, y) ? std::nullopt : std::optional<QRgb>(desktop.pixel(x, y));
                 }),
                 QString());
    }

    // "&Fenster" and the hand leave the choice to GNOME's dialog: its current window comes back
    // with its title bar and the window's own pixels exact, and the dialog's "Cancel" gives error 18 and nothing on the
    // clipboard. The dialog is worked with mutter's input for remote desktops.
    void windowInDialog_data()
    {
        QTest::addColumn<bool>("hand");
        QTest::addColumn<bool>("share");
        QTest::newRow("Fenster") << false << true;
        QTest::newRow("hand") << true << true;
        QTest::newRow("hand, cancelled") << true << false;
    }
    void windowInDialog()
    {
        QFETCH(bool, hand);
        QFETCH(bool, share);
        RemoteInput input;
        QVERIFY(input.IsStarted());
        const auto pattern = [](int x, int y) { return qRgb(x, y, 200); };
        PatternWindows::PatternWindow target(pattern);
        target.resize(240, 160);
        target.setPosition(100, 120);
        target.show();
        QVERIFY(QTest::qWaitForWindowExposed(&target));
        frmMain window;
        window.move(600, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
        MessageAnswers boxes;
        // Each step once its page is on the screen, checked from a timer: the program waits for
        // the dialog's answer in an event loop of its own.
        QList<std::pair<const DialogPage *, std::function<void()>>> steps;
        if (share) {
            steps.append({&OptionsPage, [&] {
                              input.PointAt(CurrentWindowOption);
                              input.Click();
                              input.PointAt(TakeScreenshotButton);
                              input.Click();
                          }});
            steps.append({&PreviewPage, [&] {
                              input.PointAt(ShareButton);
                              input.Click();
                          }});
        } else {
            // Esc works only while the dialog holds the keyboard, which GNOME does not always give
            // it: its "Cancel" instead.
            steps.append({&OptionsPage, [&] {
                              input.PointAt(CancelButton);
                              input.Click();
                          }});
        }
        QTimer driver;
        connect(&driver, &QTimer::timeout, [&] {
            if (!steps.isEmpty() && Shows(*steps.first().first))
                steps.takeFirst().second();
        });
        driver.start(500);
        if (hand) {
            auto *handle = window.findChild<QWidget *>(QStringLiteral("picCursorScreen"));
            QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(4, 4));
            QTimer::singleShot(0, [=] { QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(4, 4)); });
        } else {
            QTimer::singleShot(0, window.findChild<QPushButton *>(QStringLiteral("cmdWindow")), &QPushButton::click);
        }
        QTRY_VERIFY_WITH_TIMEOUT(steps.isEmpty() && window.isVisible(), 40000);
        if (!share) {
            QTRY_COMPARE(boxes.shown.size(), 2);
            QVERIFY2(boxes.shown.last().contains(QStringLiteral("(Runtime-Error: 18)")), qPrintable(boxes.shown.last()));
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("vorher"));
            return;
        }
        QTRY_VERIFY(!QGuiApplication::clipboard()->image().isNull());
        QCOMPARE(boxes.shown.size(), 1);  // the notice
        const QImage picture = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
        // The window with its title bar above, without the shadow's margin round it.
        QCOMPARE(picture.width(), target.width());
        QVERIFY2(picture.height() > target.height(), qPrintable(QString::number(picture.height())));
        const QPoint content(0, picture.height() - target.height());
        for (int y = 0; y < target.height(); ++y)
            for (int x = 0; x < target.width(); ++x)
                QCOMPARE(picture.pixel(content + QPoint(x, y)) & 0xffffff, pattern(x, y) & 0xffffff);
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
        MessageAnswers boxes;
        auto *desktop = window.findChild<QPushButton *>(QStringLiteral("cmdDesktop"));
        QTimer::singleShot(0, desktop, &QPushButton::click);
        QTRY_COMPARE_WITH_TIMEOUT(boxes.shown.size(), 2, 15000);
        QTest::qWait(500);
        QCOMPARE(boxes.shown.size(), 2);  // the notice and one message
        QVERIFY2(boxes.shown.last().contains(ErrorDescription(ErrorKind::ScreenCopyDenied).left(40)), qPrintable(boxes.shown.last()));
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
