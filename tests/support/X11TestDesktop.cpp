// Helpers for tests on a private X11 desktop: monitors, a known pattern on the root window,
// waiting for Qt and the window manager, and other programs' windows.
#include "support/X11TestDesktop.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QThread>
#include <QUuid>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace X11TestDesktop {
namespace {
// A connection of the test's own, apart from Qt's.
struct Connection
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    ~Connection() { xcb_disconnect(c); }
    void Sync() { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }
};

QString Run(const QString &program, const QStringList &arguments, int timeoutMs = 10000)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QRect MonitorArgumentRect(const QString &monitor)
{
    static const QRegularExpression geometry(QStringLiteral(R"((\d+)(?:/\d+)?x(\d+)(?:/\d+)?\+(-?\d+)\+(-?\d+))"));
    const auto m = geometry.match(monitor);
    return m.hasMatch() ? QRect(m.captured(3).toInt(), m.captured(4).toInt(), m.captured(1).toInt(),
                                m.captured(2).toInt())
                        : QRect();
}

QSet<QString> ScreenRects()
{
    QSet<QString> rects;
    for (const QScreen *s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        const QRect native(g.topLeft(), g.size() * s->devicePixelRatio());
        rects.insert(QStringLiteral("%1,%2,%3,%4").arg(native.x()).arg(native.y()).arg(native.width()).arg(native.height()));
    }
    return rects;
}
}

bool WaitFor(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

bool SetMonitors(const QStringList &monitors)
{
    // Replacing a monitor that owns an output fails, so the old ones go first; the server shows
    // its automatic monitor in between.
    const QStringList lines = Run(QStringLiteral("xrandr"), {QStringLiteral("--listmonitors")}).split(QLatin1Char('\n'));
    for (const QString &line : lines.mid(1)) {
        QString name = line.simplified().section(QLatin1Char(' '), 1, 1);
        if (name.startsWith(QLatin1Char('+')))
            continue;  // the server's automatic monitor, which goes by itself
        if (name.startsWith(QLatin1Char('*')))
            name.remove(0, 1);
        if (!name.isEmpty())
            Run(QStringLiteral("xrandr"), {QStringLiteral("--delmonitor"), name});
    }
    // Fresh names each time: Qt follows monitors that come and go better than ones that change.
    static int generation = 0;
    ++generation;
    QSet<QString> expected;
    for (const QString &monitor : monitors) {
        QStringList arguments = monitor.split(QLatin1Char(' '));
        arguments[0] += QString::number(generation);
        Run(QStringLiteral("xrandr"), QStringList{QStringLiteral("--setmonitor")} + arguments);
        const QRect r = MonitorArgumentRect(monitor);
        expected.insert(QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()));
    }
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return true;
    if (WaitFor([&] { return ScreenRects() == expected; }))
        return true;
    qWarning() << "Qt's screens" << ScreenRects() << "instead of" << expected;
    return false;
}

int RootDepth()
{
    Connection x;
    return x.screen->root_depth;
}

// The pattern's stored pixel value at root (x, y): an index at depth 8, RGB 5-6-5 at 16, 0xRRGGBB at 24.
quint32 RootPatternValue(int depth, int x, int y)
{
    switch (depth) {
    case 8:
        return quint32(x * 7 + y * 13) & 0xff;
    case 16:
        return (quint32(x & 31) << 11) | (quint32(y & 63) << 5) | (quint32((x >> 5) + 3 * (y >> 6)) & 31);
    default:
        return (quint32(x & 0xff) << 16) | (quint32(y & 0xff) << 8) | (quint32((x >> 8) << 4 | (y >> 8)) & 0xff);
    }
}

// The stored pixel value of a screen copy (index, 16-bit value or 0xRRGGBB).
quint32 StoredValue(const QImage &image, int x, int y)
{
    switch (image.format()) {
    case QImage::Format_Indexed8:
        return quint32(image.pixelIndex(x, y));
    case QImage::Format_RGB16:
    case QImage::Format_RGB555:
        return reinterpret_cast<const quint16 *>(image.constScanLine(y))[x];
    default:
        return image.pixel(x, y) & 0xffffff;
    }
}

void PaintRootPattern()
{
    Connection x;
    const int depth = x.screen->root_depth;
    const int width = x.screen->width_in_pixels;
    const int height = x.screen->height_in_pixels;
    int bpp = 32;
    int pad = 32;
    for (auto it = xcb_setup_pixmap_formats_iterator(xcb_get_setup(x.c)); it.rem; xcb_format_next(&it))
        if (it.data->depth == depth) {
            bpp = it.data->bits_per_pixel;
            pad = it.data->scanline_pad;
        }
    const int stride = (width * bpp + pad - 1) / pad * pad / 8;
    const xcb_pixmap_t pixmap = xcb_generate_id(x.c);
    xcb_create_pixmap(x.c, uint8_t(depth), pixmap, x.screen->root, uint16_t(width), uint16_t(height));
    const xcb_gcontext_t gc = xcb_generate_id(x.c);
    xcb_create_gc(x.c, gc, pixmap, 0, nullptr);
    const int rowsPerRequest = std::max(1, int((xcb_get_maximum_request_length(x.c) * 4 - 1024) / stride));
    std::vector<uint8_t> strip;
    for (int top = 0; top < height; top += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, height - top);
        strip.assign(size_t(stride) * rows, 0);
        for (int y = 0; y < rows; ++y)
            for (int px = 0; px < width; ++px) {
                const quint32 v = RootPatternValue(depth, px, top + y);
                uint8_t *p = strip.data() + size_t(y) * stride + size_t(px) * (bpp / 8);
                std::memcpy(p, &v, size_t(bpp / 8));  // little-endian, as Xvfb stores images
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

QString CompareWithPattern(const QImage &copy, QPoint rootTopLeft, const std::function<bool(QPoint)> &black)
{
    if (copy.isNull())
        return QStringLiteral("no picture");
    Connection x;
    const int depth = x.screen->root_depth;
    const quint32 blackValue = copy.format() == QImage::Format_Indexed8 ? x.screen->black_pixel : 0;
    for (int y = 0; y < copy.height(); ++y)
        for (int px = 0; px < copy.width(); ++px) {
            const QPoint at = rootTopLeft + QPoint(px, y);
            const quint32 expected = black && black(at) ? blackValue : RootPatternValue(depth, at.x(), at.y());
            const quint32 actual = StoredValue(copy, px, y);
            if (actual != expected)
                return QStringLiteral("root %1,%2: %3 instead of %4")
                    .arg(at.x()).arg(at.y()).arg(actual, 0, 16).arg(expected, 0, 16);
            if (copy.format() == QImage::Format_RGB32 && qAlpha(copy.pixel(px, y)) != 255)
                return QStringLiteral("root %1,%2: not opaque").arg(at.x()).arg(at.y());
        }
    return {};
}

void SetRootCardinals(const char *property, const QList<quint32> &values)
{
    Connection x;
    auto *atom = xcb_intern_atom_reply(x.c, xcb_intern_atom(x.c, 0, uint16_t(std::strlen(property)), property), nullptr);
    if (!atom)
        return;
    if (values.isEmpty())
        xcb_delete_property(x.c, x.screen->root, atom->atom);
    else
        xcb_change_property(x.c, XCB_PROP_MODE_REPLACE, x.screen->root, atom->atom, XCB_ATOM_CARDINAL, 32,
                            uint32_t(values.size()), values.constData());
    std::free(atom);
    x.Sync();
}

ForeignWindow::~ForeignWindow()
{
    if (process) {
        process->kill();
        process->waitForFinished();
    }
}

std::unique_ptr<ForeignWindow> StartXMessage(QPoint position, const QString &text)
{
    auto result = std::make_unique<ForeignWindow>();
    const QString title = QStringLiteral("xmessage-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    result->process = std::make_unique<QProcess>();
    result->process->start(QStringLiteral("xmessage"),
                           {QStringLiteral("-geometry"), QStringLiteral("+%1+%2").arg(position.x()).arg(position.y()),
                            QStringLiteral("-title"), title, QStringLiteral("-buttons"),
                            QStringLiteral("Ja:0,Nein:1"), text});
    if (!result->process->waitForStarted())
        return result;
    const QString found = Run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--sync"),
                                                        QStringLiteral("--onlyvisible"), QStringLiteral("--name"), title});
    result->window = found.section(QLatin1Char('\n'), 0, 0).trimmed().toUInt();
    return result;
}

QList<quint32> ChildWindows(quint32 window)
{
    Connection x;
    QList<quint32> children;
    if (auto *tree = xcb_query_tree_reply(x.c, xcb_query_tree(x.c, window), nullptr)) {
        const xcb_window_t *list = xcb_query_tree_children(tree);
        children = QList<quint32>(list, list + xcb_query_tree_children_length(tree));
        std::free(tree);
    }
    return children;
}

QRect RootGeometry(quint32 window)
{
    Connection x;
    auto *geometry = xcb_get_geometry_reply(x.c, xcb_get_geometry(x.c, window), nullptr);
    auto *position = xcb_translate_coordinates_reply(x.c, xcb_translate_coordinates(x.c, window, x.screen->root, 0, 0), nullptr);
    QRect r;
    if (geometry && position) {
        const int b = geometry->border_width;
        r = QRect(position->dst_x - b, position->dst_y - b, geometry->width + 2 * b, geometry->height + 2 * b);
    }
    std::free(geometry);
    std::free(position);
    return r;
}

quint32 TopLevelAncestor(quint32 window)
{
    Connection x;
    while (auto *tree = xcb_query_tree_reply(x.c, xcb_query_tree(x.c, window), nullptr)) {
        const quint32 parent = tree->parent;
        std::free(tree);
        if (!parent || parent == x.screen->root)
            return window;
        window = parent;
    }
    return 0;
}

quint32 InnermostWindowAt(QPoint p)
{
    Connection x;
    xcb_window_t window = x.screen->root;
    for (;;) {
        auto *hit = xcb_translate_coordinates_reply(
            x.c, xcb_translate_coordinates(x.c, x.screen->root, window, int16_t(p.x()), int16_t(p.y())), nullptr);
        const xcb_window_t child = hit ? hit->child : 0;
        std::free(hit);
        if (!child)
            return window;
        window = child;
    }
}

QList<quint32> ClientStacking()
{
    Connection x;
    const char name[] = "_NET_CLIENT_LIST_STACKING";
    auto *atom = xcb_intern_atom_reply(x.c, xcb_intern_atom(x.c, 0, uint16_t(sizeof name - 1), name), nullptr);
    QList<quint32> windows;
    if (!atom)
        return windows;
    auto *reply = xcb_get_property_reply(
        x.c, xcb_get_property(x.c, 0, x.screen->root, atom->atom, XCB_ATOM_WINDOW, 0, 1024), nullptr);
    if (reply && reply->format == 32) {
        const auto *list = static_cast<const quint32 *>(xcb_get_property_value(reply));
        windows = QList<quint32>(list, list + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    std::free(atom);
    return windows;
}

Panel::~Panel()
{
    if (connection)
        xcb_disconnect(connection);
}

std::unique_ptr<Panel> StartBottomPanel(const QRect &rect)
{
    auto panel = std::make_unique<Panel>();
    xcb_connection_t *c = panel->connection = xcb_connect(nullptr, nullptr);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const auto atom = [&](const char *name) {
        auto *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return a;
    };
    const xcb_window_t w = xcb_generate_id(c);
    const uint32_t background = screen->white_pixel;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, int16_t(rect.x()), int16_t(rect.y()),
                      uint16_t(rect.width()), uint16_t(rect.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL, &background);
    const xcb_atom_t dock = atom("_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &dock);
    // left, right, top, bottom, then the start and end of each strip along its edge
    const uint32_t strut[12] = {0, 0, 0, uint32_t(screen->height_in_pixels - rect.y()), 0, 0, 0, 0, 0, 0,
                                uint32_t(rect.left()), uint32_t(rect.right())};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL, 32, 12, strut);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_STRUT"), XCB_ATOM_CARDINAL, 32, 4, strut);
    xcb_map_window(c, w);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return panel;
}

void FillWindow(quint32 window, quint32 pixel, const QRect &rect)
{
    Connection x;
    if (!window)
        window = x.screen->root;
    const xcb_gcontext_t gc = xcb_generate_id(x.c);
    xcb_create_gc(x.c, gc, window, XCB_GC_FOREGROUND, &pixel);
    const xcb_rectangle_t r{qint16(rect.x()), qint16(rect.y()), quint16(rect.width()), quint16(rect.height())};
    xcb_poly_fill_rectangle(x.c, window, gc, 1, &r);
    xcb_free_gc(x.c, gc);
    x.Sync();
}
}
