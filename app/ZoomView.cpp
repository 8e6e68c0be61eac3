// The zoom view's geometry and drawing.
#include "app/ZoomView.h"

#include "base/Rounding.h"

#include <algorithm>

namespace ZoomView {
namespace {
// The source index shown at target index t when n source pixels are spread over m target pixels:
// the source pixel under the target pixel's centre.
int SourceIndex(qint64 t, qint64 n, qint64 m)
{
    return int(((2 * t + 1) * n) / (2 * m));
}
}

QRect SourceRect(QSize inner, QPoint pointer)
{
    const qint32 width = RoundHalfEven(inner.width() / double(Factor));
    const qint32 height = RoundHalfEven(inner.height() / double(Factor));
    // Nominally left = X - W / 16 and top = Y - H / 16. For most inner sizes (213 x 85 among
    // them) that puts the pointer's pixel under the centre point; where the rounding would put a
    // neighbour there instead, the rectangle moves by that one pixel, so the centre always shows
    // the pixel under the pointer.
    const QPoint centre = CentrePixel(inner);
    const int column = width > 0 ? SourceIndex(centre.x(), width, qMax(inner.width(), 1)) : 0;
    const int row = height > 0 ? SourceIndex(centre.y(), height, qMax(inner.height(), 1)) : 0;
    return QRect(pointer.x() - column, pointer.y() - row, width, height);
}

QPoint CentrePixel(QSize inner)
{
    return QPoint(RoundHalfEven(inner.width() / 2.0), RoundHalfEven(inner.height() / 2.0));
}

void StretchNearest(const QImage &source, QImage &target, std::vector<int> &columns)
{
    const int tw = target.width();
    const int th = target.height();
    if (tw <= 0 || th <= 0)
        return;
    if (source.isNull() || source.width() <= 0 || source.height() <= 0) {
        target.fill(Qt::black);
        return;
    }
    const QImage *src = &source;
    QImage converted;
    if (source.format() != QImage::Format_RGB32 && source.format() != QImage::Format_ARGB32) {
        converted = source.convertToFormat(QImage::Format_RGB32);
        src = &converted;
    }
    const qint64 sw = src->width();
    const qint64 sh = src->height();
    columns.resize(tw);
    for (int x = 0; x < tw; ++x)
        columns[x] = SourceIndex(x, sw, tw);
    const int *column = columns.data();
    int lastRow = -1;
    const QRgb *lastLine = nullptr;
    for (int y = 0; y < th; ++y) {
        const int sy = SourceIndex(y, sh, th);
        QRgb *out = reinterpret_cast<QRgb *>(target.scanLine(y));
        if (sy == lastRow) {
            std::copy(lastLine, lastLine + tw, out);
            continue;
        }
        const QRgb *in = reinterpret_cast<const QRgb *>(src->constScanLine(sy));
        for (int x = 0; x < tw; ++x)
            out[x] = in[column[x]] | 0xff000000u;
        lastRow = sy;
        lastLine = out;
    }
}

namespace {
void FillClipped(QImage &target, int left, int top, int width, int height, QRgb pixel)
{
    const QRect r = QRect(left, top, width, height) & target.rect();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(target.scanLine(y));
        std::fill(line + r.left(), line + r.right() + 1, pixel);
    }
}
}

void DrawCross(QImage &target)
{
    // Lines from (W / 2, H / 2 - 10) to (W / 2, H / 2 + 10) and across, 2 pixels wide: the
    // pixels whose centres the line covers.
    const QPoint c = CentrePixel(target.size());
    const QRgb red = PixelOf(CrossColour);
    const int half = CrossWidth / 2;
    FillClipped(target, c.x() - half, c.y() - CrossHalfLength, CrossWidth, 2 * CrossHalfLength, red);
    FillClipped(target, c.x() - CrossHalfLength, c.y() - half, 2 * CrossHalfLength, CrossWidth, red);
}
}

qint32 ColourValue(QRgb pixel)
{
    return qRed(pixel) + 256 * qGreen(pixel) + 65536 * qBlue(pixel);
}

QRgb PixelOf(qint32 colour)
{
    return qRgb(colour & 255, (colour >> 8) & 255, (colour >> 16) & 255);
}
