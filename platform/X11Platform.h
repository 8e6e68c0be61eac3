// The desktop as X11 shows it: RandR monitors, EWMH window manager, screen copies through xcb.
#pragma once

#include "platform/Platform.h"

#include <memory>

struct xcb_connection_t;

class X11Platform : public Platform
{
public:
    // Null when Qt does not run on xcb.
    static std::unique_ptr<X11Platform> Create();
    ~X11Platform() override;

    ScreenRect VirtualScreen() const override;
    int MonitorCount() const override;
    MonitorHandle MonitorFromPoint(QPoint p) const override;
    MonitorHandle MonitorFromWindow(WindowHandle w) const override;
    bool MonitorInfo(MonitorHandle h, ScreenRect *monitor, ScreenRect *work) const override;
    ScreenRect PrimaryWorkArea() const override;

    WindowHandle DesktopWindow() const override;
    WindowHandle WindowFromPoint(QPoint p) const override;
    WindowHandle ParentWindow(WindowHandle w) const override;
    ScreenRect WindowRect(WindowHandle w) const override;
    ScreenRect ClientRect(WindowHandle w) const override;
    WindowHandle ForegroundWindow() const override;
    bool BringToFront(WindowHandle w) override;
    void RepaintWindow(WindowHandle w) override;
    bool MoveWindow(WindowHandle w, int x, int y, int width, int height) override;
    bool SetAlwaysOnTop(WindowHandle w, bool on) override;

    QPoint CursorPos() const override;
    void SetCursorPos(QPoint p) override;

    QImage CopyScreen(const QRect &r) override;

private:
    explicit X11Platform(xcb_connection_t *connection);
    quint32 Atom(const char *name) const;

    xcb_connection_t *m_connection;
    quint32 m_root = 0;
};
