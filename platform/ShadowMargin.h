// Window pictures from a desktop that frames them in their drop shadow.
#pragma once

#include <QImage>

// A window's picture may come inside the translucent margin that its shadow falls on (GNOME
// leaves about ten pixels round the frame, KWin about sixty): the window with its frame, as on
// X11, is the smallest rectangle that holds every opaque pixel. A picture without an alpha
// channel, or without a single opaque pixel, stays as it is.
QImage WithoutShadowMargin(const QImage &picture);
