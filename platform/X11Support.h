// Small helpers for talking xcb: owned replies, errors dropped where a vanished window is normal.
#pragma once

#include <QtGlobal>

#include <xcb/xcb.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <type_traits>

namespace x11 {
struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};

template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

// Waits for the reply to a request. An X error (typically a window that went away meanwhile)
// gives a null reply; the error is freed here so that it never reaches Qt's error log.
template <typename ReplyFunction, typename Cookie>
auto Wait(xcb_connection_t *c, ReplyFunction reply, Cookie cookie)
{
    xcb_generic_error_t *error = nullptr;
    using T = std::remove_pointer_t<decltype(reply(c, cookie, &error))>;
    Reply<T> result(reply(c, cookie, &error));
    std::free(error);
    return result;
}

// A request without a reply whose failure is of no interest (the window may be gone).
inline void Quietly(xcb_connection_t *c, xcb_void_cookie_t cookie)
{
    xcb_discard_reply(c, cookie.sequence);
}

// Polls until done() holds or the time is up: the window manager acts in its own time.
template <typename Condition>
bool WaitUntil(Condition done, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// EWMH requests go to the root window as client messages that only the window manager hears.
inline void SendToWindowManager(xcb_connection_t *c, xcb_window_t root, xcb_window_t w, xcb_atom_t type,
                                const std::array<quint32, 5> &data)
{
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = w;
    event.type = type;
    for (size_t i = 0; i < data.size(); ++i)
        event.data.data32[i] = data[i];
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(c);
}

// Activation and moves through the window manager take effect within this time.
inline constexpr auto WindowManagerWait = std::chrono::milliseconds(1000);
// EWMH source indication of a pager: obeyed without focus-stealing checks.
inline constexpr quint32 SourcePager = 2;
}
