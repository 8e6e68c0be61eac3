// The desktop on Wayland: pixels through the desktop portal, everything else as before.
#pragma once

#include "platform/Platform.h"

#include <memory>
#include <optional>

class PortalFrozenScreen;

// Monitors, windows and the pointer come from the platform underneath (X11 under Xwayland, or
// Qt's screens); the screen's pixels from the portal's screenshots. The portal hands over every
// screenshot as a new file made for this one request: it is read and then removed, so that no
// copy the user never asked to keep piles up in the picture folder.
//
// The portal's picture covers all monitors, in the desktop's own pixels: at output scale 2 it has
// twice as many as the monitors' rectangles in program coordinates. Rectangles are mapped by
// that ratio.
class PortalPlatform : public Platform
{
public:
    explicit PortalPlatform(std::unique_ptr<Platform> desktop);
    ~PortalPlatform() override;

    ScreenRect VirtualScreen() const override { return m_desktop->VirtualScreen(); }
    int MonitorCount() const override { return m_desktop->MonitorCount(); }
    MonitorHandle MonitorFromPoint(QPoint p) const override { return m_desktop->MonitorFromPoint(p); }
    MonitorHandle MonitorFromWindow(WindowHandle w) const override { return m_desktop->MonitorFromWindow(w); }
    bool MonitorInfo(MonitorHandle h, ScreenRect *monitor, ScreenRect *work) const override
    {
        return m_desktop->MonitorInfo(h, monitor, work);
    }
    ScreenRect PrimaryWorkArea() const override { return m_desktop->PrimaryWorkArea(); }

    WindowHandle DesktopWindow() const override { return m_desktop->DesktopWindow(); }
    WindowHandle WindowFromPoint(QPoint p) const override { return m_desktop->WindowFromPoint(p); }
    WindowHandle ParentWindow(WindowHandle w) const override { return m_desktop->ParentWindow(w); }
    ScreenRect WindowRect(WindowHandle w) const override { return m_desktop->WindowRect(w); }
    ScreenRect ClientRect(WindowHandle w) const override { return m_desktop->ClientRect(w); }
    WindowHandle ForegroundWindow() const override { return m_desktop->ForegroundWindow(); }
    bool BringToFront(WindowHandle w) override { return m_desktop->BringToFront(w); }
    bool IsWindowShown(WindowHandle w) const override { return m_desktop->IsWindowShown(w); }
    void RepaintWindow(WindowHandle w) override { m_desktop->RepaintWindow(w); }
    bool MoveWindow(WindowHandle w, int x, int y, int width, int height) override
    {
        return m_desktop->MoveWindow(w, x, y, width, height);
    }
    bool SetAlwaysOnTop(WindowHandle w, bool on) override { return m_desktop->SetAlwaysOnTop(w, on); }

    QPoint CursorPos() const override { return m_desktop->CursorPos(); }
    void SetCursorPos(QPoint p) override { m_desktop->SetCursorPos(p); }

    // Frozen: served from the still picture. Otherwise one non-interactive screenshot per call.
    QImage CopyScreen(const QRect &r) override;
    void FreezeScreen() override;
    void ThawScreen() override;
    std::optional<qint32> PickColour() override;

    // The user picks every window in the portal's interactive screenshot dialog.
    WindowCopyWay WindowCopies() const override;
    QImage CopyActiveWindow() override;
    QImage CopyPickedWindow() override;

protected:
    // One screenshot of the whole desktop through the portal; interactive: in its dialog.
    QImage Screenshot(bool interactive);
    Platform &Desktop() const { return *m_desktop; }

private:
    std::unique_ptr<Platform> m_desktop;
    std::unique_ptr<PortalFrozenScreen> m_frozen;
};
