// Windows on X11 as the user means them: application windows inside the window manager's frames.
#include "platform/X11Platform.h"

#include "platform/X11Support.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <vector>

using x11::SendToWindowManager;
using x11::Wait;
using x11::WaitUntil;

namespace {
// The window manager answers a request for frame extents within a few milliseconds.
constexpr auto FrameExtentsWait = std::chrono::milliseconds(200);
constexpr int MaxDepth = 64;

quint32 WindowProperty(xcb_connection_t *c, xcb_window_t w, xcb_atom_t property)
{
    auto reply = Wait(c, xcb_get_property_reply, xcb_get_property(c, 0, w, property, XCB_ATOM_WINDOW, 0, 1));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4)
        return 0;
    return *static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
}
}

X11Platform::WindowFacts X11Platform::Facts(quint32 w) const
{
    WindowFacts facts;
    if (!w)
        return facts;
    xcb_connection_t *c = m_connection;
    const xcb_atom_t wmState = Atom("WM_STATE");
    const xcb_atom_t frameExtents = Atom("_NET_FRAME_EXTENTS");
    // All questions at once: one round trip.
    auto geometryCookie = xcb_get_geometry(c, w);
    auto positionCookie = xcb_translate_coordinates(c, w, m_root, 0, 0);
    auto treeCookie = xcb_query_tree(c, w);
    auto attributesCookie = xcb_get_window_attributes(c, w);
    auto stateCookie = xcb_get_property(c, 0, w, wmState, XCB_GET_PROPERTY_TYPE_ANY, 0, 0);
    auto extentsCookie = xcb_get_property(c, 0, w, frameExtents, XCB_ATOM_CARDINAL, 0, 4);
    auto geometry = Wait(c, xcb_get_geometry_reply, geometryCookie);
    auto position = Wait(c, xcb_translate_coordinates_reply, positionCookie);
    auto tree = Wait(c, xcb_query_tree_reply, treeCookie);
    auto attributes = Wait(c, xcb_get_window_attributes_reply, attributesCookie);
    auto state = Wait(c, xcb_get_property_reply, stateCookie);
    auto extents = Wait(c, xcb_get_property_reply, extentsCookie);
    if (!geometry || !position || !tree || !attributes)
        return facts;

    facts.exists = true;
    facts.parent = tree->parent;
    facts.mapped = attributes->map_state != XCB_MAP_STATE_UNMAPPED;
    facts.overrideRedirect = attributes->override_redirect;
    facts.border = geometry->border_width;
    facts.inner = QRect(position->dst_x, position->dst_y, geometry->width, geometry->height);
    facts.application = w != m_root && ((state && state->type != XCB_ATOM_NONE) || tree->parent == m_root);
    if (facts.application && extents && extents->format == 32
        && xcb_get_property_value_length(extents.get()) == 16) {
        const auto *e = static_cast<const quint32 *>(xcb_get_property_value(extents.get()));
        facts.frame = QMargins(int(e[0]), int(e[2]), int(e[1]), int(e[3]));  // left, right, top, bottom
        facts.frameKnown = true;
    }
    return facts;
}

QRect X11Platform::OuterRect(const WindowFacts &facts) const
{
    if (!facts.exists)
        return {};
    const QRect withBorder = facts.inner.adjusted(-facts.border, -facts.border, facts.border, facts.border);
    return facts.application ? withBorder.marginsAdded(facts.frame) : withBorder;
}

bool X11Platform::HasWmState(quint32 w) const
{
    auto reply = Wait(m_connection, xcb_get_property_reply,
                      xcb_get_property(m_connection, 0, w, Atom("WM_STATE"), XCB_GET_PROPERTY_TYPE_ANY, 0, 0));
    return reply && reply->type != XCB_ATOM_NONE;
}

bool X11Platform::WindowManagerRunning() const
{
    // EWMH: the check window names itself in the same property, as long as the manager lives.
    const xcb_atom_t check = Atom("_NET_SUPPORTING_WM_CHECK");
    const quint32 w = WindowProperty(m_connection, m_root, check);
    return w && WindowProperty(m_connection, w, check) == w;
}

quint32 X11Platform::ActiveWindow() const
{
    return WindowProperty(m_connection, m_root, Atom("_NET_ACTIVE_WINDOW"));
}

QMargins X11Platform::RequestFrameExtents(quint32 w) const
{
    // A window the manager has not framed yet has no _NET_FRAME_EXTENTS; EWMH lets us ask for the
    // frame it would get.
    if (!WindowManagerRunning())
        return {};
    const xcb_atom_t request = Atom("_NET_REQUEST_FRAME_EXTENTS");
    auto supported = Wait(m_connection, xcb_get_property_reply,
                          xcb_get_property(m_connection, 0, m_root, Atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 4096));
    if (!supported || supported->format != 32)
        return {};
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(supported.get()));
    const auto *end = atoms + xcb_get_property_value_length(supported.get()) / 4;
    if (std::find(atoms, end, request) == end)
        return {};
    SendToWindowManager(m_connection, m_root, w, request, {});
    WindowFacts facts;
    WaitUntil([&] { facts = Facts(w); return !facts.exists || facts.frameKnown; }, FrameExtentsWait);
    return facts.frame;
}

quint32 X11Platform::ClientInside(quint32 frame) const
{
    // The application window sits a level or two inside the frame.
    std::vector<xcb_window_t> level{frame};
    for (int depth = 0; depth < 4 && !level.empty(); ++depth) {
        std::vector<xcb_window_t> next;
        for (xcb_window_t w : level) {
            auto tree = Wait(m_connection, xcb_query_tree_reply, xcb_query_tree(m_connection, w));
            if (!tree)
                continue;
            const xcb_window_t *children = xcb_query_tree_children(tree.get());
            next.insert(next.end(), children, children + xcb_query_tree_children_length(tree.get()));
        }
        for (xcb_window_t w : next)
            if (HasWmState(w))
                return w;
        level.swap(next);
    }
    return 0;
}

quint32 X11Platform::ApplicationWindowOf(quint32 w) const
{
    for (int depth = 0; w && w != m_root && depth < MaxDepth; ++depth) {
        if (HasWmState(w))
            return w;
        auto tree = Wait(m_connection, xcb_query_tree_reply, xcb_query_tree(m_connection, w));
        if (!tree)
            return 0;
        if (tree->parent == m_root)
            return w;
        w = tree->parent;
    }
    return 0;
}

WindowHandle X11Platform::DesktopWindow() const { return m_root; }

WindowHandle X11Platform::WindowFromPoint(QPoint p) const
{
    const QPoint at = p + ReadLayout().origin;
    // Down the stack of mapped windows at the point, as the server sees it.
    std::vector<xcb_window_t> path{m_root};
    for (int depth = 0; depth < MaxDepth; ++depth) {
        auto step = Wait(m_connection, xcb_translate_coordinates_reply,
                         xcb_translate_coordinates(m_connection, m_root, path.back(), static_cast<int16_t>(at.x()),
                                                   static_cast<int16_t>(at.y())));
        if (!step || !step->child)
            break;
        // An input-only window catches clicks but shows nothing: the user sees what lies below.
        auto attributes = Wait(m_connection, xcb_get_window_attributes_reply,
                               xcb_get_window_attributes(m_connection, step->child));
        if (!attributes || attributes->_class == XCB_WINDOW_CLASS_INPUT_ONLY)
            break;
        path.push_back(step->child);
    }
    if (path.size() == 1)
        return m_root;
    for (size_t i = 1; i < path.size(); ++i)
        if (HasWmState(path[i]))
            return path.back();
    // Over the frame's decoration (title bar, border) the user means the window inside the frame.
    if (const quint32 client = ClientInside(path[1]))
        return client;
    return path.back();  // no window manager: the top-level window itself or a child of it
}

bool X11Platform::IsWindowShown(WindowHandle w) const
{
    for (int depth = 0; w && w != m_root && depth < MaxDepth; ++depth) {
        const WindowFacts facts = Facts(w);
        if (!facts.exists)
            return false;
        if (facts.parent == m_root)
            return facts.mapped;
        w = facts.parent;
    }
    return false;
}

WindowHandle X11Platform::ParentWindow(WindowHandle w) const
{
    if (!w || w == m_root)
        return 0;
    const WindowFacts facts = Facts(w);
    return facts.exists && !facts.application ? facts.parent : 0;
}

ScreenRect X11Platform::WindowRect(WindowHandle w) const
{
    if (!w)
        return {};
    if (w == m_root)
        return VirtualScreen();
    WindowFacts facts = Facts(w);
    if (!facts.exists)
        return {};
    if (facts.application && !facts.frameKnown && !facts.mapped && !facts.overrideRedirect)
        facts.frame = RequestFrameExtents(w);
    return ScreenRect::FromQRect(OuterRect(facts).translated(-ReadLayout().origin));
}

ScreenRect X11Platform::ClientRect(WindowHandle w) const
{
    if (!w)
        return {};
    if (w == m_root)
        return VirtualScreen();
    const WindowFacts facts = Facts(w);
    if (!facts.exists)
        return {};
    return ScreenRect::FromQRect(facts.inner.translated(-ReadLayout().origin));
}

WindowHandle X11Platform::ForegroundWindow() const
{
    if (WindowManagerRunning())
        return ActiveWindow();
    auto focus = Wait(m_connection, xcb_get_input_focus_reply, xcb_get_input_focus(m_connection));
    // None (0) and PointerRoot (1) name no window.
    if (!focus || focus->focus <= XCB_INPUT_FOCUS_POINTER_ROOT)
        return 0;
    return ApplicationWindowOf(focus->focus);
}
