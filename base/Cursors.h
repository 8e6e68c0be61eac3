// The program's own 32 x 32 pointer images: the eyedropper and the pointing hand.
#pragma once

#include <QCursor>
#include <QImage>
#include <QPoint>

namespace Cursors {
// Eyedropper, tip at the lower-left corner.
QImage EyedropperImage();
inline constexpr QPoint EyedropperHotSpot{0, 31};
QCursor Eyedropper();

// Pointing hand, fingertip at the top.
QImage PointingHandImage();
inline constexpr QPoint PointingHandHotSpot{11, 1};
QCursor PointingHand();

// The 16 x 16 window icon.
QImage WindowIconImage();

// Draws the images above ahead of their first use, on any thread, with or without the
// application object; each is drawn once.
void Prepare();
}
