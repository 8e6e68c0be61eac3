// The zoom view's geometry and drawing: which screen rectangle it shows, the eightfold enlargement
// with hard pixel blocks, the red cross, and colour values of its pixels.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QtGlobal>

#include <vector>

namespace ZoomView {
inline constexpr int Factor = 8;
inline constexpr int CrossHalfLength = 10;
inline constexpr int CrossWidth = 2;
inline constexpr qint32 CrossColour = 255; // pure red as a colour value

// The screen rectangle shown in a zoom view of the given inner size around the pointer:
// W / 8 by H / 8 pixels centred on it, not clipped to the screen.
QRect SourceRect(QSize inner, QPoint pointer);
// The pixel of the zoom view that the centre point (W / 2, H / 2) falls on.
QPoint CentrePixel(QSize inner);

// Copies source into target, enlarged or reduced to target's size by repeating pixels (no
// smoothing). target must be in a 32-bit RGB format; the columns table is reused between calls.
void StretchNearest(const QImage &source, QImage &target, std::vector<int> &columns);
// The red cross over the centre: two lines 20 pixels long and 2 pixels wide.
void DrawCross(QImage &target);
}

// A colour value (red in the low byte) from a pixel, and back.
qint32 ColourValue(QRgb pixel);
QRgb PixelOf(qint32 colour);
