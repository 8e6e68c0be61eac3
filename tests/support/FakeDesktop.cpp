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
    const auto it = std::find_if(windows.cbegin(), windows.cend(), [w](const Window &window) { return window.handle == w; });
    return it == windows.cend() ? nullptr : const_cast<Window *>(&*it);
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
    const auto m = std::find_if(monitors.cbegin(), monitors.cend(), [p](const Monitor &each) { return each.rect.contains(p); });
    return m == monitors.cend() ? 0 : m->handle;
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
    const auto m = std::find_if(monitors.cbegin(), monitors.cend(), [h](const Monitor &each) { return each.handle == h; });
    if (m != monitors.cend() && monitor)
        *monitor = ScreenRect::FromQRect(m->rect);
    if (m != monitors.cend() && work)
        *work = ScreenRect::FromQRect(m->work);
    return m != monitors.cend();
}

WindowHandle FakeDesktop::WindowFromPoint(QPoint p) const
{
    // The topmost window at p, then the topmost of its controls there, and so on.
    WindowHandle found = 0;
    for (bool deeper = true; deeper;) {
        deeper = false;
        for (auto it = windows.crbegin(); it != windows.crend() && !deeper; ++it)
            if ((deeper = it->parent == found && it->outer.ToQRect().contains(p)))
                found = it->handle;
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
    for (const Monitor &m : monitors)
        if (const QRect part = m.rect & r & QRect(screenTopLeft, screen.size()); !part.isEmpty())
            painter.drawImage(part.topLeft() - r.topLeft(), screen, part.translated(-screenTopLeft));
    return copy;
}

void FakeDesktop::RequestScreenCopy(const QRect &r, QObject *receiver, ScreenCopyDone done)
{
    if (!copiesLater)
        return Platform::RequestScreenCopy(r, receiver, std::move(done));
    m_pending.append({r, std::move(done)});
}

void FakeDesktop::DeliverCopies(const RuntimeError *error)
{
    for (auto &[r, done] : std::exchange(m_pending, {}))
        done(error ? QImage() : CopyScreen(r), error);
}
