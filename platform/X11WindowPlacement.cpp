// Placing, raising and repainting windows on X11, through the window manager where there is one.
#include "platform/X11Platform.h"

#include "base/Rounding.h"
#include "platform/X11Support.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <array>
#include <chrono>
#include <cstring>
#include <thread>

using x11::Quietly;
using x11::SendToWindowManager;
using x11::SourcePager;
using x11::Wait;
using x11::WaitUntil;
using x11::WindowManagerWait;

namespace {
// Another program repaints in its own time; nothing tells when it is done.
constexpr auto ForeignRepaintWait = std::chrono::milliseconds(50);
constexpr quint32 NorthWestGravity = 1;
constexpr quint32 StaticGravity = 10;
}

bool X11Platform::BringToFront(WindowHandle w)
{
    const quint32 target = ApplicationWindowOf(w);
    if (!target)
        return false;
    if (WindowManagerRunning()) {
        // Activation is the window manager's business: it raises the window and gives it focus.
        SendToWindowManager(m_connection, m_root, target, Atom("_NET_ACTIVE_WINDOW"),
                            {SourcePager, XCB_CURRENT_TIME, ActiveWindow(), 0, 0});
        return WaitUntil([&] { return ActiveWindow() == target; }, WindowManagerWait);
    }
    const quint32 above = XCB_STACK_MODE_ABOVE;
    Quietly(m_connection, xcb_configure_window_checked(m_connection, target, XCB_CONFIG_WINDOW_STACK_MODE, &above));
    Quietly(m_connection, xcb_set_input_focus_checked(m_connection, XCB_INPUT_FOCUS_PARENT, target, XCB_CURRENT_TIME));
    auto sync = Wait(m_connection, xcb_get_input_focus_reply, xcb_get_input_focus(m_connection));
    return sync && sync->focus == target;
}

void X11Platform::RepaintWindow(WindowHandle w)
{
    // One of our own windows paints at once; its pixels reach the server ahead of any later copy,
    // which travels on the same connection.
    if (QWidget *widget = QWidget::find(w)) {
        widget->repaint();
        return;
    }
    const WindowFacts facts = Facts(w);
    if (!facts.exists || w == m_root)
        return;
    // Another program's window: an expose event for all of it makes its owner paint it again,
    // without the server clearing it to the background first. Nothing tells when the owner is
    // done, so it gets a frame's time. send_event always takes 32 bytes.
    std::array<char, 32> buffer{};
    xcb_expose_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_EXPOSE;
    event.window = w;
    event.width = static_cast<uint16_t>(facts.inner.width());
    event.height = static_cast<uint16_t>(facts.inner.height());
    std::memcpy(buffer.data(), &event, sizeof event);
    Quietly(m_connection, xcb_send_event_checked(m_connection, 0, w, XCB_EVENT_MASK_EXPOSURE, buffer.data()));
    xcb_flush(m_connection);
    std::this_thread::sleep_for(ForeignRepaintWait);
}

bool X11Platform::MoveOwnWidget(quint32 w, const QRect &outer, const QMargins &frame)
{
    // Before our own window is shown, Qt owns its geometry: it is moved through Qt, which marks it
    // as placed (so that a dialog does not centre itself again when shown). Not knowing the frame
    // yet, Qt maps the window with its client area where it was moved to, so it is given the
    // client's corner. Qt's coordinates are device independent: each screen keeps its top-left
    // corner and is scaled from there.
    QWidget *widget = QWidget::find(w);
    if (!widget || !widget->isWindow())
        return false;
    const QWindow *window = widget->windowHandle();
    const qreal ratio = window ? window->devicePixelRatio() : 1.0;
    QPoint screenOrigin;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect logical = screen->geometry();
        if (QRect(logical.topLeft(), logical.size() * screen->devicePixelRatio()).contains(outer.topLeft()))
            screenOrigin = logical.topLeft();
    }
    const QRect client = outer.marginsRemoved(frame);
    const QPointF offset = QPointF(client.topLeft() - screenOrigin) / ratio;
    widget->move(screenOrigin + QPoint(RoundHalfEven(offset.x()), RoundHalfEven(offset.y())));
    widget->resize(std::max(1, RoundHalfEven(client.width() / ratio)),
                   std::max(1, RoundHalfEven(client.height() / ratio)));
    return true;
}

bool X11Platform::MoveWindow(WindowHandle w, int x, int y, int width, int height)
{
    if (!w || w == m_root || width <= 0 || height <= 0)
        return false;
    const QPoint origin = ReadLayout().origin;
    const QRect outer = QRect(x, y, width, height).translated(origin);
    const WindowFacts facts = Facts(w);
    if (!facts.exists)
        return false;

    xcb_connection_t *c = m_connection;
    const quint16 geometryMask =
        XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT;
    if (!facts.application) {
        // A control: its position is relative to the inside of its parent; the size excludes the border.
        const WindowFacts parent = Facts(facts.parent);
        const QPoint at = outer.topLeft() - parent.inner.topLeft();
        const std::array<quint32, 4> values{quint32(at.x()), quint32(at.y()),
                                            quint32(std::max(1, width - 2 * facts.border)),
                                            quint32(std::max(1, height - 2 * facts.border))};
        Quietly(c, xcb_configure_window_checked(c, w, geometryMask, values.data()));
        xcb_flush(c);
        return true;
    }

    QMargins frame = facts.frame;
    if (!facts.frameKnown && !facts.mapped && !facts.overrideRedirect)
        frame = RequestFrameExtents(w);
    QRect client = outer.marginsRemoved(frame);
    client.setSize(client.size().expandedTo(QSize(1, 1)));

    if (!facts.mapped && MoveOwnWidget(w, outer, frame))
        return true;

    if (facts.mapped && !facts.overrideRedirect && WindowManagerRunning()) {
        // The window manager moves its frame; static gravity makes x, y the client's own corner.
        const quint32 flags = StaticGravity | 0xf00 /* x, y, width, height */ | SourcePager << 12;
        SendToWindowManager(c, m_root, w, Atom("_NET_MOVERESIZE_WINDOW"),
                            {flags, quint32(client.x()), quint32(client.y()), quint32(client.width()),
                             quint32(client.height())});
        return WaitUntil([&] { return Facts(w).inner == client; }, WindowManagerWait);
    }

    // No window manager in between (or one that frames the window only when it is mapped, by the
    // gravity in its size hints: north-west puts the frame's corner at the window's position).
    QPoint at = client.topLeft();
    if (!facts.mapped && !frame.isNull()) {
        auto hints = Wait(c, xcb_get_property_reply,
                          xcb_get_property(c, 0, w, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 0, 18));
        quint32 gravity = NorthWestGravity;
        if (hints && hints->format == 32 && xcb_get_property_value_length(hints.get()) >= 72) {
            const auto *h = static_cast<const quint32 *>(xcb_get_property_value(hints.get()));
            if (h[0] & (1u << 9))  // PWinGravity
                gravity = h[17];
        }
        if (gravity != StaticGravity)
            at = outer.topLeft();
    }
    const std::array<quint32, 4> values{quint32(at.x()), quint32(at.y()), quint32(client.width()),
                                        quint32(client.height())};
    Quietly(c, xcb_configure_window_checked(c, w, geometryMask, values.data()));
    xcb_flush(c);
    return true;
}
