// A desktop made of rectangles for tests: monitors, windows, one picture of the screen, a pointer.
#pragma once

#include "platform/Platform.h"

#include <QImage>
#include <QList>
#include <QMargins>

// While it lives, a FakeDesktop is the current platform:
//
//     FakeDesktop d;
//     d.AddMonitor(QRect(-1280, 0, 1280, 1024));
//     d.AddMonitor(QRect(0, 0, 1280, 1024), /*primary*/ true);
//     WindowHandle w = d.AddWindow(QRect(100, 120, 400, 300), QMargins(1, 20, 1, 5));
//
// Windows added later lie above those added earlier; BringToFront raises one to the top.
class FakeDesktop : public Platform
{
public:
    FakeDesktop();
    ~FakeDesktop() override;
    FakeDesktop(const FakeDesktop &) = delete;
    FakeDesktop &operator=(const FakeDesktop &) = delete;

    // Monitors, listed in the order they are added. The work area is the whole monitor unless given.
    MonitorHandle AddMonitor(const QRect &rect, bool primary = false, const QRect &work = QRect());
    void SetWorkArea(MonitorHandle h, const QRect &work);
    // A system that reports another number of monitors than it has (0: no multi-monitor support).
    void SetReportedMonitorCount(int count);
    // The work area reported for the primary monitor when there is no monitor to take it from.
    void SetPrimaryWorkArea(const QRect &work);

    // An application window: its client rectangle and the frame around it.
    WindowHandle AddWindow(const QRect &client, const QMargins &frame = QMargins());
    // A window inside another one (a control), its rectangle in screen coordinates.
    WindowHandle AddChildWindow(WindowHandle parent, const QRect &rect);
    // Any outer rectangle, also one whose fields no real window has (the frame is kept).
    void SetWindowRect(WindowHandle w, const ScreenRect &outer);
    void SetForegroundWindow(WindowHandle w);

    // What the screen shows: image's top-left pixel lies at topLeft. Everything else is black.
    void SetScreenImage(const QImage &image, QPoint topLeft);

    // What the program did to the desktop.
    QList<QRect> Copies() const { return m_copies; }
    QList<WindowHandle> Repainted() const { return m_repainted; }
    QList<WindowHandle> BroughtToFront() const { return m_broughtToFront; }
    int MoveCount() const { return m_moveCount; }

    // Platform
    ScreenRect VirtualScreen() const override;
    int MonitorCount() const override;
    MonitorHandle MonitorFromPoint(QPoint p) const override;
    MonitorHandle MonitorFromWindow(WindowHandle w) const override;
    bool MonitorInfo(MonitorHandle h, ScreenRect *monitor, ScreenRect *work) const override;
    ScreenRect PrimaryWorkArea() const override;

    WindowHandle DesktopWindow() const override { return DesktopHandle; }
    WindowHandle WindowFromPoint(QPoint p) const override;
    WindowHandle ParentWindow(WindowHandle w) const override;
    ScreenRect WindowRect(WindowHandle w) const override;
    ScreenRect ClientRect(WindowHandle w) const override;
    WindowHandle ForegroundWindow() const override { return m_foreground; }
    bool BringToFront(WindowHandle w) override;
    bool IsWindowShown(WindowHandle w) const override { return FindWindow(w) != nullptr; }
    void RepaintWindow(WindowHandle w) override;
    bool MoveWindow(WindowHandle w, int x, int y, int width, int height) override;
    bool SetAlwaysOnTop(WindowHandle w, bool on) override;

    QPoint CursorPos() const override { return m_cursor; }
    void SetCursorPos(QPoint p) override { m_cursor = p; }

    QImage CopyScreen(const QRect &r) override;

private:
    static constexpr WindowHandle DesktopHandle = 0x10;

    struct Monitor
    {
        MonitorHandle handle;
        QRect rect;
        QRect work;
    };
    struct Window
    {
        WindowHandle handle;
        WindowHandle parent;  // 0 for an application window
        ScreenRect outer;
        QMargins frame;
    };

    const Monitor *FindMonitor(MonitorHandle h) const;
    const Monitor *Primary() const;
    Window *FindWindow(WindowHandle w);
    const Window *FindWindow(WindowHandle w) const;
    WindowHandle TopLevelOf(WindowHandle w) const;
    WindowHandle ChildAt(WindowHandle parent, QPoint p) const;

    QList<Monitor> m_monitors;
    MonitorHandle m_primary = 0;
    int m_reportedCount = -1;
    QRect m_primaryWork;
    QList<Window> m_windows;  // bottom to top
    WindowHandle m_foreground = 0;
    QImage m_screen;
    QPoint m_screenTopLeft;
    QPoint m_cursor;

    QList<QRect> m_copies;
    QList<WindowHandle> m_repainted;
    QList<WindowHandle> m_broughtToFront;
    int m_moveCount = 0;
};
