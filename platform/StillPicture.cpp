// Where the pixels of a copy of the whole screen lie, for the eyedropper's still screen.
#include "platform/StillPicture.h"

#include <cmath>
#include <vector>

namespace StillPicture {

namespace {
// The picture's index for the cells from `first` (program units from the screen's edge) on:
// floor((first + i / perUnit) * pictureSize / screenSize), computed as one fraction, so that
// nothing is lost to rounding at scales like 1.5.
int Index(qint64 first, int i, qreal perUnit, int pictureSize, int screenSize)
{
    return int(std::floor((double(first) * perUnit + i) * pictureSize / (double(screenSize) * perUnit) + 1e-9));
}

std::vector<int> Indices(qint64 first, int cells, qreal perUnit, int pictureSize, int screenSize)
{
    std::vector<int> indices(size_t(qMax(0, cells)));
    for (int i = 0; i < cells; ++i)
        indices[size_t(i)] = Index(first, i, perUnit, pictureSize, screenSize);
    return indices;
}
}

QImage Part(const QImage &picture, const QRect &screen, const QRect &r)
{
    if (screen.isEmpty())
        return {};
    const qint64 left = qint64(r.left()) - screen.x(), top = qint64(r.top()) - screen.y();
    const int x0 = Index(left, 0, 1, picture.width(), screen.width());
    const int y0 = Index(top, 0, 1, picture.height(), screen.height());
    const int x1 = Index(left + r.width(), 0, 1, picture.width(), screen.width());
    const int y1 = Index(top + r.height(), 0, 1, picture.height(), screen.height());
    return picture.copy(QRect(x0, y0, x1 - x0, y1 - y0));
}

QImage Sample(const QImage &picture, const QRect &screen, QPoint topLeft, QSize cells, qreal perUnit)
{
    QImage sample(cells, QImage::Format_RGB32);
    sample.fill(Qt::black);
    if (screen.isEmpty() || picture.isNull() || perUnit <= 0)
        return sample;
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    const std::vector<int> columns = Indices(qint64(topLeft.x()) - screen.x(), cells.width(), perUnit, source.width(), screen.width());
    const std::vector<int> rows = Indices(qint64(topLeft.y()) - screen.y(), cells.height(), perUnit, source.height(), screen.height());
    for (int j = 0; j < cells.height(); ++j) {
        const int y = rows[size_t(j)];
        if (y < 0 || y >= source.height())
            continue;
        const auto *from = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        auto *to = reinterpret_cast<QRgb *>(sample.scanLine(j));
        for (int i = 0; i < cells.width(); ++i) {
            const int x = columns[size_t(i)];
            if (x >= 0 && x < source.width())
                to[i] = from[x];
        }
    }
    return sample;
}

}
