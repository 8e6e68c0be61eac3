// The decisions of the capture commands, apart from the windows that trigger them.
#pragma once

#include "platform/Platform.h"

#include <QImage>
#include <QPoint>

namespace CaptureSteps {
// The delayed capture: the foreground window, or one monitor, or (monitor 0) the whole virtual
// screen. No foreground window, or a monitor that has gone since it was chosen, raises error 481
// saying so rather than delivering an empty picture.
QImage TakeDelayedCapture(bool activeWindow, MonitorHandle monitor);

// Whether the window at p is own or lies inside it (walking up the parents).
bool IsWindowAt(QPoint p, WindowHandle own);

// The centre of a rectangle, halves rounded to even.
QPoint Centre(const ScreenRect &r);

// A capture that holds nothing cannot be shown, copied or saved: error 481.
void RequirePicture(const QImage &picture);
}
