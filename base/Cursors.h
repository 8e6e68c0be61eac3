// The program's own pointer images, the eyedropper and the pointing hand, 32 x 32 at a device pixel
// ratio of 1 and drawn anew for any other ratio (64 x 64 at 2), sharp at every size.
#pragma once

#include <QCursor>
#include <QImage>
#include <QPoint>

namespace Cursors {
// The side of a pointer image at a device pixel ratio: 32, 48 at 1.5, 64 at 2.
int PointerSize(qreal ratio);

// Eyedropper, tip at the lower-left corner. The image carries the ratio as its device pixel ratio;
// the hot spot is in its pixels, the tip's pixel at every ratio (transparent, so that a copy of the
// screen with the pointer drawn in shows what lies under the tip).
QImage EyedropperImage(qreal ratio = 1.0);
inline constexpr QPoint EyedropperHotSpot{0, 31};
QPoint EyedropperHotSpotAt(qreal ratio);
// The pointer in the screen's pixels at that ratio.
QCursor Eyedropper(qreal ratio = 1.0);

// Pointing hand, fingertip at the top.
QImage PointingHandImage(qreal ratio = 1.0);
inline constexpr QPoint PointingHandHotSpot{11, 1};
QPoint PointingHandHotSpotAt(qreal ratio);
QCursor PointingHand(qreal ratio = 1.0);

// The 16 x 16 window icon, and at the ratio's size.
QImage WindowIconImage(qreal ratio = 1.0);

// Draws the images at ratio 1 ahead of their first use, on any thread, with or without the
// application object; each is drawn once.
void Prepare();
}
