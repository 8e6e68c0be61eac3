// Shared by tests on a private X11 desktop: a root pattern of positions, other programs run.
#pragma once

#include <QtGui>
#include <QtTest>

#include "support/XTools.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace X11TestDesktop {

// A connection of the test's own, apart from Qt's.
struct Connection
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    ~Connection() { xcb_disconnect(c); }
    void Sync() { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }
    xcb_atom_t Atom(const char *name)
    {
        auto *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }
};

inline bool IsAbove(quint32 window) { return Run(QStringLiteral("xprop"), {"-id", QString::number(window), "_NET_WM_STATE"}).contains("_ABOVE"); }

// The pattern's stored pixel value at root (x, y): an index at depth 8, RGB 5-6-5 at 16, 0xRRGGBB at 24.
inline quint32 PatternValue(int depth, int x, int y)
{
    if (depth == 8)
        return quint32(x * 7 + y * 13) & 0xff;
    if (depth == 16)
        return (quint32(x & 31) << 11) | (quint32(y & 63) << 5) | (quint32((x >> 5) + 3 * (y >> 6)) & 31);
    return (quint32(x & 0xff) << 16) | (quint32(y & 0xff) << 8) | (quint32((x >> 8) << 4 | (y >> 8)) & 0xff);
}

// Makes the pattern the root window's background (every depth the tests run at).
inline void PaintRootPattern()
{
    Connection x;
    const int depth = x.screen->root_depth, width = x.screen->width_in_pixels, height = x.screen->height_in_pixels;
    const int bytes = depth == 8 ? 1 : depth == 16 ? 2 : 4;  // Xvfb's pixmap formats, rows padded to 32 bits
    const int stride = (width * bytes + 3) / 4 * 4;
    const xcb_pixmap_t pixmap = xcb_generate_id(x.c);
    xcb_create_pixmap(x.c, uint8_t(depth), pixmap, x.screen->root, uint16_t(width), uint16_t(height));
    const xcb_gcontext_t gc = xcb_generate_id(x.c);
    xcb_create_gc(x.c, gc, pixmap, 0, nullptr);
    const int rowsPerRequest = int((xcb_get_maximum_request_length(x.c) * 4 - 1024) / stride);
    for (int top = 0; top < height; top += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, height - top);
        std::vector<uint8_t> strip(size_t(stride) * rows);
        for (int y = 0; y < rows; ++y)
            for (int px = 0; px < width; ++px) {
                const quint32 v = PatternValue(depth, px, top + y);
                std::memcpy(strip.data() + size_t(y) * stride + size_t(px) * bytes, &v, size_t(bytes));
            }
        xcb_put_image(x.c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, uint16_t(width), uint16_t(rows), 0, int16_t(top), 0,
                      uint8_t(depth), uint32_t(strip.size()), strip.data());
    }
    xcb_change_window_attributes(x.c, x.screen->root, XCB_CW_BACK_PIXMAP, &pixmap);
    xcb_clear_area(x.c, 0, x.screen->root, 0, 0, 0, 0);
    xcb_free_gc(x.c, gc);
    xcb_free_pixmap(x.c, pixmap);
    x.Sync();
}

// Compares a copy with the pattern from root position rootTopLeft on, black where black() says.
// An empty text when they agree, else the first difference.
inline QString CompareWithPattern(const QImage &copy, QPoint rootTopLeft, const std::function<bool(QPoint)> &black = {})
{
    Connection x;
    const bool indexed = copy.format() == QImage::Format_Indexed8, rgb16 = copy.format() == QImage::Format_RGB16;
    for (int y = 0; y < copy.height(); ++y)
        for (int px = 0; px < copy.width(); ++px) {
            const QPoint at = rootTopLeft + QPoint(px, y);
            const quint32 expected = !black || !black(at) ? PatternValue(x.screen->root_depth, at.x(), at.y())
                                     : indexed ? x.screen->black_pixel : 0;
            const quint32 actual = indexed ? quint32(copy.pixelIndex(px, y))
                                 : rgb16   ? reinterpret_cast<const quint16 *>(copy.constScanLine(y))[px]
                                           : copy.pixel(px, y) & 0xffffffu;
            if (actual != expected || (!indexed && !rgb16 && qAlpha(copy.pixel(px, y)) != 255))
                return QStringLiteral("root %1,%2: %3 instead of %4").arg(at.x()).arg(at.y()).arg(actual, 0, 16).arg(expected, 0, 16);
        }
    return copy.isNull() ? QStringLiteral("no picture") : QString();
}

// Another program's top-level window (xmessage with two buttons), found once it is mapped.
struct ForeignWindow
{
    QProcess process;
    quint32 window = 0;  // the application window, the one the window manager frames
    ~ForeignWindow() { process.kill(), process.waitForFinished(); }
};
inline std::unique_ptr<ForeignWindow> StartXMessage(QPoint root, const QString &title)
{
    auto result = std::make_unique<ForeignWindow>();
    result->process.start(QStringLiteral("xmessage"), {QStringLiteral("-geometry"), QStringLiteral("+%1+%2").arg(root.x()).arg(root.y()),
                                                       QStringLiteral("-title"), title, QStringLiteral("-buttons"),
                                                       QStringLiteral("Ja:0,Nein:1"), QStringLiteral("Bildschirm kopieren?")});
    const QString search = QStringLiteral("search --sync --onlyvisible --name ^%1$").arg(title);
    result->window = Run(QStringLiteral("xdotool"), search.split(QLatin1Char(' '))).split('\n').first().trimmed().toUInt();
    return result;
}

}
