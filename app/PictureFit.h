// Where a picture goes when it is fitted into a box: scaled uniformly, anchored top-left.
#pragma once

#include <QRectF>
#include <QSize>

// The rectangle for a picture of pictureSize inside a drawing area of boxSize; empty when either
// size is empty.
QRectF FitPictureRect(QSize boxSize, QSize pictureSize);
