// A window that shows a picture in which each pixel tells its place, for tests on real desktops:
// any copy of the screen can be checked pixel for pixel against it.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRasterWindow>

#include <functional>
#include <optional>

namespace PatternWindows {
// r = x & 255, g = y & 255, b = (x >> 8) | (y >> 8) << 4: unique up to 4096 x 4096.
inline QRgb Place(int x, int y) { return qRgb(x & 255, y & 255, (x >> 8) | (y >> 8) << 4); }

// The first pixel of a copy that is not what expected says of its place (where it says anything),
// or an empty text.
inline QString Differs(const QImage &picture, const std::function<std::optional<QRgb>(int, int)> &expected)
{
    if (picture.isNull())
        return QStringLiteral("no picture");
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const std::optional<QRgb> want = expected(x, y);
            if (want && (picture.pixel(x, y) & 0xffffff) != (*want & 0xffffff))
                return QStringLiteral("%1,%2: %3 instead of %4")
                    .arg(x).arg(y).arg(picture.pixel(x, y) & 0xffffff, 0, 16).arg(*want & 0xffffff, 0, 16);
        }
    return {};
}

class PatternWindow : public QRasterWindow
{
public:
    explicit PatternWindow(std::function<QRgb(int, int)> pattern = Place) : m_pattern(std::move(pattern)) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QImage image(size(), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, m_pattern(x, y));
        QPainter(this).drawImage(0, 0, image);
    }

private:
    std::function<QRgb(int, int)> m_pattern;
};
}
