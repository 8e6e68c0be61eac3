// The desktop on KDE Plasma: KWin copies the screen and windows for the program it trusts.
#pragma once

#include "platform/KWinScreenShot.h"
#include "platform/KWinWindows.h"
#include "platform/PortalPlatform.h"

#include <QElapsedTimer>

// Monitors, windows and the pointer come from the platform underneath (X11 under Xwayland); the
// pixels from KWin's screenshot interface: the desktop and any rectangle of it, live, so that the
// eyedropper reads the screen as it is and needs no still screen; the active window with its
// frame. Windows under the hand are found through KWin's scripting, native Wayland windows too,
// and copied as their part of the screen: an X window keeps its X id as its handle, a native one
// is known by its KWin id with the top bit set. Where KWin runs no script, windows are found as
// on X11, and over a native window the hand copies the desktop.
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

    WindowHandle WindowFromPoint(QPoint p) const override;
    WindowHandle ParentWindow(WindowHandle w) const override;
    ScreenRect WindowRect(WindowHandle w) const override;
    ScreenRect ClientRect(WindowHandle w) const override;
    bool BringToFront(WindowHandle w) override;
    bool IsWindowShown(WindowHandle w) const override;
    // A native window paints, moves and stacks itself: for those nothing is done.
    void RepaintWindow(WindowHandle w) override;
    bool MoveWindow(WindowHandle w, int x, int y, int width, int height) override;
    bool SetAlwaysOnTop(WindowHandle w, bool on) override;

private:
    // KWin's windows, asked again; false (and the list kept) when KWin did not tell. After a
    // failure KWin is not asked again.
    bool Refresh() const;
    // The native window with that handle in the last list.
    const KWinWindows::Window *Native(WindowHandle w) const;
    static WindowHandle HandleOf(const KWinWindows::Window &window);

    // The picture of a granted shot; after a refusal (said once) null, and KWin is not asked again.
    QImage Granted(const KWinScreenShot::Shot &shot);

    bool m_refused = false;
    bool m_picking = false;  // between FreezeScreen and ThawScreen, served live
    mutable QList<KWinWindows::Window> m_windows;  // as KWin last listed them
    mutable QElapsedTimer m_listed;                // since then
    mutable bool m_scripting = true;               // KWin runs our scripts
};
