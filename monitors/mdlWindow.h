// Screen geometry the program asks about: virtual screen, monitors, centring a dialog.
#pragma once

#include "platform/Platform.h"

#include <QList>

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
// Moves hWnd centred over hWndOwner (or the work area when hWndOwner is 0), kept in the work area.
void CenterWindow(WindowHandle hWnd, WindowHandle hWndOwner);
}
