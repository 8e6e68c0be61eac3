// Screen geometry the program asks about: virtual screen, monitors, centring a dialog.
#pragma once

#include "platform/Platform.h"

#include <QList>
#include <QPoint>
#include <QSize>

#include <limits>

// Each operation asks the current platform afresh and keeps nothing. Sums and differences are
// signed 32-bit; one that overflows raises error 6 "Overflow" to the caller (EnumMonitors reports
// it itself).
namespace mdlWindow {
qint32 GetMonitorCount();
ScreenRect GetVirtualScreenRect();
ScreenRect GetMonitorRect(MonitorHandle hMonitor);  // all zero for an unknown handle
// Monitors in probe-grid order (left column first, upper first within a column); no duplicates.
// The probes are the centres of 640 x 480 cells, so a smaller monitor can be missed.
QList<MonitorHandle> EnumMonitors();
// Moves hWnd centred over hWndOwner (or the work area when hWndOwner is 0), kept in the work area;
// over an owner its edges stay at least 50 pixels in from the owner's left and top (a cascade
// where it is not smaller than its owner).
void CenterWindow(WindowHandle hWnd, WindowHandle hWndOwner);

// The one way a window is centred over its owner: where a window of that size goes, halves
// truncated toward zero, its left and top edges at least minimumOffset in from the owner's, then
// pushed inside the work area (right and bottom last, so a window larger than the work area ends
// flush with them).
inline constexpr qint32 NoMinimumOffset = std::numeric_limits<qint32>::min();
QPoint CentredOver(QSize window, const ScreenRect &owner, const ScreenRect &work, qint32 minimumOffset);
}
