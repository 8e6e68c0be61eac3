// Handing the clipboard to the desktop's clipboard manager before the program ends (X11).
#include "platform/X11ClipboardManager.h"

#include "platform/X11Support.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <vector>

namespace X11ClipboardManager {

namespace {
xcb_atom_t Atom(xcb_connection_t *c, const QByteArray &name)
{
    const auto reply = x11::Wait(c, xcb_intern_atom_reply, xcb_intern_atom(c, 0, quint16(name.size()), name.constData()));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t SelectionOwner(xcb_connection_t *c, xcb_atom_t selection)
{
    const auto reply = x11::Wait(c, xcb_get_selection_owner_reply, xcb_get_selection_owner(c, selection));
    return reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
}

struct Connection
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    ~Connection() { xcb_disconnect(c); }
};
}

bool SaveClipboard(const QByteArrayList &formats, int timeoutMs)
{
    if (!qApp || !qApp->nativeInterface<QNativeInterface::QX11Application>())
        return false;
    // A connection of its own: the manager's answer must not reach Qt's clipboard code.
    Connection connection;
    xcb_connection_t *c = connection.c;
    if (xcb_connection_has_error(c))
        return false;
    const xcb_atom_t managerSelection = Atom(c, "CLIPBOARD_MANAGER");
    const xcb_window_t manager = SelectionOwner(c, managerSelection);
    if (manager == XCB_WINDOW_NONE)
        return false;
    const xcb_atom_t clipboard = Atom(c, "CLIPBOARD");
    const xcb_atom_t property = Atom(c, "_PIXOLVA_SAVE_TARGETS");
    std::vector<xcb_atom_t> targets;
    for (const QByteArray &format : formats)
        targets.push_back(Atom(c, format));

    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_ATOM, 32, quint32(targets.size()),
                        targets.data());
    xcb_convert_selection(c, window, managerSelection, Atom(c, "SAVE_TARGETS"), property,
                          XCB_CURRENT_TIME);
    xcb_flush(c);

    // Windows of one client share the bits outside the resource mask: the manager itself owns
    // the clipboard, not some other program that took it meanwhile.
    const quint32 clientBits = ~xcb_get_setup(c)->resource_id_mask;
    bool saved = false;
    QEventLoop loop;
    const auto check = [&] {
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            if ((event->response_type & 0x7f) == XCB_SELECTION_NOTIFY) {
                const auto *notify = reinterpret_cast<const xcb_selection_notify_event_t *>(event);
                if (notify->property == XCB_ATOM_NONE)
                    loop.quit();  // refused
                saved = notify->property != XCB_ATOM_NONE;
            }
            std::free(event);
        }
        if (xcb_connection_has_error(c))
            loop.quit();
        if (saved && (SelectionOwner(c, clipboard) & clientBits) == (manager & clientBits))
            loop.quit();
    };
    QSocketNotifier answer(xcb_get_file_descriptor(c), QSocketNotifier::Read);
    QObject::connect(&answer, &QSocketNotifier::activated, &loop, check);
    // The manager may take the clipboard a moment after its answer.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, check);
    poll.start(20);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    const bool owned = saved && (SelectionOwner(c, clipboard) & clientBits) == (manager & clientBits);
    xcb_destroy_window(c, window);
    xcb_flush(c);
    return owned;
}

}
