// Copies of the root window into images, in the screen's pixel format.
#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QTimer>

#include <memory>

struct xcb_connection_t;
struct xcb_screen_t;

// Large copies go through MIT-SHM into a segment kept for reuse: the image is made on the
// segment itself, and the segment comes back for the next copy when the image's last holder lets
// go of it; after a while without copies the server's side of every segment is given back. On a
// 32-bit screen with Render the server writes the pixels opaque into a pixmap on
// the segment. Small copies, and displays without MIT-SHM, use a plain GetImage.
class X11ScreenCopy
{
public:
    // A copy right after another (the hand's live preview, a benchmark's loop) reuses the segment;
    // after this long without one, the segments and the server's pixmaps on them (a 4K screen's
    // are 33 MB each) are given back. A new segment costs a copy some milliseconds, which a user
    // who copies again after a notice and a delay does not notice.
    static constexpr int GiveBackAfterMs = 2000;

    X11ScreenCopy(xcb_connection_t *connection, const xcb_screen_t *screen, int giveBackAfterMs = GiveBackAfterMs);
    ~X11ScreenCopy();
    X11ScreenCopy(const X11ScreenCopy &) = delete;
    X11ScreenCopy &operator=(const X11ScreenCopy &) = delete;

    // A copy of area (root coordinates); what lies outside shown comes back black. Null when the
    // image cannot be made.
    QImage Copy(const QRect &area, const QRegion &shown);

    // A small copy wholly on the monitors in two halves, so that its request can share a round
    // trip: RequestArea sends it, ReceiveArea makes the image (or DiscardArea drops the answer).
    bool IsSmall(QSize size) const;
    unsigned int RequestArea(const QRect &area);
    QImage ReceiveArea(unsigned int request, const QRect &area);
    void DiscardArea(unsigned int request);

    // Qt is about to close the connection: give the server's side of the segments back now.
    void ConnectionClosing();

    class SegmentPool;
    struct Segment;

private:
    struct PixelLayout
    {
        int bitsPerPixel = 32;
        int scanlinePad = 32;
        bool lsbFirst = true;
        quint32 red = 0, green = 0, blue = 0;
        bool indexed = false;     // a colour map lies between pixel values and colours
        bool asDelivered = false; // the server's rows are already the image's rows
        int colormapEntries = 0;
        quint32 colormap = 0;
        quint32 blackPixel = 0;
        QImage::Format format = QImage::Format_Invalid;
    };

    static PixelLayout ReadPixelLayout(xcb_connection_t *c, const xcb_screen_t *screen);
    qsizetype BytesPerLine(int width) const;
    QImage NewImage(QSize size) const;
    void Finish(QImage &image) const;
    bool Fetch(const QRect &r, QImage &into, QPoint at);
    QImage CopyOnSegment(const QRect &area, bool *opaque);
    bool PrepareRender();
    bool CopyThroughRender(const QRect &area, Segment &segment);
    void ConvertRow(const uchar *from, uchar *to, int width) const;

    struct RenderPath
    {
        bool tried = false;
        quint32 rootPicture = 0;  // 0: copies go through GetImage
        quint32 argbFormat = 0;
    };

    xcb_connection_t *m_connection;
    quint32 m_root;
    quint32 m_rootVisual;
    PixelLayout m_layout;
    std::shared_ptr<SegmentPool> m_pool;  // null without MIT-SHM
    bool m_sharedPixmaps = false;
    RenderPath m_render;
    QTimer m_giveBack;
};
