// A desktop made of rectangles for tests: monitors, windows, one picture of the screen.
#pragma once

#include "platform/Platform.h"

#include <QtGui>

// While it lives, a FakeDesktop is the current platform. Tests fill its lists directly; the first
// monitor is the primary, later windows lie above earlier ones, window 1 is the desktop.
class FakeDesktop : public Platform
{
public:
    struct Monitor { MonitorHandle handle; QRect rect; QRect work; };
    struct Window { WindowHandle handle; WindowHandle parent; ScreenRect outer; QMargins frame; };

    FakeDesktop() { SetPlatformForTesting(this); }
    ~FakeDesktop() override { SetPlatformForTesting(nullptr); }

    // The work area is the whole monitor unless given.
    MonitorHandle AddMonitor(const QRect &rect, const QRect &work = QRect());
    // outer includes the frame; a window with a parent is a control inside it.
    WindowHandle AddWindow(const QRect &outer, const QMargins &frame = QMargins(), WindowHandle parent = 0);

    QList<Monitor> monitors;
    QList<Window> windows;
    WindowHandle foreground = 0;
    QImage screen;  // RGB32, its top-left pixel at screenTopLeft; black where it or a monitor is not
    QPoint screenTopLeft;
    QPoint cursor;
    QList<QRect> copies;  // every rectangle asked of CopyScreen
    // With copiesLater, RequestScreenCopy holds each request until DeliverCopies hands them out,
    // as a desktop that copies asynchronously does.
    bool copiesLater = false;
    void DeliverCopies(const RuntimeError *error = nullptr);

    ScreenRect VirtualScreen() const override;
    int MonitorCount() const override { return int(monitors.size()); }
    MonitorHandle MonitorFromPoint(QPoint p) const override;
    MonitorHandle MonitorFromWindow(WindowHandle w) const override;
    bool MonitorInfo(MonitorHandle h, ScreenRect *monitor, ScreenRect *work) const override;
    ScreenRect PrimaryWorkArea() const override { return monitors.isEmpty() ? ScreenRect() : ScreenRect::FromQRect(monitors[0].work); }
    WindowHandle DesktopWindow() const override { return 1; }
    WindowHandle WindowFromPoint(QPoint p) const override;
    WindowHandle ParentWindow(WindowHandle w) const override { return Find(w) ? Find(w)->parent : 0; }
    ScreenRect WindowRect(WindowHandle w) const override;
    ScreenRect ClientRect(WindowHandle w) const override;
    WindowHandle ForegroundWindow() const override { return foreground; }
    bool BringToFront(WindowHandle w) override { foreground = w; return true; }
    bool IsWindowShown(WindowHandle w) const override { return Find(w) != nullptr; }
    void RepaintWindow(WindowHandle) override {}
    bool MoveWindow(WindowHandle w, int x, int y, int width, int height) override;
    bool SetAlwaysOnTop(WindowHandle w, bool) override { return Find(w) != nullptr; }
    QPoint CursorPos() const override { return cursor; }
    void SetCursorPos(QPoint p) override { cursor = p; }
    QImage CopyScreen(const QRect &r) override;
    void RequestScreenCopy(const QRect &r, QObject *receiver, ScreenCopyDone done) override;

private:
    Window *Find(WindowHandle w) const;
    QList<std::pair<QRect, ScreenCopyDone>> m_pending;
};
