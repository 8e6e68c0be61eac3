// Copies of the screen into pictures. Each routine returns a new picture; the last holder frees it.
#include "capture/mdlCapture.h"

#include "base/RuntimeError.h"
#include "monitors/mdlWindow.h"

#include <QCoreApplication>

namespace mdlCapture {
namespace {
// A picture of the screen rectangle; the right and bottom edges must be 32-bit coordinates too.
QImage CopyArea(qint32 left, qint32 top, qint32 width, qint32 height)
{
    CheckedAdd(left, width);
    CheckedAdd(top, height);
    if (width <= 0 || height <= 0)
        return {};
    return CurrentPlatform().CopyScreen(QRect(left, top, width, height));
}

void ProcessPendingEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}
}

QImage GrabWindowArea(WindowHandle w, bool useClientArea, qint32 left, qint32 top, qint32 width, qint32 height)
{
    Platform &platform = CurrentPlatform();
    // The whole screen (no window, or the desktop window) is addressed in screen coordinates; any
    // other window from its own top-left corner, with or without its frame.
    if (!w || w == platform.DesktopWindow())
        return CopyArea(left, top, width, height);
    const ScreenRect origin = useClientArea ? platform.ClientRect(w) : platform.WindowRect(w);
    if (origin.IsZero())
        return {};  // the window is gone
    return CopyArea(CheckedAdd(origin.Left, left), CheckedAdd(origin.Top, top), width, height);
}

QImage GrabForegroundWindow()
{
    Platform &platform = CurrentPlatform();
    // A desktop that keeps its windows' pixels to itself copies the window for us.
    if (platform.WindowCopies() != Platform::WindowCopyWay::FromScreen)
        return platform.CopyActiveWindow();
    const WindowHandle w = platform.ForegroundWindow();
    const ScreenRect r = platform.WindowRect(w);
    const qint32 height = CheckedSub(r.Bottom, r.Top);
    const qint32 width = CheckedSub(r.Right, r.Left);
    return GrabWindowArea(w, false, 0, 0, width, height);
}

QImage GrabMonitor(MonitorHandle hMonitor)
{
    const WindowHandle desktop = CurrentPlatform().DesktopWindow();
    const ScreenRect r = mdlWindow::GetMonitorRect(hMonitor);
    return GrabWindowArea(desktop, false, r.Left, r.Top, r.Width, r.Height);
}

QImage GrabVirtualScreen()
{
    return CurrentPlatform().CopyVirtualScreen();
}

QImage GrabWindowAtPoint(qint32 x, qint32 y, bool repaint, bool bringToFront)
{
    Platform &platform = CurrentPlatform();
    if (platform.WindowCopies() == Platform::WindowCopyWay::InDesktopDialog)
        return platform.CopyPickedWindow();
    const WindowHandle w = platform.WindowFromPoint(QPoint(x, y));
    const ScreenRect r = platform.WindowRect(w);
    if (bringToFront)
        platform.BringToFront(w);
    // A window just uncovered or raised gets the chance to paint.
    ProcessPendingEvents();
    if (repaint) {
        platform.RepaintWindow(w);
        ProcessPendingEvents();
    }
    const qint32 width = CheckedSub(r.Right, r.Left);
    const qint32 height = CheckedSub(r.Bottom, r.Top);
    // The window's rectangle as found at the point; over the desktop that is the virtual screen,
    // which may start left of or above the primary monitor.
    return CopyArea(r.Left, r.Top, width, height);
}
}
