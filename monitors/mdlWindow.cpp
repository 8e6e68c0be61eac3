// Screen geometry the program asks about: virtual screen, monitors, centring a dialog.
#include "monitors/mdlWindow.h"

#include "base/RuntimeError.h"

#include <QSet>

#include <algorithm>

namespace mdlWindow {
namespace {
// The monitors are found by probing the centres of a grid of cells over the virtual screen.
constexpr qint32 ProbeCellWidth = 640;
constexpr qint32 ProbeCellHeight = 480;
constexpr qint32 CascadeOffset = 50;
}

qint32 GetMonitorCount()
{
    return CurrentPlatform().MonitorCount();
}

ScreenRect GetVirtualScreenRect()
{
    const ScreenRect vs = CurrentPlatform().VirtualScreen();
    ScreenRect r;
    r.Left = vs.Left;
    r.Top = vs.Top;
    r.Right = CheckedAdd(vs.Left, vs.Width);
    r.Bottom = CheckedAdd(vs.Top, vs.Height);
    r.Width = vs.Width;
    r.Height = vs.Height;
    return r;
}

ScreenRect GetMonitorRect(MonitorHandle hMonitor)
{
    ScreenRect monitor;
    if (!CurrentPlatform().MonitorInfo(hMonitor, &monitor, nullptr))
        return {};
    ScreenRect r = monitor;
    r.Width = CheckedSub(monitor.Right, monitor.Left);
    r.Height = CheckedSub(monitor.Bottom, monitor.Top);
    return r;
}

QList<MonitorHandle> EnumMonitors()
{
    QList<MonitorHandle> monitors;
    QSet<MonitorHandle> listed;
    try {
        const ScreenRect vs = GetVirtualScreenRect();
        if (GetMonitorCount() < 1)
            return monitors;
        const Platform &platform = CurrentPlatform();
        for (qint32 x = vs.Left; x <= vs.Right; x = CheckedAdd(x, ProbeCellWidth)) {
            for (qint32 y = vs.Top; y <= vs.Bottom; y = CheckedAdd(y, ProbeCellHeight)) {
                const QPoint probe(CheckedAdd(x, ProbeCellWidth / 2), CheckedAdd(y, ProbeCellHeight / 2));
                const MonitorHandle h = platform.MonitorFromPoint(probe);
                if (h && !listed.contains(h)) {
                    listed.insert(h);
                    monitors.append(h);
                }
            }
        }
    } catch (const RuntimeError &error) {
        ReportError(error);
    }
    return monitors;
}

QPoint CentredOver(QSize window, const ScreenRect &owner, const ScreenRect &work, qint32 minimumOffset)
{
    const qint32 ownerWidth = CheckedSub(owner.Right, owner.Left);
    const qint32 ownerHeight = CheckedSub(owner.Bottom, owner.Top);
    // Integer division truncates toward zero, as the layout rules expect.
    const qint32 dx = std::max(CheckedSub(ownerWidth, window.width()) / 2, minimumOffset);
    const qint32 dy = std::max(CheckedSub(ownerHeight, window.height()) / 2, minimumOffset);
    qint32 x = CheckedAdd(owner.Left, dx);
    qint32 y = CheckedAdd(owner.Top, dy);
    if (x < work.Left)
        x = work.Left;
    if (CheckedAdd(x, window.width()) > work.Right)
        x = CheckedSub(work.Right, window.width());
    if (y < work.Top)
        y = work.Top;
    if (CheckedAdd(y, window.height()) > work.Bottom)
        y = CheckedSub(work.Bottom, window.height());
    return QPoint(x, y);
}

void CenterWindow(WindowHandle hWnd, WindowHandle hWndOwner)
{
    Platform &platform = CurrentPlatform();

    ScreenRect work;
    if (GetMonitorCount() < 2) {
        work = platform.PrimaryWorkArea();
    } else {
        const MonitorHandle hMon = platform.MonitorFromWindow(hWndOwner ? hWndOwner : hWnd);
        platform.MonitorInfo(hMon, nullptr, &work);
    }
    const qint32 workWidth = CheckedSub(work.Right, work.Left);
    const qint32 workHeight = CheckedSub(work.Bottom, work.Top);

    const ScreenRect win = platform.WindowRect(hWnd);
    const qint32 winWidth = CheckedSub(win.Right, win.Left);
    const qint32 winHeight = CheckedSub(win.Bottom, win.Top);

    qint32 x;
    qint32 y;
    if (hWndOwner) {
        const QPoint at = CentredOver(QSize(winWidth, winHeight), platform.WindowRect(hWndOwner), work, CascadeOffset);
        x = at.x();
        y = at.y();
    } else {
        x = CheckedAdd(work.Left, CheckedSub(workWidth, winWidth) / 2);
        y = CheckedAdd(work.Top, CheckedSub(workHeight, winHeight) / 2);
    }
    platform.MoveWindow(hWnd, x, y, winWidth, winHeight);
}
}
