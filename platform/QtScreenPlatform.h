// A desktop known only through Qt's screens: what the program gets on a platform other than X11.
#pragma once

#include "platform/Platform.h"

class QtScreenPlatform : public Platform
{
public:
    ScreenRect VirtualScreen() const override;
    int MonitorCount() const override;
    MonitorHandle MonitorFromPoint(QPoint p) const override;
    MonitorHandle MonitorFromWindow(WindowHandle w) const override;
    bool MonitorInfo(MonitorHandle h, ScreenRect *monitor, ScreenRect *work) const override;
    ScreenRect PrimaryWorkArea() const override;

    WindowHandle DesktopWindow() const override { return 0; }
    WindowHandle WindowFromPoint(QPoint) const override { return 0; }
    WindowHandle ParentWindow(WindowHandle) const override { return 0; }
    ScreenRect WindowRect(WindowHandle) const override { return {}; }
    ScreenRect ClientRect(WindowHandle) const override { return {}; }
    WindowHandle ForegroundWindow() const override { return 0; }
    bool BringToFront(WindowHandle) override { return false; }
    bool IsWindowShown(WindowHandle) const override { return false; }
    void RepaintWindow(WindowHandle) override {}
    bool MoveWindow(WindowHandle, int, int, int, int) override { return false; }
    bool SetAlwaysOnTop(WindowHandle, bool) override { return false; }

    QPoint CursorPos() const override;
    void SetCursorPos(QPoint p) override;

    QImage CopyScreen(const QRect &r) override;
};
