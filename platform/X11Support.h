// Small helpers for talking xcb: owned replies, errors dropped where a vanished window is normal.
#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
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
}
