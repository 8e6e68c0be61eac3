// The desktop as X11 shows it: the connection, atoms, pointer, always-on-top and screen copies.
#include "platform/X11Platform.h"

#include "platform/X11ScreenCopy.h"
#include "platform/X11Support.h"

#include <QGuiApplication>
#include <QRegion>

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <climits>
#include <cstring>
#include <vector>

using x11::Wait;

namespace {
X11Platform *g_instance = nullptr;

// The atoms the platform uses, interned together as it starts rather than one trip to the server
// each when first used; an atom left out here is still interned when it is first asked for.
constexpr const char *UsedAtoms[] = {
    "WM_STATE",
    "_NET_ACTIVE_WINDOW",
    "_NET_CURRENT_DESKTOP",
    "_NET_FRAME_EXTENTS",
    "_NET_MOVERESIZE_WINDOW",
    "_NET_REQUEST_FRAME_EXTENTS",
    "_NET_SUPPORTED",
    "_NET_SUPPORTING_WM_CHECK",
    "_NET_WM_STATE",
    "_NET_WM_STATE_ABOVE",
    "_NET_WORKAREA",
};
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
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    m_root = screen->root;

    // All that is asked of the server here goes out before the first answer is awaited.
    // Monitors as RandR 1.5 lists them; an older server shows the root window as one monitor.
    const xcb_query_extension_reply_t *randr = xcb_get_extension_data(m_connection, &xcb_randr_id);
    const bool hasRandr = randr && randr->present;
    xcb_randr_query_version_cookie_t randrVersion{};
    if (hasRandr)
        randrVersion = xcb_randr_query_version(m_connection, 1, 5);
    std::vector<xcb_intern_atom_cookie_t> atoms;
    for (const char *name : UsedAtoms)
        atoms.push_back(xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name));
    m_copier = std::make_unique<X11ScreenCopy>(m_connection, screen);
    if (hasRandr) {
        auto version = Wait(m_connection, xcb_randr_query_version_reply, randrVersion);
        m_hasMonitors = version && (version->major_version > 1 || version->minor_version >= 5);
    }
    for (size_t i = 0; i < atoms.size(); ++i) {
        auto reply = Wait(m_connection, xcb_intern_atom_reply, atoms[i]);
        if (reply && reply->atom != XCB_ATOM_NONE)
            m_atoms.insert(QByteArray(UsedAtoms[i]), reply->atom);
    }

    // Qt closes its connection while the application object goes away, long before static
    // objects such as this one: give back the X resources while the connection is still open.
    g_instance = this;
    qAddPostRoutine(&X11Platform::ConnectionClosing);
}

X11Platform::~X11Platform()
{
    if (g_instance == this) {
        qRemovePostRoutine(&X11Platform::ConnectionClosing);
        g_instance = nullptr;
    }
}

void X11Platform::ConnectionClosing()
{
    if (g_instance)
        g_instance->m_copier->ConnectionClosing();
}

quint32 X11Platform::Atom(const char *name) const
{
    const QByteArray key(name);
    auto it = m_atoms.constFind(key);
    if (it != m_atoms.constEnd())
        return *it;
    auto reply = Wait(m_connection, xcb_intern_atom_reply,
                      xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(key.size()), name));
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    if (atom != XCB_ATOM_NONE)
        m_atoms.insert(key, atom);  // atoms live as long as the server
    return atom;
}

QPoint X11Platform::CursorPos() const
{
    xcb_query_pointer_cookie_t cookie{};
    const Layout layout = ReadLayout([&] { cookie = xcb_query_pointer(m_connection, m_root); });
    auto pointer = Wait(m_connection, xcb_query_pointer_reply, cookie);
    if (!pointer)
        return {};
    return QPoint(pointer->root_x, pointer->root_y) - layout.origin;
}

void X11Platform::SetCursorPos(QPoint p)
{
    const QPoint at = p + ReadLayout().origin;
    xcb_warp_pointer(m_connection, XCB_NONE, m_root, 0, 0, 0, 0, static_cast<int16_t>(at.x()),
                     static_cast<int16_t>(at.y()));
    xcb_flush(m_connection);
}

QImage X11Platform::CopyScreen(const QRect &r)
{
    if (r.isEmpty())
        return {};
    // A small copy (a colour sample, twenty times a second) travels with the monitor query, on
    // the guess that the monitors are where the previous copy found them.
    QRect guess;
    unsigned int guessed = 0;
    const Layout layout = ReadLayout([&] {
        if (!m_lastLayout || !m_copier->IsSmall(r.size()))
            return;
        guess = r.translated(m_lastLayout->origin);
        if (QRegion(guess).subtracted(m_lastLayout->Shown()).isEmpty())
            guessed = m_copier->RequestArea(guess);
    });
    const bool unchanged = m_lastLayout && *m_lastLayout == layout;
    m_lastLayout = layout;
    if (guessed) {
        if (unchanged)
            return m_copier->ReceiveArea(guessed, guess);
        m_copier->DiscardArea(guessed);
    }

    const qint64 left = qint64(r.left()) + layout.origin.x();
    const qint64 top = qint64(r.top()) + layout.origin.y();
    if (left < INT_MIN || top < INT_MIN || left + r.width() > INT_MAX || top + r.height() > INT_MAX) {
        // Far beyond any X coordinate (those are 16-bit): all black.
        return m_copier->Copy(QRect(QPoint(INT_MIN / 2, INT_MIN / 2), r.size()), QRegion());
    }
    // What lies outside every monitor is not part of the desktop, even where the root window is.
    return m_copier->Copy(QRect(int(left), int(top), r.width(), r.height()), layout.Shown());
}

QImage X11Platform::CopyVirtualScreen()
{
    // The monitors read once, for where the desktop lies and for what of it they show.
    const Layout layout = ReadLayout();
    m_lastLayout = layout;
    const QRect bounds = layout.Bounds();
    if (bounds.isEmpty())
        return {};
    return m_copier->Copy(bounds, layout.Shown());
}

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

    // Both questions go out together; the state is needed only while the window is unmapped.
    const auto attributesAsked = xcb_get_window_attributes(m_connection, w);
    const auto stateAsked = xcb_get_property(m_connection, 0, w, wmState, XCB_ATOM_ATOM, 0, 1024);
    auto attributes = Wait(m_connection, xcb_get_window_attributes_reply, attributesAsked);
    auto reply = Wait(m_connection, xcb_get_property_reply, stateAsked);
    if (!attributes)
        return false;
    if (attributes->map_state == XCB_MAP_STATE_UNMAPPED) {
        // Before mapping, the client owns _NET_WM_STATE; the window manager reads it at map time.
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
        // A window being shown again may be taken over by the window manager between our look
        // at it and the property change; the request below reaches it in that case.
    }

    // data: _NET_WM_STATE_ADD (1) or _REMOVE (0), the property, none, source: a normal application.
    x11::SendToWindowManager(m_connection, m_root, w, wmState, {on ? 1u : 0u, above, 0u, 1u, 0u});
    return true;
}
