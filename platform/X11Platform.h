// The desktop as X11 shows it: RandR monitors, EWMH window manager, screen copies through xcb.
#pragma once

#include "platform/Platform.h"

#include <QHash>
#include <QList>
#include <QMargins>
#include <QRegion>

#include <functional>
#include <memory>
#include <optional>

struct xcb_connection_t;
class X11ScreenCopy;

// Works on Qt's own X connection. Program coordinates are X root coordinates shifted so that the
// primary monitor's top-left corner is (0, 0); every public operation converts at its boundary.
// Monitors, window geometry and the window manager's state are read afresh on each call.
//
// MoveWindow places the frame's outer rectangle: the client area goes inside it by the frame
// extents the window manager reports (_NET_FRAME_EXTENTS, asked for with
// _NET_REQUEST_FRAME_EXTENTS before the window is first shown). A mapped window is moved by the
// window manager (_NET_MOVERESIZE_WINDOW with static gravity, waited for); one of our own windows
// not yet shown is moved through Qt, so that Qt maps it there.
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
    bool IsWindowShown(WindowHandle w) const override;
    void RepaintWindow(WindowHandle w) override;
    bool MoveWindow(WindowHandle w, int x, int y, int width, int height) override;
    bool SetAlwaysOnTop(WindowHandle w, bool on) override;

    QPoint CursorPos() const override;
    void SetCursorPos(QPoint p) override;

    QImage CopyScreen(const QRect &r) override;
    QImage CopyVirtualScreen() override;

private:
    explicit X11Platform(xcb_connection_t *connection);
    quint32 Atom(const char *name) const;
    static void ConnectionClosing();

    // Monitors, in root coordinates (X11Monitors.cpp).
    struct Monitor
    {
        MonitorHandle handle;
        QRect rect;
    };
    struct Layout
    {
        QList<Monitor> monitors;
        MonitorHandle primary = 0;
        QPoint origin;  // the primary monitor's top-left corner
        QRect root;     // the root window
        const Monitor *Find(MonitorHandle h) const;
        const Monitor *At(QPoint rootPoint) const;
        QRect Bounds() const;   // around all monitors
        QRegion Shown() const;  // what the monitors show of the root window
        bool operator==(const Layout &other) const;
    };
    // The monitors as they are now; alongside sends requests that share the round trip.
    Layout ReadLayout(const std::function<void()> &alongside = {}) const;
    QRect WorkArea(const QRect &monitor) const;

    // Windows (X11Windows.cpp).
    struct WindowFacts
    {
        bool exists = false;
        bool application = false;  // the window the user means: with WM_STATE, or a top-level
        bool mapped = false;
        bool overrideRedirect = false;
        quint32 parent = 0;
        QRect inner;               // without border and frame, root coordinates
        int border = 0;
        QMargins frame;            // the window manager's frame around an application window
        bool frameKnown = false;
    };
    WindowFacts Facts(quint32 w) const;
    QRect OuterRect(const WindowFacts &facts) const;  // root coordinates
    QMargins RequestFrameExtents(quint32 w) const;
    bool HasWmState(quint32 w) const;
    quint32 ClientInside(quint32 frame) const;
    quint32 ApplicationWindowOf(quint32 w) const;
    bool WindowManagerRunning() const;
    quint32 ActiveWindow() const;
    bool MoveOwnWidget(quint32 w, const QRect &outer, const QMargins &frame);

    xcb_connection_t *m_connection;
    quint32 m_root = 0;
    bool m_hasMonitors = false;  // RandR 1.5
    mutable QHash<QByteArray, quint32> m_atoms;
    std::unique_ptr<X11ScreenCopy> m_copier;
    std::optional<Layout> m_lastLayout;  // where the previous copy found the monitors
};
