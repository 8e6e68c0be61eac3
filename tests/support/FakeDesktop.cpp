// A desktop made of rectangles for tests: monitors, windows, one picture of the screen, a pointer.
#include "support/FakeDesktop.h"

#include <QRegion>

#include <algorithm>
#include <cstring>

namespace {
bool Contains(const ScreenRect &r, QPoint p)
{
    return p.x() >= r.Left && p.x() < r.Right && p.y() >= r.Top && p.y() < r.Bottom;
}
}

FakeDesktop::FakeDesktop()
{
    SetPlatformForTesting(this);
}

FakeDesktop::~FakeDesktop()
{
    SetPlatformForTesting(nullptr);
}

MonitorHandle FakeDesktop::AddMonitor(const QRect &rect, bool primary, const QRect &work)
{
    // Handles as a system hands them out: arbitrary non-zero values, not indexes.
    const MonitorHandle handle = 0x10001 + 0x20 * static_cast<MonitorHandle>(m_monitors.size());
    m_monitors.append({handle, rect, work.isNull() ? rect : work});
    if (primary || !m_primary)
        m_primary = handle;
    return handle;
}

void FakeDesktop::SetWorkArea(MonitorHandle h, const QRect &work)
{
    for (Monitor &m : m_monitors)
        if (m.handle == h)
            m.work = work;
}

void FakeDesktop::SetReportedMonitorCount(int count) { m_reportedCount = count; }
void FakeDesktop::SetPrimaryWorkArea(const QRect &work) { m_primaryWork = work; }

const FakeDesktop::Monitor *FakeDesktop::FindMonitor(MonitorHandle h) const
{
    for (const Monitor &m : m_monitors)
        if (m.handle == h)
            return &m;
    return nullptr;
}

const FakeDesktop::Monitor *FakeDesktop::Primary() const { return FindMonitor(m_primary); }

ScreenRect FakeDesktop::VirtualScreen() const
{
    QRect bounds;
    for (const Monitor &m : m_monitors)
        bounds |= m.rect;
    return ScreenRect::FromQRect(bounds);
}

int FakeDesktop::MonitorCount() const
{
    return m_reportedCount >= 0 ? m_reportedCount : static_cast<int>(m_monitors.size());
}

MonitorHandle FakeDesktop::MonitorFromPoint(QPoint p) const
{
    for (const Monitor &m : m_monitors)
        if (m.rect.contains(p))
            return m.handle;
    return 0;
}

MonitorHandle FakeDesktop::MonitorFromWindow(WindowHandle w) const
{
    const Window *window = FindWindow(w);
    if (!window || m_monitors.isEmpty())
        return m_primary;
    QList<MonitorArea> areas;
    for (const Monitor &m : m_monitors)
        areas.append({m.handle, m.rect});
    return BestMonitorFor(window->outer.ToQRect(), areas);
}

bool FakeDesktop::MonitorInfo(MonitorHandle h, ScreenRect *monitor, ScreenRect *work) const
{
    const Monitor *m = FindMonitor(h);
    if (!m)
        return false;
    if (monitor)
        *monitor = ScreenRect::FromQRect(m->rect);
    if (work)
        *work = ScreenRect::FromQRect(m->work);
    return true;
}

ScreenRect FakeDesktop::PrimaryWorkArea() const
{
    if (!m_primaryWork.isNull())
        return ScreenRect::FromQRect(m_primaryWork);
    const Monitor *primary = Primary();
    return primary ? ScreenRect::FromQRect(primary->work) : ScreenRect();
}

WindowHandle FakeDesktop::AddWindow(const QRect &client, const QMargins &frame)
{
    const WindowHandle handle = 0x100 + static_cast<WindowHandle>(m_windows.size()) * 0x10;
    m_windows.append({handle, 0, ScreenRect::FromQRect(client.marginsAdded(frame)), frame});
    return handle;
}

WindowHandle FakeDesktop::AddChildWindow(WindowHandle parent, const QRect &rect)
{
    const WindowHandle handle = 0x100 + static_cast<WindowHandle>(m_windows.size()) * 0x10;
    m_windows.append({handle, parent, ScreenRect::FromQRect(rect), QMargins()});
    return handle;
}

void FakeDesktop::SetWindowRect(WindowHandle w, const ScreenRect &outer)
{
    if (Window *window = FindWindow(w))
        window->outer = outer;
}

void FakeDesktop::SetForegroundWindow(WindowHandle w) { m_foreground = w; }

FakeDesktop::Window *FakeDesktop::FindWindow(WindowHandle w)
{
    for (Window &window : m_windows)
        if (window.handle == w)
            return &window;
    return nullptr;
}

const FakeDesktop::Window *FakeDesktop::FindWindow(WindowHandle w) const
{
    return const_cast<FakeDesktop *>(this)->FindWindow(w);
}

WindowHandle FakeDesktop::TopLevelOf(WindowHandle w) const
{
    const Window *window = FindWindow(w);
    while (window && window->parent)
        window = FindWindow(window->parent);
    return window ? window->handle : 0;
}

WindowHandle FakeDesktop::ChildAt(WindowHandle parent, QPoint p) const
{
    // Later children lie above earlier ones.
    for (auto it = m_windows.crbegin(); it != m_windows.crend(); ++it)
        if (it->parent == parent && Contains(it->outer, p))
            return it->handle;
    return 0;
}

WindowHandle FakeDesktop::WindowFromPoint(QPoint p) const
{
    WindowHandle found = ChildAt(0, p);
    if (!found)
        return DesktopHandle;
    while (WindowHandle child = ChildAt(found, p))
        found = child;
    return found;
}

WindowHandle FakeDesktop::ParentWindow(WindowHandle w) const
{
    const Window *window = FindWindow(w);
    return window ? window->parent : 0;
}

ScreenRect FakeDesktop::WindowRect(WindowHandle w) const
{
    if (w == DesktopHandle)
        return VirtualScreen();
    const Window *window = FindWindow(w);
    return window ? window->outer : ScreenRect();
}

ScreenRect FakeDesktop::ClientRect(WindowHandle w) const
{
    if (w == DesktopHandle)
        return VirtualScreen();
    const Window *window = FindWindow(w);
    if (!window)
        return {};
    const QMargins &f = window->frame;
    const ScreenRect &o = window->outer;
    return ScreenRect::FromLTWH(o.Left + f.left(), o.Top + f.top(), o.Width - f.left() - f.right(),
                                o.Height - f.top() - f.bottom());
}

bool FakeDesktop::BringToFront(WindowHandle w)
{
    const WindowHandle top = TopLevelOf(w);
    if (!top)
        return false;
    m_broughtToFront.append(top);
    // Raise the window with its children, keeping their order.
    QList<Window> raised;
    for (auto it = m_windows.begin(); it != m_windows.end();) {
        if (TopLevelOf(it->handle) == top) {
            raised.append(*it);
            it = m_windows.erase(it);
        } else {
            ++it;
        }
    }
    m_windows.append(raised);
    m_foreground = top;
    return true;
}

void FakeDesktop::RepaintWindow(WindowHandle w) { m_repainted.append(w); }

bool FakeDesktop::MoveWindow(WindowHandle w, int x, int y, int width, int height)
{
    Window *window = FindWindow(w);
    if (!window)
        return false;
    window->outer = ScreenRect::FromLTWH(x, y, width, height);
    ++m_moveCount;
    return true;
}

bool FakeDesktop::SetAlwaysOnTop(WindowHandle w, bool) { return FindWindow(w) != nullptr; }

void FakeDesktop::SetScreenImage(const QImage &image, QPoint topLeft)
{
    m_screen = image;
    m_screenTopLeft = topLeft;
}

QImage FakeDesktop::CopyScreen(const QRect &r)
{
    m_copies.append(r);
    if (r.isEmpty())
        return {};
    const QImage::Format format = m_screen.isNull() ? QImage::Format_RGB32 : m_screen.format();
    QImage copy(r.size(), format);
    if (copy.isNull())
        return {};
    if (format == QImage::Format_Indexed8) {
        copy.setColorTable(m_screen.colorTable());
        const int black = static_cast<int>(m_screen.colorTable().indexOf(qRgb(0, 0, 0)));
        copy.fill(std::max(black, 0));
    } else {
        copy.fill(Qt::black);
    }

    // Only what lies on a monitor is shown.
    QRegion shown;
    for (const Monitor &m : m_monitors)
        shown += m.rect;
    shown &= QRegion(QRect(m_screenTopLeft, m_screen.size())) & QRegion(r);
    const int bytesPerPixel = copy.depth() / 8;
    for (const QRect &part : shown) {
        for (int y = part.top(); y <= part.bottom(); ++y) {
            const uchar *from = m_screen.constScanLine(y - m_screenTopLeft.y())
                + qsizetype(part.left() - m_screenTopLeft.x()) * bytesPerPixel;
            uchar *to = copy.scanLine(y - r.top()) + qsizetype(part.left() - r.left()) * bytesPerPixel;
            std::memcpy(to, from, size_t(part.width()) * bytesPerPixel);
        }
    }
    return copy;
}
