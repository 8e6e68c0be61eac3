// The desktop as X11 shows it: RandR monitors, EWMH window manager, screen copies through xcb.
#include "platform/X11Platform.h"

#include <QGuiApplication>
#include <QCursor>
#include <QScreen>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {
template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> Take(T *reply)
{
    return Reply<T>(reply, &std::free);
}
}

std::unique_ptr<X11Platform> X11Platform::Create()
{
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return nullptr;
    return std::unique_ptr<X11Platform>(new X11Platform(x11->connection()));
}

X11Platform::X11Platform(xcb_connection_t *connection) : m_connection(connection)
{
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
}

X11Platform::~X11Platform() = default;

quint32 X11Platform::Atom(const char *name) const
{
    auto reply = Take(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// Placeholders until the monitor and capture layer lands: Qt's view of the screens.
ScreenRect X11Platform::VirtualScreen() const
{
    return ScreenRect::FromQRect(QGuiApplication::primaryScreen()->virtualGeometry());
}
int X11Platform::MonitorCount() const { return static_cast<int>(QGuiApplication::screens().size()); }
MonitorHandle X11Platform::MonitorFromPoint(QPoint) const { return 0; }
MonitorHandle X11Platform::MonitorFromWindow(WindowHandle) const { return 0; }
bool X11Platform::MonitorInfo(MonitorHandle, ScreenRect *, ScreenRect *) const { return false; }
ScreenRect X11Platform::PrimaryWorkArea() const
{
    return ScreenRect::FromQRect(QGuiApplication::primaryScreen()->availableGeometry());
}
WindowHandle X11Platform::DesktopWindow() const { return m_root; }
WindowHandle X11Platform::WindowFromPoint(QPoint) const { return 0; }
WindowHandle X11Platform::ParentWindow(WindowHandle) const { return 0; }
ScreenRect X11Platform::WindowRect(WindowHandle) const { return {}; }
ScreenRect X11Platform::ClientRect(WindowHandle) const { return {}; }
void X11Platform::RepaintWindow(WindowHandle) {}
WindowHandle X11Platform::ForegroundWindow() const { return 0; }
bool X11Platform::BringToFront(WindowHandle) { return false; }
bool X11Platform::MoveWindow(WindowHandle, int, int, int, int) { return false; }
QPoint X11Platform::CursorPos() const { return QCursor::pos(); }
void X11Platform::SetCursorPos(QPoint p) { QCursor::setPos(p); }
QImage X11Platform::CopyScreen(const QRect &) { return {}; }

bool X11Platform::SetAlwaysOnTop(WindowHandle w, bool on)
{
    if (!w)
        return false;
    // EWMH: ask the window manager to add or remove _NET_WM_STATE_ABOVE. The window stays mapped;
    // without a window manager nobody answers the request and the window is left as it is.
    const xcb_atom_t wmState = Atom("_NET_WM_STATE");
    const xcb_atom_t above = Atom("_NET_WM_STATE_ABOVE");
    if (wmState == XCB_ATOM_NONE || above == XCB_ATOM_NONE)
        return false;

    auto attributes = Take(xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, w), nullptr));
    if (!attributes)
        return false;
    if (attributes->map_state == XCB_MAP_STATE_UNMAPPED) {
        // Before mapping, the client owns _NET_WM_STATE; the window manager reads it at map time.
        auto reply = Take(xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, w, wmState, XCB_ATOM_ATOM, 0, 1024), nullptr));
        std::vector<xcb_atom_t> atoms;
        if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto *data = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
            atoms.assign(data, data + xcb_get_property_value_length(reply.get()) / 4);
        }
        atoms.erase(std::remove(atoms.begin(), atoms.end(), above), atoms.end());
        if (on)
            atoms.push_back(above);
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, w, wmState, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(atoms.size()), atoms.data());
        xcb_flush(m_connection);
        return true;
    }

    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = w;
    event.type = wmState;
    event.data.data32[0] = on ? 1 : 0; // _NET_WM_STATE_ADD / _NET_WM_STATE_REMOVE
    event.data.data32[1] = above;
    event.data.data32[2] = 0;
    event.data.data32[3] = 1; // source indication: a normal application
    xcb_send_event(m_connection, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(m_connection);
    return true;
}
