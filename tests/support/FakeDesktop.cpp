// A desktop made of rectangles for tests: monitors, windows, one picture of the screen.
#include "support/FakeDesktop.h"

#include <QtGui>

MonitorHandle FakeDesktop::AddMonitor(const QRect &rect, const QRect &work)
{
    // Arbitrary non-zero handles, as a system hands them out.
    monitors.append({0x10001 + 0x20 * MonitorHandle(monitors.size()), rect, work.isNull() ? rect : work});
    return monitors.last().handle;
}

WindowHandle FakeDesktop::AddWindow(const QRect &outer, const QMargins &frame, WindowHandle parent)
{
    windows.append({0x100 + 0x10 * WindowHandle(windows.size()), parent, ScreenRect::FromQRect(outer), frame});
    return windows.last().handle;
}

FakeDesktop::Window *FakeDesktop::Find(WindowHandle w) const
{
    for (const Window &window : windows)
        if (window.handle == w)
            return const_cast<Window *>(&window);
    return nullptr;
}

ScreenRect FakeDesktop::VirtualScreen() const
{
    QRect bounds;
    for (const Monitor &m : monitors)
        bounds |= m.rect;
    return ScreenRect::FromQRect(bounds);
}

MonitorHandle FakeDesktop::MonitorFromPoint(QPoint p) const
{
    for (const Monitor &m : monitors)
        if (m.rect.contains(p))
            return m.handle;
    return 0;
}

MonitorHandle FakeDesktop::MonitorFromWindow(WindowHandle w) const
{
    QList<MonitorArea> areas;
    for (const Monitor &m : monitors)
        areas.append({m.handle, m.rect});
    return BestMonitorFor(WindowRect(w).ToQRect(), areas);
}

bool FakeDesktop::MonitorInfo(MonitorHandle h, ScreenRect *monitor, ScreenRect *work) const
{
    for (const Monitor &m : monitors) {
        if (m.handle == h) {
            if (monitor)
                *monitor = ScreenRect::FromQRect(m.rect);
            if (work)
                *work = ScreenRect::FromQRect(m.work);
            return true;
        }
    }
    return false;
}

WindowHandle FakeDesktop::WindowFromPoint(QPoint p) const
{
    // The topmost window at p, then the topmost of its controls there, and so on.
    WindowHandle found = 0;
    for (bool deeper = true; deeper;) {
        deeper = false;
        for (auto it = windows.crbegin(); it != windows.crend() && !deeper; ++it) {
            deeper = it->parent == found && it->outer.ToQRect().contains(p);
            if (deeper)
                found = it->handle;
        }
    }
    return found ? found : DesktopWindow();
}

ScreenRect FakeDesktop::WindowRect(WindowHandle w) const
{
    return w == DesktopWindow() ? VirtualScreen() : Find(w) ? Find(w)->outer : ScreenRect();
}

ScreenRect FakeDesktop::ClientRect(WindowHandle w) const
{
    return Find(w) ? ScreenRect::FromQRect(Find(w)->outer.ToQRect().marginsRemoved(Find(w)->frame)) : WindowRect(w);
}

bool FakeDesktop::MoveWindow(WindowHandle w, int x, int y, int width, int height)
{
    if (Window *window = Find(w))
        window->outer = ScreenRect::FromLTWH(x, y, width, height);
    return Find(w) != nullptr;
}

QImage FakeDesktop::CopyScreen(const QRect &r)
{
    copies.append(r);
    if (r.isEmpty())
        return {};
    QImage copy(r.size(), QImage::Format_RGB32);
    copy.fill(Qt::black);
    QPainter painter(&copy);
    for (const Monitor &m : monitors) {
        const QRect part = m.rect & r & QRect(screenTopLeft, screen.size());
        if (!part.isEmpty())
            painter.drawImage(part.topLeft() - r.topLeft(), screen, part.translated(-screenTopLeft));
    }
    return copy;
}
