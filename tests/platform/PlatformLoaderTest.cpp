// The way to the screen that the loader takes: X through a real X server's root window, the
// compositor's screencopy on sway, where the windows still run on Xwayland; and the desktop
// portal there, the way of the Wayland desktops without screencopy.
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
        const bool wayland = qEnvironmentVariableIsSet("PIXOLVA_SWAY_SIZE");
        QCOMPARE(PlatformLoader::InstalledWay(), wayland ? PlatformLoader::Way::Wlroots : PlatformLoader::Way::X11);
    }

    // With the real portal behind it, a copy of the desktop and the eyedropper's still screen
    // show the compositor's background, not the black of the X root.
    void portalShowsTheScreen()
    {
        if (PlatformLoader::InstalledWay() == PlatformLoader::Way::X11)
            QSKIP("an X11 desktop");
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
