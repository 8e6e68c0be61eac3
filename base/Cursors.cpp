// The program's own pointer images, the eyedropper and the pointing hand, drawn for any device
// pixel ratio.
#include "base/Cursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace Cursors {

namespace {
constexpr int BaseSize = 32;

QImage Transparent(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A point of the 1x image to the pixel that holds it at the ratio.
QPoint ScaledPixel(QPoint at1x, qreal ratio)
{
    return QPoint(int((at1x.x() + 0.5) * ratio), int((at1x.y() + 0.5) * ratio));
}

// The pipette's turn from the x axis up to the upper right, 45 degrees written out: the same
// pixels as rotate(-45), without the maths library's sine tables in memory.
QTransform UpRightDiagonal()
{
    return QTransform(M_SQRT1_2, -M_SQRT1_2, M_SQRT1_2, M_SQRT1_2, 0, 0);
}

// The pipette drawn along the x axis from its tip at the origin; callers turn it into place.
void DrawPipette(QPainter &p, double scale)
{
    p.scale(scale, scale);
    const QPen outline(Qt::black, 1.0);
    p.setPen(outline);
    // Glass tube with the tip.
    QPainterPath tube;
    tube.moveTo(0, 0);
    tube.lineTo(5, -2.5);
    tube.lineTo(22, -2.5);
    tube.lineTo(22, 2.5);
    tube.lineTo(5, 2.5);
    tube.closeSubpath();
    p.setBrush(QColor(225, 240, 250));
    p.drawPath(tube);
    // Liquid in the lower part of the tube.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 110, 200));
    p.drawRect(QRectF(3, -1.2, 9, 2.4));
    p.setPen(outline);
    // Collar.
    p.setBrush(QColor(110, 110, 110));
    p.drawRect(QRectF(22, -4.5, 4, 9));
    // Rubber bulb.
    p.setBrush(QColor(170, 20, 20));
    p.drawRoundedRect(QRectF(26, -4, 16, 8), 4, 4);
}

QImage DrawEyedropper(qreal ratio)
{
    const int size = PointerSize(ratio);
    QImage image = Transparent(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The tip on the centre of the corner pixel, whatever the size.
    p.translate(0.5, size - 0.5);
    p.setTransform(UpRightDiagonal(), true);
    DrawPipette(p, ratio);
    p.end();
    // The very tip pixel is clear: a desktop that draws the pointer into its copies of the screen
    // (headless sway while a button is held, software pointers) still shows the pixel under it.
    image.setPixelColor(EyedropperHotSpotAt(ratio), Qt::transparent);
    return image;
}

QImage DrawPointingHand(qreal ratio)
{
    QImage image = Transparent(PointerSize(ratio));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(ratio, ratio);
    p.setPen(QPen(Qt::black, 1.0));
    p.setBrush(Qt::white);
    // Index finger up to the hot spot, the other fingers folded, the thumb on the left.
    const QRectF parts[] = {
        {8.5, 0.5, 6, 18},      // index finger
        {14.5, 10.5, 5, 9},     // middle finger
        {19.5, 11.5, 5, 8},     // ring finger
        {24.5, 12.5, 4.5, 8},   // little finger
        {3.5, 15.5, 7, 6},      // thumb
        {6.5, 16.5, 22.5, 14},  // palm
    };
    QPainterPath hand;
    for (const QRectF &part : parts) {
        QPainterPath piece;
        piece.addRoundedRect(part, 2.5, 2.5);
        hand = hand.united(piece);
    }
    p.drawPath(hand);
    // Creases between the folded fingers.
    p.drawLine(QPointF(14.5, 14), QPointF(14.5, 19));
    p.drawLine(QPointF(19.5, 15), QPointF(19.5, 19));
    p.drawLine(QPointF(24.5, 16), QPointF(24.5, 19));
    return image;
}

QImage DrawWindowIcon(qreal ratio)
{
    const int size = qRound(16 * ratio);
    QImage image = Transparent(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.save();
    p.scale(ratio, ratio);
    // A colour swatch with the pipette across it.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 40, 40));
    p.drawRect(1, 1, 7, 7);
    p.setBrush(QColor(40, 170, 60));
    p.drawRect(8, 1, 7, 7);
    p.setBrush(QColor(40, 90, 210));
    p.drawRect(1, 8, 7, 7);
    p.setBrush(QColor(240, 200, 30));
    p.drawRect(8, 8, 7, 7);
    p.restore();
    p.translate(0.5, size - 0.5);
    p.setTransform(UpRightDiagonal(), true);
    DrawPipette(p, 0.5 * ratio);
    p.end();
    return image;
}

// A pointer is made in the screen's own pixels: its image as it is, the hot spot in its pixels.
QCursor Pointer(QImage image, QPoint hotSpot)
{
    image.setDevicePixelRatio(1.0);
    return QCursor(QPixmap::fromImage(image), hotSpot.x(), hotSpot.y());
}

// The 1x image drawn once and kept; any other ratio drawn when asked (a few hundred microseconds).
QImage AtRatio(const QImage &at1x, QImage (*draw)(qreal), qreal ratio)
{
    QImage image = ratio == 1.0 ? at1x : draw(ratio);
    image.setDevicePixelRatio(ratio);
    return image;
}
}

int PointerSize(qreal ratio)
{
    return qMax(BaseSize, qRound(BaseSize * ratio));
}

QPoint EyedropperHotSpotAt(qreal ratio)
{
    return QPoint(0, PointerSize(ratio) - 1);
}

QPoint PointingHandHotSpotAt(qreal ratio)
{
    return ratio == 1.0 ? PointingHandHotSpot : ScaledPixel(PointingHandHotSpot, ratio);
}

QImage EyedropperImage(qreal ratio)
{
    static const QImage image = DrawEyedropper(1.0);
    return AtRatio(image, &DrawEyedropper, ratio);
}

QCursor Eyedropper(qreal ratio)
{
    return Pointer(EyedropperImage(ratio), EyedropperHotSpotAt(ratio));
}

QImage PointingHandImage(qreal ratio)
{
    static const QImage image = DrawPointingHand(1.0);
    return AtRatio(image, &DrawPointingHand, ratio);
}

QCursor PointingHand(qreal ratio)
{
    return Pointer(PointingHandImage(ratio), PointingHandHotSpotAt(ratio));
}

QImage WindowIconImage(qreal ratio)
{
    static const QImage image = DrawWindowIcon(1.0);
    return AtRatio(image, &DrawWindowIcon, ratio);
}

void Prepare()
{
    EyedropperImage();
    PointingHandImage();
    WindowIconImage();
}

}
