// Copies of the screen into pictures. Each routine returns a new picture; the last holder frees it.
#pragma once

#include "platform/Platform.h"

#include <QImage>

namespace mdlCapture {
// A rectangle of a window (w = 0 with useClientArea: of the whole screen, in screen coordinates).
QImage GrabWindowArea(WindowHandle w, bool useClientArea, qint32 left, qint32 top, qint32 width, qint32 height);
QImage GrabForegroundWindow();
QImage GrabMonitor(MonitorHandle hMonitor);
QImage GrabVirtualScreen();
QImage GrabWindowAtPoint(qint32 x, qint32 y, bool repaint, bool bringToFront);
}
