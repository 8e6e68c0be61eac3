// The program's own 32 x 32 pointer images: the eyedropper and the pointing hand.
#include "base/Cursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace Cursors {

namespace {
QImage Transparent(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
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

QImage DrawEyedropper()
{
    QImage image = Transparent(32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(0.5, 31.5);
    p.setTransform(UpRightDiagonal(), true);
    DrawPipette(p, 1.0);
    p.end();
    // The very tip pixel is clear: a desktop that draws the pointer into its copies of the screen
    // (headless sway while a button is held, software pointers) still shows the pixel under it.
    image.setPixelColor(EyedropperHotSpot, Qt::transparent);
    return image;
}

QImage DrawPointingHand()
{
    QImage image = Transparent(32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
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

QImage DrawWindowIcon()
{
    QImage image = Transparent(16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
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
    p.translate(0.5, 15.5);
    p.setTransform(UpRightDiagonal(), true);
    DrawPipette(p, 0.5);
    return image;
}
}

QImage EyedropperImage()
{
    static const QImage image = DrawEyedropper();
    return image;
}

QCursor Eyedropper()
{
    return QCursor(QPixmap::fromImage(EyedropperImage()), EyedropperHotSpot.x(), EyedropperHotSpot.y());
}

QImage PointingHandImage()
{
    static const QImage image = DrawPointingHand();
    return image;
}

QCursor PointingHand()
{
    return QCursor(QPixmap::fromImage(PointingHandImage()), PointingHandHotSpot.x(), PointingHandHotSpot.y());
}

QImage WindowIconImage()
{
    static const QImage image = DrawWindowIcon();
    return image;
}

void Prepare()
{
    EyedropperImage();
    PointingHandImage();
    WindowIconImage();
}

}
