// The way to the screen that the loader takes: X through a real X server's root window, the
// compositor's screencopy on sway, where the windows still run on Xwayland, and the desktop portal
// there, the way of the Wayland desktops without screencopy; and KWin's own screenshots on KDE
// Plasma, which refuses a program without its desktop entry (as this test is).
#include "base/ErrorTexts.h"
#include "base/RuntimeError.h"
#include "platform/Platform.h"
#include "platform/PlatformLoader.h"
#include "platform/PortalPlatform.h"
#include "platform/X11Platform.h"

#include <QGuiApplication>
#include <QtTest>

class PlatformLoaderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void choosesTheWayOfTheSession()
    {
        PlatformLoader::InstallPlatform();
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        const PlatformLoader::Way expected = qEnvironmentVariableIsSet("PIXOLVA_SWAY_SIZE") ? PlatformLoader::Way::Wlroots
            : qEnvironmentVariableIsSet("PIXOLVA_KWIN_SIZE")                                 ? PlatformLoader::Way::KWin
                                                                                             : PlatformLoader::Way::X11;
        QCOMPARE(PlatformLoader::InstalledWay(), expected);
    }

    // KWin refuses: the first copy says once how to grant access and goes to the portal, which
    // this session lacks; so does every copy after it, without a word more.
    void kwinRefusesAProgramWithoutItsEntry()
    {
        if (PlatformLoader::InstalledWay() != PlatformLoader::Way::KWin)
            QSKIP("not KDE Plasma");
        static QList<int> reported;
        SetErrorReporter([](const RuntimeError &error) { reported << error.number(); });
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                CurrentPlatform().CopyScreen(QRect(0, 0, 4, 4));
                QFAIL("a picture came back");
            } catch (const RuntimeError &error) {
                QCOMPARE(error.number(), ErrorNumberOf(ErrorKind::NoScreenCopyService));
            }
        }
        QCOMPARE(reported, QList<int>{ErrorNumberOf(ErrorKind::ScreenCopyNotGranted)});
        QCOMPARE(CurrentPlatform().WindowCopies(), Platform::WindowCopyWay::InDesktopDialog);
        SetErrorReporter(nullptr);
    }

    // With the real portal behind it, a copy of the desktop and the eyedropper's still screen
    // show the compositor's background, not the black of the X root.
    void portalShowsTheScreen()
    {
        if (PlatformLoader::InstalledWay() != PlatformLoader::Way::Wlroots)
            QSKIP("not a wlroots desktop with the portal");
        PortalPlatform platform(X11Platform::Create());
        const QRect screen = platform.VirtualScreen().ToQRect();
        const QImage desktop = platform.CopyScreen(screen);
        QCOMPARE(desktop.size(), screen.size());
        const QRgb background = qRgb(0xff, 0x80, 0x00);
        for (QPoint p : {QPoint(0, 0), QPoint(desktop.width() - 1, desktop.height() - 1), desktop.rect().center()})
            QCOMPARE(desktop.pixel(p), background);
        platform.FreezeScreen();
        const QImage sample = platform.CopyScreen(QRect(screen.center(), QSize(3, 3)));
        platform.ThawScreen();
        QCOMPARE(sample.size(), QSize(3, 3));
        QCOMPARE(sample.pixel(1, 1), background);
    }
};

int main(int argc, char *argv[])
{
    PlatformLoader::ChooseWindowSystem();
    QGuiApplication app(argc, argv);
    PlatformLoaderTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PlatformLoaderTest.moc"
