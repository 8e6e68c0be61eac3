// The desktop on KDE Plasma: KWin copies the screen and windows for the program it trusts.
#pragma once

#include "platform/KWinScreenShot.h"
#include "platform/PortalPlatform.h"

// Monitors, windows and the pointer come from the platform underneath (X11 under Xwayland); the
// pixels from KWin's screenshot interface: the desktop and any rectangle of it, live, so that the
// eyedropper reads the screen as it is and needs no still screen; the active window with its
// frame. Windows under the hand are found as on X11 and copied as their part of the screen.
//
// Where KWin refuses (Pixolva not started from its installed desktop entry), the program says once
// how to grant the access and goes on through the desktop portal, as on other Wayland desktops.
class KWinPlatform : public PortalPlatform
{
public:
    explicit KWinPlatform(std::unique_ptr<Platform> desktop);

    QImage CopyScreen(const QRect &r) override;
    // While the eyedropper is held: KWin's copy of r, without holding the window meanwhile.
    void RequestScreenCopy(const QRect &r, QObject *receiver, ScreenCopyDone done) override;
    QImage CopyVirtualScreen() override;
    void FreezeScreen() override;
    void ThawScreen() override;

    WindowCopyWay WindowCopies() const override;
    QImage CopyActiveWindow() override;

private:
    // The picture of a granted shot; after a refusal (said once) null, and KWin is not asked again.
    QImage Granted(const KWinScreenShot::Shot &shot);

    bool m_refused = false;
    bool m_picking = false;  // between FreezeScreen and ThawScreen, served live
};
