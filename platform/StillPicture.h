// Where the pixels of a copy of the whole screen lie, for the eyedropper's still screen.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

// A picture covers the rectangle `screen` (program coordinates); where the desktop scales its
// outputs it has more or fewer pixels than the rectangle. The point x of the screen falls into the
// picture's column floor((x - screen.x) * picture.width / screen.width), rows likewise. One mapping
// for what the still screen shows and what the samples read, so that the colour read is always the
// one the user sees under the tip.
namespace StillPicture {
// cells.width() x cells.height() pixels: cell (i, j) holds the picture's pixel at the screen point
// topLeft + (i, j) / perUnit. perUnit 1 samples one pixel per program pixel; a window shown with
// a device pixel ratio d samples d per unit, one for each of its device pixels. Black beyond the
// picture.
// The picture's pixels inside r, all of them (more than r has where the desktop scales): its
// edges are where r's edges fall. Black beyond the picture, where no monitor is.
QImage Part(const QImage &picture, const QRect &screen, const QRect &r);
QImage Sample(const QImage &picture, const QRect &screen, QPoint topLeft, QSize cells, qreal perUnit = 1);
}
