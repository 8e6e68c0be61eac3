#include "platform/ShadowMargin.h"

QImage WithoutShadowMargin(const QImage &picture)
{
    if (!picture.hasAlphaChannel())
        return picture;
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    int left = argb.width(), right = -1, top = argb.height(), bottom = -1;
    for (int y = 0; y < argb.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(row[x]) == 255) {
                left = qMin(left, x), right = qMax(right, x);
                top = qMin(top, y), bottom = qMax(bottom, y);
            }
    }
    if (right < 0)
        return picture;
    return picture.copy(QRect(QPoint(left, top), QPoint(right, bottom)));
}
