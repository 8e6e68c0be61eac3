// Copies of the root window into images, in the screen's pixel format.
#include "platform/X11ScreenCopy.h"

#include "platform/X11Support.h"

#include <xcb/render.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

using x11::Wait;

namespace {
// Below this, a plain GetImage is as fast as the shared-memory round trip.
constexpr qsizetype SharedMemoryThreshold = 64 * 1024;

int ShiftOf(quint32 mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// A colour channel scaled from its mask's width to 8 bits.
int Channel(quint32 pixel, quint32 mask)
{
    if (!mask)
        return 0;
    const int shift = ShiftOf(mask);
    const quint32 max = mask >> shift;
    return int(((pixel & mask) >> shift) * 255 / max);
}
}

struct X11ScreenCopy::Segment
{
    quint32 id = 0;
    int shmId = -1;
    uchar *data = nullptr;
    size_t size = 0;
    // A 32-bit pixmap on the segment, for copies through Render; made on first use.
    quint32 pixmap = 0;
    quint32 picture = 0;
    QSize pixmapSize;
};

// Shared-memory segments attached to the server. The pool outlives the copier when images made on
// a segment are still held; the connection may be gone by the time they are released.
class X11ScreenCopy::SegmentPool
{
public:
    static void ForgetPixmap(xcb_connection_t *c, Segment &segment)
    {
        if (segment.picture)
            xcb_render_free_picture(c, segment.picture);
        if (segment.pixmap)
            xcb_free_pixmap(c, segment.pixmap);
        segment.picture = segment.pixmap = 0;
        segment.pixmapSize = QSize();
    }

    explicit SegmentPool(xcb_connection_t *c) : m_connection(c) {}
    ~SegmentPool() { Close(); }

    // A segment of at least size bytes, or null when MIT-SHM cannot be used.
    std::unique_ptr<Segment> Take(size_t size)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_connection || m_broken)
            return nullptr;
        m_keep = true;
        std::unique_ptr<Segment> segment;
        // The kept segment serves when it is not far too large for this copy.
        if (m_idle && m_idle->size >= size && m_idle->size / 4 <= size)
            segment = std::move(m_idle);
        else
            segment = Create(size);
        if (segment)
            m_lent.push_back(segment.get());
        return segment;
    }

    // Keeps the segment for the next copy (one at most) or frees it.
    void Give(std::unique_ptr<Segment> segment)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lent.erase(std::remove(m_lent.begin(), m_lent.end(), segment.get()), m_lent.end());
        if (!m_connection || !m_keep || !segment->id)
            Destroy(std::move(segment));
        else if (!m_idle)
            m_idle = std::move(segment);
        else if (m_idle->size < segment->size)
            Destroy(std::exchange(m_idle, std::move(segment)));
        else
            Destroy(std::move(segment));
    }

    // No copy for a while: the kept segment goes, and the server lets go of the segments that
    // images still hold, whose memory then goes with the images. The next copy makes a new one.
    void GiveBack()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_keep = false;
        Destroy(std::move(m_idle));
        if (!m_connection)
            return;
        for (Segment *segment : m_lent)
            Detach(*segment);
        xcb_flush(m_connection);
    }

    void Close()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Destroy(std::move(m_idle));
        m_connection = nullptr;
    }

private:
    std::unique_ptr<Segment> Create(size_t size)
    {
        auto segment = std::make_unique<Segment>();
        segment->size = size;
        segment->shmId = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
        if (segment->shmId < 0) {
            m_broken = true;
            return nullptr;
        }
        void *address = shmat(segment->shmId, nullptr, 0);
        if (address == reinterpret_cast<void *>(-1)) {
            shmctl(segment->shmId, IPC_RMID, nullptr);
            m_broken = true;
            return nullptr;
        }
        segment->data = static_cast<uchar *>(address);
        segment->id = xcb_generate_id(m_connection);
        xcb_generic_error_t *error =
            xcb_request_check(m_connection, xcb_shm_attach_checked(m_connection, segment->id, segment->shmId, 0));
        // Marked for removal at once: the kernel frees it when both sides have let go, also when
        // the program ends without tidying up.
        shmctl(segment->shmId, IPC_RMID, nullptr);
        if (error) {
            // A server on another machine cannot see our memory: stay with GetImage from now on.
            std::free(error);
            shmdt(segment->data);
            m_broken = true;
            return nullptr;
        }
        return segment;
    }

    // The server's side of the segment: its pixmap and its attachment.
    void Detach(Segment &segment)
    {
        if (!segment.id)
            return;
        ForgetPixmap(m_connection, segment);
        xcb_shm_detach(m_connection, segment.id);
        segment.id = 0;
    }

    void Destroy(std::unique_ptr<Segment> segment)
    {
        if (!segment)
            return;
        if (m_connection) {
            Detach(*segment);
            xcb_flush(m_connection);
        }
        shmdt(segment->data);
    }

    std::mutex m_mutex;
    xcb_connection_t *m_connection;
    std::unique_ptr<Segment> m_idle;
    std::vector<Segment *> m_lent;  // taken and not given back yet
    bool m_keep = true;             // a copy was taken a moment ago: keep a segment for the next
    bool m_broken = false;
};

namespace {
// What an image made on a segment carries until its last holder lets go.
struct Lease
{
    std::shared_ptr<X11ScreenCopy::SegmentPool> pool;
    std::unique_ptr<X11ScreenCopy::Segment> segment;
};

void ReturnSegment(void *info)
{
    auto *lease = static_cast<Lease *>(info);
    lease->pool->Give(std::move(lease->segment));
    delete lease;
}
}

X11ScreenCopy::X11ScreenCopy(xcb_connection_t *connection, const xcb_screen_t *screen, int giveBackAfterMs)
    : m_connection(connection), m_root(screen->root), m_rootVisual(screen->root_visual),
      m_layout(ReadPixelLayout(connection, screen))
{
    const xcb_query_extension_reply_t *shm = xcb_get_extension_data(m_connection, &xcb_shm_id);
    if (shm && shm->present) {
        if (auto version = Wait(m_connection, xcb_shm_query_version_reply, xcb_shm_query_version(m_connection))) {
            m_pool = std::make_shared<SegmentPool>(m_connection);
            m_sharedPixmaps = version->shared_pixmaps;
        }
    }
    m_giveBack.setSingleShot(true);
    m_giveBack.setInterval(giveBackAfterMs);
    QObject::connect(&m_giveBack, &QTimer::timeout, &m_giveBack, [pool = m_pool] {
        if (pool)
            pool->GiveBack();
    });
}

X11ScreenCopy::~X11ScreenCopy()
{
    ConnectionClosing();
}

void X11ScreenCopy::ConnectionClosing()
{
    m_giveBack.stop();
    if (m_pool)
        m_pool->Close();
    if (m_render.rootPicture)
        xcb_render_free_picture(m_connection, m_render.rootPicture);
    m_render = RenderPath{};
    m_render.tried = true;
}

X11ScreenCopy::PixelLayout X11ScreenCopy::ReadPixelLayout(xcb_connection_t *c, const xcb_screen_t *screen)
{
    PixelLayout layout;
    const xcb_setup_t *setup = xcb_get_setup(c);
    layout.lsbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    layout.colormap = screen->default_colormap;
    layout.blackPixel = screen->black_pixel;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
        if (it.data->depth == screen->root_depth) {
            layout.bitsPerPixel = it.data->bits_per_pixel;
            layout.scanlinePad = it.data->scanline_pad;
        }
    }
    const xcb_visualtype_t *visual = nullptr;
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem && !visual; xcb_depth_next(&depths))
        for (auto v = xcb_depth_visuals_iterator(depths.data); v.rem; xcb_visualtype_next(&v))
            if (v.data->visual_id == screen->root_visual)
                visual = v.data;
    if (!visual)
        return layout;

    layout.red = visual->red_mask;
    layout.green = visual->green_mask;
    layout.blue = visual->blue_mask;
    layout.colormapEntries = visual->colormap_entries;
    const int bpp = layout.bitsPerPixel;
    switch (visual->_class) {
    case XCB_VISUAL_CLASS_PSEUDO_COLOR:
    case XCB_VISUAL_CLASS_STATIC_COLOR:
    case XCB_VISUAL_CLASS_GRAY_SCALE:
    case XCB_VISUAL_CLASS_STATIC_GRAY:
        layout.indexed = true;
        if (bpp == 8) {
            layout.format = QImage::Format_Indexed8;
            layout.asDelivered = true;
        }
        break;
    default: {
        const auto masks = [&](quint32 r, quint32 g, quint32 b) {
            return layout.red == r && layout.green == g && layout.blue == b && layout.lsbFirst;
        };
        if (bpp == 32 && masks(0xff0000, 0xff00, 0xff))
            layout.format = QImage::Format_RGB32;
        else if (bpp == 16 && masks(0xf800, 0x7e0, 0x1f))
            layout.format = QImage::Format_RGB16;
        else if (bpp == 16 && masks(0x7c00, 0x3e0, 0x1f))
            layout.format = QImage::Format_RGB555;
        layout.asDelivered = layout.format != QImage::Format_Invalid;
        // Any other true-colour layout is converted pixel by pixel.
        if (!layout.asDelivered && (bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32))
            layout.format = QImage::Format_RGB32;
        break;
    }
    }
    return layout;
}

qsizetype X11ScreenCopy::BytesPerLine(int width) const
{
    const qsizetype bits = qsizetype(width) * m_layout.bitsPerPixel;
    const qsizetype pad = m_layout.scanlinePad;
    return (bits + pad - 1) / pad * pad / 8;
}

QImage X11ScreenCopy::NewImage(QSize size) const
{
    QImage image(size, m_layout.format);
    if (image.isNull())
        return image;
    if (m_layout.format == QImage::Format_Indexed8) {
        image.setColorCount(256);
        image.fill(m_layout.blackPixel);
    } else {
        image.fill(Qt::black);
    }
    return image;
}

// Makes the delivered pixels a sound image: opaque, with the colour map where there is one.
void X11ScreenCopy::Finish(QImage &image) const
{
    if (image.format() == QImage::Format_RGB32) {
        // The server leaves the byte above a 24-bit pixel undefined; Qt expects it to be 0xff.
        for (int y = 0; y < image.height(); ++y) {
            auto *p = reinterpret_cast<quint32 *>(image.scanLine(y));
            for (int x = 0, n = image.width(); x < n; ++x)
                p[x] |= 0xff000000u;
        }
    }
    if (image.format() == QImage::Format_Indexed8) {
        // The colour map as it is now: a palette display may change it at any time.
        QList<QRgb> table(256, qRgb(0, 0, 0));
        const int entries = std::min(m_layout.colormapEntries, 256);
        std::vector<quint32> pixels(static_cast<size_t>(entries));
        for (int i = 0; i < entries; ++i)
            pixels[size_t(i)] = quint32(i);
        auto colours = Wait(m_connection, xcb_query_colors_reply,
                            xcb_query_colors(m_connection, m_layout.colormap, quint32(entries), pixels.data()));
        if (colours) {
            const xcb_rgb_t *rgb = xcb_query_colors_colors(colours.get());
            const int n = std::min(entries, xcb_query_colors_colors_length(colours.get()));
            for (int i = 0; i < n; ++i)
                table[i] = qRgb(rgb[i].red >> 8, rgb[i].green >> 8, rgb[i].blue >> 8);
        }
        image.setColorTable(table);
    }
}

void X11ScreenCopy::ConvertRow(const uchar *from, uchar *to, int width) const
{
    if (m_layout.asDelivered) {
        std::memcpy(to, from, size_t(width) * size_t(m_layout.bitsPerPixel / 8));
        return;
    }
    const int bytes = m_layout.bitsPerPixel / 8;
    auto *out = reinterpret_cast<QRgb *>(to);
    for (int x = 0; x < width; ++x) {
        const uchar *p = from + qsizetype(x) * bytes;
        quint32 pixel = 0;
        for (int i = 0; i < bytes; ++i)
            pixel |= quint32(p[m_layout.lsbFirst ? i : bytes - 1 - i]) << (8 * i);
        out[x] = qRgb(Channel(pixel, m_layout.red), Channel(pixel, m_layout.green), Channel(pixel, m_layout.blue));
    }
}

// Reads r (root coordinates, wholly inside the root window) into the image at the given position.
bool X11ScreenCopy::Fetch(const QRect &r, QImage &into, QPoint at)
{
    const qsizetype stride = BytesPerLine(r.width());
    const qsizetype bytes = stride * r.height();
    const auto copyRows = [&](const uchar *data) {
        for (int y = 0; y < r.height(); ++y)
            ConvertRow(data + y * stride, into.scanLine(at.y() + y) + qsizetype(at.x()) * into.depth() / 8, r.width());
    };
    if (m_pool && bytes >= SharedMemoryThreshold) {
        if (std::unique_ptr<Segment> segment = m_pool->Take(size_t(bytes))) {
            m_giveBack.start();
            auto reply = Wait(m_connection, xcb_shm_get_image_reply,
                              xcb_shm_get_image(m_connection, m_root, int16_t(r.x()), int16_t(r.y()), uint16_t(r.width()),
                                                uint16_t(r.height()), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, segment->id, 0));
            if (reply)
                copyRows(segment->data);
            m_pool->Give(std::move(segment));
            if (reply)
                return true;
        }
    }
    auto reply = Wait(m_connection, xcb_get_image_reply,
                      xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, int16_t(r.x()), int16_t(r.y()),
                                    uint16_t(r.width()), uint16_t(r.height()), ~0u));
    if (!reply || xcb_get_image_data_length(reply.get()) < bytes)
        return false;
    copyRows(xcb_get_image_data(reply.get()));
    return true;
}

bool X11ScreenCopy::IsSmall(QSize size) const
{
    return BytesPerLine(size.width()) * size.height() < SharedMemoryThreshold;
}

unsigned int X11ScreenCopy::RequestArea(const QRect &area)
{
    return xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, int16_t(area.x()), int16_t(area.y()),
                         uint16_t(area.width()), uint16_t(area.height()), ~0u)
        .sequence;
}

QImage X11ScreenCopy::ReceiveArea(unsigned int request, const QRect &area)
{
    auto reply = Wait(m_connection, xcb_get_image_reply, xcb_get_image_cookie_t{request});
    const qsizetype stride = BytesPerLine(area.width());
    if (!reply || xcb_get_image_data_length(reply.get()) < stride * area.height())
        return {};
    QImage image(area.size(), m_layout.format);
    if (image.isNull())
        return image;
    const uchar *data = xcb_get_image_data(reply.get());
    for (int y = 0; y < area.height(); ++y)
        ConvertRow(data + y * stride, image.scanLine(y), area.width());
    Finish(image);
    return image;
}

void X11ScreenCopy::DiscardArea(unsigned int request)
{
    xcb_discard_reply(m_connection, request);
}

// Render's pictures for the root window and for a 32-bit pixmap, looked up on the first large copy
// rather than at start-up. False when the server lacks Render or shared-memory pixmaps.
bool X11ScreenCopy::PrepareRender()
{
    if (m_render.tried)
        return m_render.rootPicture != 0;
    m_render.tried = true;
    if (!m_sharedPixmaps || m_layout.format != QImage::Format_RGB32 || !m_layout.asDelivered)
        return false;
    const xcb_query_extension_reply_t *render = xcb_get_extension_data(m_connection, &xcb_render_id);
    if (!render || !render->present)
        return false;
    // Rows of a 32-bit pixmap must be the image's rows, unpadded.
    bool unpadded = false;
    for (auto it = xcb_setup_pixmap_formats_iterator(xcb_get_setup(m_connection)); it.rem; xcb_format_next(&it))
        if (it.data->depth == 32)
            unpadded = it.data->bits_per_pixel == 32 && it.data->scanline_pad == 32;
    if (!unpadded)
        return false;
    auto version = Wait(m_connection, xcb_render_query_version_reply, xcb_render_query_version(m_connection, 0, 11));
    auto formats = Wait(m_connection, xcb_render_query_pict_formats_reply, xcb_render_query_pict_formats(m_connection));
    if (!version || !formats)
        return false;
    quint32 rootFormat = 0;
    for (auto s = xcb_render_query_pict_formats_screens_iterator(formats.get()); s.rem; xcb_render_pictscreen_next(&s))
        for (auto d = xcb_render_pictscreen_depths_iterator(s.data); d.rem; xcb_render_pictdepth_next(&d))
            for (auto v = xcb_render_pictdepth_visuals_iterator(d.data); v.rem; xcb_render_pictvisual_next(&v))
                if (v.data->visual == m_rootVisual)
                    rootFormat = v.data->format;
    for (auto f = xcb_render_query_pict_formats_formats_iterator(formats.get()); f.rem; xcb_render_pictforminfo_next(&f)) {
        const xcb_render_directformat_t &d = f.data->direct;
        if (f.data->type == XCB_RENDER_PICT_TYPE_DIRECT && f.data->depth == 32 && d.alpha_mask == 0xff
            && d.alpha_shift == 24 && d.red_mask == 0xff && d.red_shift == 16 && d.green_mask == 0xff
            && d.green_shift == 8 && d.blue_mask == 0xff && d.blue_shift == 0)
            m_render.argbFormat = f.data->id;
    }
    if (!rootFormat || !m_render.argbFormat)
        return false;
    // The root as the screen shows it: the windows on it included.
    const quint32 root = xcb_generate_id(m_connection);
    const uint32_t includeInferiors = XCB_SUBWINDOW_MODE_INCLUDE_INFERIORS;
    if (xcb_generic_error_t *error = xcb_request_check(
            m_connection, xcb_render_create_picture_checked(m_connection, root, m_root, rootFormat,
                                                             XCB_RENDER_CP_SUBWINDOW_MODE, &includeInferiors))) {
        std::free(error);
        return false;
    }
    m_render.rootPicture = root;
    return true;
}

// Render copies the screen's pixels into a 32-bit pixmap on the segment and sets every alpha byte
// on the way, in the same pass as the copy: the image needs no pass of its own to be opaque.
bool X11ScreenCopy::CopyThroughRender(const QRect &area, Segment &segment)
{
    const auto failed = [&](xcb_generic_error_t *error) {
        std::free(error);
        SegmentPool::ForgetPixmap(m_connection, segment);
        return false;
    };
    if (segment.pixmapSize != area.size()) {
        SegmentPool::ForgetPixmap(m_connection, segment);
        segment.pixmap = xcb_generate_id(m_connection);
        if (xcb_generic_error_t *error = xcb_request_check(
                m_connection, xcb_shm_create_pixmap_checked(m_connection, segment.pixmap, m_root, uint16_t(area.width()),
                                                            uint16_t(area.height()), 32, segment.id, 0))) {
            segment.pixmap = 0;
            return failed(error);
        }
        segment.picture = xcb_generate_id(m_connection);
        if (xcb_generic_error_t *error = xcb_request_check(
                m_connection, xcb_render_create_picture_checked(m_connection, segment.picture, segment.pixmap,
                                                                m_render.argbFormat, 0, nullptr))) {
            segment.picture = 0;
            return failed(error);
        }
        segment.pixmapSize = area.size();
    }
    // The check waits for the server to finish: the pixels are in the segment when it returns.
    if (xcb_generic_error_t *error = xcb_request_check(
            m_connection, xcb_render_composite_checked(m_connection, XCB_RENDER_PICT_OP_SRC, m_render.rootPicture, 0,
                                                       segment.picture, int16_t(area.x()), int16_t(area.y()), 0, 0,
                                                       0, 0, uint16_t(area.width()), uint16_t(area.height()))))
        return failed(error);
    return true;
}

// The whole copy made on a shared-memory segment that the image then keeps.
QImage X11ScreenCopy::CopyOnSegment(const QRect &area, bool *opaque)
{
    const qsizetype stride = BytesPerLine(area.width());
    std::unique_ptr<Segment> segment = m_pool->Take(size_t(stride * area.height()));
    if (!segment)
        return {};
    m_giveBack.start();
    *opaque = false;
    if (PrepareRender()) {
        *opaque = CopyThroughRender(area, *segment);
        if (!*opaque) {
            // Not again: the plain copy below serves from now on.
            xcb_render_free_picture(m_connection, m_render.rootPicture);
            m_render.rootPicture = 0;
        }
    }
    if (!*opaque) {
        auto reply = Wait(m_connection, xcb_shm_get_image_reply,
                          xcb_shm_get_image(m_connection, m_root, int16_t(area.x()), int16_t(area.y()),
                                            uint16_t(area.width()), uint16_t(area.height()), ~0u,
                                            XCB_IMAGE_FORMAT_Z_PIXMAP, segment->id, 0));
        if (!reply) {
            m_pool->Give(std::move(segment));
            return {};
        }
    }
    uchar *data = segment->data;
    auto *lease = new Lease{m_pool, std::move(segment)};
    QImage image(data, area.width(), area.height(), stride, m_layout.format, &ReturnSegment, lease);
    if (image.isNull()) {
        ReturnSegment(lease);
        return {};
    }
    return image;
}

QImage X11ScreenCopy::Copy(const QRect &area, const QRegion &shown)
{
    if (area.isEmpty() || m_layout.format == QImage::Format_Invalid)
        return {};
    const QRegion visible = shown & area;
    const QRect fetch = visible.boundingRect();
    const bool whole = fetch == area && QRegion(area).subtracted(visible).isEmpty();
    const qsizetype bytes = BytesPerLine(area.width()) * area.height();

    // A segment's rows are the image's rows when the server pads them to 32 bits, as Qt does.
    if (whole && m_pool && m_layout.asDelivered && m_layout.scanlinePad == 32 && bytes >= SharedMemoryThreshold) {
        bool opaque = false;
        QImage image = CopyOnSegment(area, &opaque);
        if (!image.isNull()) {
            if (!opaque)
                Finish(image);
            return image;
        }
    }

    QImage image = NewImage(area.size());
    if (image.isNull())
        return image;
    if (!fetch.isEmpty()) {
        if (!Fetch(fetch, image, fetch.topLeft() - area.topLeft()))
            return {};
        // Parts of the bounding rectangle that no monitor shows.
        const QRegion hidden = QRegion(fetch).subtracted(visible);
        for (const QRect &r : hidden) {
            const QRect local = r.translated(-area.topLeft());
            for (int y = local.top(); y <= local.bottom(); ++y) {
                uchar *line = image.scanLine(y);
                const int bytesPerPixel = image.depth() / 8;
                if (image.format() == QImage::Format_Indexed8)
                    std::memset(line + local.left(), int(m_layout.blackPixel), size_t(local.width()));
                else
                    std::memset(line + qsizetype(local.left()) * bytesPerPixel, 0, size_t(local.width()) * bytesPerPixel);
            }
        }
    }
    Finish(image);
    return image;
}
