// The desktop on a wlroots compositor (sway, Hyprland, labwc, river, Wayfire): the screen's
// pixels straight from the compositor, sway's windows from sway, the rest from underneath.
#pragma once

#include "platform/ForwardingPlatform.h"

#include <memory>
#include <optional>

class WlrootsScreenCopy;
class PointerInWindow;
namespace SwayIpc {
struct View;
}

// Monitors and the pointer come from the platform underneath (X11 under Xwayland, or Qt's
// screens); it and the compositor's layout cover the same rectangle, so the two differ by an
// offset only. Copies come from the compositor's screencopy: the desktop and the monitors in the
// desktop's own pixels (twice as many at output scale 2), the eyedropper's samples one pixel per
// layout pixel and without waiting in the tick.
//
// Where sway answers on its socket, the windows are sway's: an X window keeps its X id as its
// handle, a Wayland window is known by its container id with the top bit set. Their rectangles
// include sway's border and title bar, and our own X windows are kept on whole layout pixels.
// Without sway no window can be found or copied.
class WlrootsPlatform : public ForwardingPlatform
{
public:
    WlrootsPlatform(std::unique_ptr<Platform> desktop, std::unique_ptr<WlrootsScreenCopy> copier);
    ~WlrootsPlatform() override;

    WindowHandle WindowFromPoint(QPoint p) const override;
    WindowHandle ParentWindow(WindowHandle w) const override;
    ScreenRect WindowRect(WindowHandle w) const override;
    ScreenRect ClientRect(WindowHandle w) const override;
    WindowHandle ForegroundWindow() const override;
    bool BringToFront(WindowHandle w) override;
    bool IsWindowShown(WindowHandle w) const override;
    // With Qt's Wayland platform Qt knows the pointer only relative to the window under it (or
    // holding it during a drag); sway tells where that window lies.
    QPoint CursorPos() const override;
    // A Wayland window paints, moves and stacks itself: for those nothing is done.
    void RepaintWindow(WindowHandle w) override;
    bool MoveWindow(WindowHandle w, int x, int y, int width, int height) override;
    bool SetAlwaysOnTop(WindowHandle w, bool on) override;

    QImage CopyScreen(const QRect &r) override;
    QImage CopyVirtualScreen() override;
    void RequestScreenCopy(const QRect &r, QObject *receiver, ScreenCopyDone done) override;

    WindowCopyWay WindowCopies() const override;
    // Only where no window can be found (no sway): they say so.
    QImage CopyActiveWindow() override;
    QImage CopyPickedWindow() override;

private:
    QPoint Offset() const;  // layout minus program coordinates
    std::optional<SwayIpc::View> FindView(WindowHandle w) const;
    WindowHandle HandleOf(const SwayIpc::View &view) const;

    class WholePixels;

    std::unique_ptr<WlrootsScreenCopy> m_copier;
    bool m_sway = false;
    std::unique_ptr<WholePixels> m_wholePixels;
    std::unique_ptr<PointerInWindow> m_pointer; // with Qt's Wayland platform only
};
