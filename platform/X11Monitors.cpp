// Monitors on X11: RandR 1.5 monitors, and work areas from the window manager.
#include "platform/X11Platform.h"

#include "platform/X11Support.h"

#include <xcb/randr.h>
#include <xcb/xcb.h>


using x11::Wait;

namespace {
ScreenRect Relative(const QRect &r, QPoint origin) { return ScreenRect::FromQRect(r.translated(-origin)); }
}

const X11Platform::Monitor *X11Platform::Layout::Find(MonitorHandle h) const
{
    for (const Monitor &m : monitors)
        if (m.handle == h)
            return &m;
    return nullptr;
}

const X11Platform::Monitor *X11Platform::Layout::At(QPoint rootPoint) const
{
    for (const Monitor &m : monitors)
        if (m.rect.contains(rootPoint))
            return &m;
    return nullptr;
}

QRect X11Platform::Layout::Bounds() const
{
    QRect bounds;
    for (const Monitor &m : monitors)
        bounds |= m.rect;
    return bounds;
}

QRegion X11Platform::Layout::Shown() const
{
    QRegion shown;
    for (const Monitor &m : monitors)
        shown += m.rect;
    return shown & root;
}

bool X11Platform::Layout::operator==(const Layout &other) const
{
    if (primary != other.primary || origin != other.origin || root != other.root
        || monitors.size() != other.monitors.size())
        return false;
    for (qsizetype i = 0; i < monitors.size(); ++i)
        if (monitors[i].handle != other.monitors[i].handle || monitors[i].rect != other.monitors[i].rect)
            return false;
    return true;
}

X11Platform::Layout X11Platform::ReadLayout(const std::function<void()> &alongside) const
{
    Layout layout;
    auto rootCookie = xcb_get_geometry(m_connection, m_root);
    xcb_randr_get_monitors_cookie_t monitorsCookie{};
    if (m_hasMonitors)
        monitorsCookie = xcb_randr_get_monitors(m_connection, m_root, 1);
    if (alongside)
        alongside();
    if (auto root = Wait(m_connection, xcb_get_geometry_reply, rootCookie))
        layout.root = QRect(0, 0, root->width, root->height);

    if (m_hasMonitors) {
        if (auto reply = Wait(m_connection, xcb_randr_get_monitors_reply, monitorsCookie)) {
            for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem;
                 xcb_randr_monitor_info_next(&it)) {
                const xcb_randr_monitor_info_t *info = it.data;
                if (!info->width || !info->height)
                    continue;
                // The monitor's name atom: non-zero, and the same for as long as the monitor is.
                layout.monitors.append({static_cast<MonitorHandle>(info->name),
                                        QRect(info->x, info->y, info->width, info->height)});
                if (info->primary && !layout.primary)
                    layout.primary = static_cast<MonitorHandle>(info->name);
            }
        }
    }
    if (layout.monitors.isEmpty() && !layout.root.isEmpty())
        layout.monitors.append({1, layout.root});
    if (!layout.primary && !layout.monitors.isEmpty())
        layout.primary = layout.monitors.first().handle;
    if (const Monitor *primary = layout.Find(layout.primary))
        layout.origin = primary->rect.topLeft();
    return layout;
}

QRect X11Platform::WorkArea(const QRect &monitor) const
{
    // EWMH gives one work area per virtual desktop for the whole screen, with the panels' struts
    // taken off; the part of it on this monitor is the monitor's work area.
    const xcb_atom_t workAreaAtom = Atom("_NET_WORKAREA");
    const xcb_atom_t desktopAtom = Atom("_NET_CURRENT_DESKTOP");
    auto workCookie = xcb_get_property(m_connection, 0, m_root, workAreaAtom, XCB_ATOM_CARDINAL, 0, 4 * 64);
    auto desktopCookie = xcb_get_property(m_connection, 0, m_root, desktopAtom, XCB_ATOM_CARDINAL, 0, 1);
    auto work = Wait(m_connection, xcb_get_property_reply, workCookie);
    auto desktop = Wait(m_connection, xcb_get_property_reply, desktopCookie);
    if (!work || work->format != 32 || work->type != XCB_ATOM_CARDINAL)
        return monitor;
    const int count = xcb_get_property_value_length(work.get()) / 16;
    quint32 index = 0;
    if (desktop && desktop->format == 32 && xcb_get_property_value_length(desktop.get()) == 4)
        index = *static_cast<const quint32 *>(xcb_get_property_value(desktop.get()));
    if (count == 0)
        return monitor;
    if (index >= quint32(count))
        index = 0;
    const auto *area = static_cast<const quint32 *>(xcb_get_property_value(work.get())) + 4 * index;
    const QRect workArea = QRect(int(area[0]), int(area[1]), int(area[2]), int(area[3])) & monitor;
    return workArea.isEmpty() ? monitor : workArea;
}

ScreenRect X11Platform::VirtualScreen() const
{
    const Layout layout = ReadLayout();
    return Relative(layout.Bounds(), layout.origin);
}

int X11Platform::MonitorCount() const
{
    return static_cast<int>(ReadLayout().monitors.size());
}

MonitorHandle X11Platform::MonitorFromPoint(QPoint p) const
{
    const Layout layout = ReadLayout();
    const Monitor *m = layout.At(p + layout.origin);
    return m ? m->handle : 0;
}

MonitorHandle X11Platform::MonitorFromWindow(WindowHandle w) const
{
    const Layout layout = ReadLayout();
    if (layout.monitors.isEmpty())
        return 0;
    // For a window that does not exist, the primary monitor.
    const QRect window = OuterRect(Facts(w));
    if (window.isEmpty())
        return layout.primary;
    QList<MonitorArea> areas;
    for (const Monitor &m : layout.monitors)
        areas.append({m.handle, m.rect});
    return BestMonitorFor(window, areas);
}

bool X11Platform::MonitorInfo(MonitorHandle h, ScreenRect *monitor, ScreenRect *work) const
{
    const Layout layout = ReadLayout();
    const Monitor *m = h ? layout.Find(h) : nullptr;
    if (!m)
        return false;
    if (monitor)
        *monitor = Relative(m->rect, layout.origin);
    if (work)
        *work = Relative(WorkArea(m->rect), layout.origin);
    return true;
}

ScreenRect X11Platform::PrimaryWorkArea() const
{
    const Layout layout = ReadLayout();
    const Monitor *primary = layout.Find(layout.primary);
    return primary ? Relative(WorkArea(primary->rect), layout.origin) : ScreenRect();
}
