// Copies of the screen into pictures. Each routine returns a new picture; the last holder frees it.
#pragma once

#include "platform/Platform.h"

#include <QImage>

// A picture shows what the screen shows in its rectangle (overlapping windows included, the
// pointer not), in the screen's pixel format; on a palette display it is an 8-bit image carrying
// the 256-entry colour map. Parts outside the screen are black. A zero-sized or failed copy gives
// a null picture. Size arithmetic that overflows 32 bits raises error 6 "Overflow" to the caller.
namespace mdlCapture {
// A rectangle of a window, from its top-left corner (useClientArea: of the part inside its frame).
// For w = 0 or the desktop window, a rectangle of the whole screen in screen coordinates.
QImage GrabWindowArea(WindowHandle w, bool useClientArea, qint32 left, qint32 top, qint32 width, qint32 height);
QImage GrabForegroundWindow();  // the whole foreground window, frame included
QImage GrabMonitor(MonitorHandle hMonitor);  // the monitor's full rectangle
QImage GrabVirtualScreen();
// The whole window under the point, frame included (a control when the point is over one).
// bringToFront activates it first; repaint has it paint itself before the copy.
// Where the desktop copies windows itself (Wayland), the foreground window is the desktop's
// active one, and the window at a point is the one the user picks in the desktop's own dialog.
QImage GrabWindowAtPoint(qint32 x, qint32 y, bool repaint, bool bringToFront);
}
