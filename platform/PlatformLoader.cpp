// The one place that chooses how the program reaches the desktop.
#include "platform/PlatformLoader.h"

#include "platform/DisplayCheck.h"
#include "platform/KWinPlatform.h"
#include "platform/KWinScreenShot.h"
#include "platform/Platform.h"
#include "platform/PortalPlatform.h"
#include "platform/QtScreenPlatform.h"
#include "platform/X11Platform.h"
#include "platform/wlroots/WlrootsPlatform.h"
#include "platform/wlroots/WlrootsScreenCopy.h"

#include <QGuiApplication>

namespace PlatformLoader {

namespace {
Way g_way = Way::QtScreens;
bool g_choseWindowSystem = false;

bool WaylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
}

// Under Xwayland the root window does not show the screen: a copy of it fails (BadMatch, as on
// sway) or comes back all black (as on GNOME). Only asked in a Wayland session: a desktop that is
// black on a real X server is still read through X.
bool RootShowsScreen(Platform &x11)
{
    const QRect screen = x11.VirtualScreen().ToQRect();
    if (screen.isEmpty() || x11.CopyScreen(QRect(screen.center(), QSize(1, 1))).isNull())
        return false;
    // Small pieces on a 3 x 3 grid over the whole screen, corners included.
    QList<QRect> probes;
    const QSize piece(16, 16);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            probes << QRect(screen.left() + (screen.width() - piece.width()) * column / 2,
                            screen.top() + (screen.height() - piece.height()) * row / 2, piece.width(), piece.height());
    for (const QRect &probe : probes) {
        const QImage copy = x11.CopyScreen(probe);
        if (copy.isNull())
            return false;
        for (int y = 0; y < copy.height(); ++y)
            for (int x = 0; x < copy.width(); ++x)
                if ((copy.pixel(x, y) & 0xffffff) != 0)
                    return true;
    }
    return false;
}

void Install(std::unique_ptr<Platform> platform, Way way)
{
    ::InstallPlatform(std::move(platform));
    g_way = way;
}

// A Wayland desktop's own way where it offers one (KWin), else the portal.
void InstallWayland(std::unique_ptr<Platform> desktop)
{
    if (KWinScreenShot::Offered())
        Install(std::make_unique<KWinPlatform>(std::move(desktop)), Way::KWin);
    else
        Install(std::make_unique<PortalPlatform>(std::move(desktop)), Way::Portal);
}
}

void ChooseWindowSystem()
{
    if (!WaylandSession() || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    if (DisplayCheck::XDisplayReachable(qgetenv("DISPLAY")))
        g_choseWindowSystem = qputenv("QT_QPA_PLATFORM", "xcb");
    else if (DisplayCheck::WaylandReachable())
        g_choseWindowSystem = qputenv("QT_QPA_PLATFORM", "wayland");
}

void InstallPlatform()
{
    // Our choice was for Qt alone, not for the programs started from here.
    if (g_choseWindowSystem)
        qunsetenv("QT_QPA_PLATFORM");
    g_choseWindowSystem = false;
    // A compositor that copies its outputs for us is asked directly, without the portal.
    std::unique_ptr<WlrootsScreenCopy> screencopy = WaylandSession() ? WlrootsScreenCopy::Connect() : nullptr;
    if (auto x11 = X11Platform::Create()) {
        if (screencopy)
            Install(std::make_unique<WlrootsPlatform>(std::move(x11), std::move(screencopy)), Way::Wlroots);
        else if (WaylandSession() && !RootShowsScreen(*x11))
            InstallWayland(std::move(x11));
        else
            Install(std::move(x11), Way::X11);
        return;
    }
    if (screencopy)
        Install(std::make_unique<WlrootsPlatform>(std::make_unique<QtScreenPlatform>(), std::move(screencopy)), Way::Wlroots);
    else if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        InstallWayland(std::make_unique<QtScreenPlatform>());
    else
        Install(std::make_unique<QtScreenPlatform>(), Way::QtScreens);
}

Way InstalledWay()
{
    return g_way;
}

}
