// Screen geometry the program asks about: virtual screen, monitors, centring a dialog.
#pragma once

#include "platform/Platform.h"

#include <QList>

namespace mdlWindow {
qint32 GetMonitorCount();
ScreenRect GetVirtualScreenRect();
ScreenRect GetMonitorRect(MonitorHandle hMonitor);  // all zero for an unknown handle
// Monitors in probe-grid order (left column first, upper first within a column); no duplicates.
QList<MonitorHandle> EnumMonitors();
// Moves hWnd centred over hWndOwner (or the work area when hWndOwner is 0), kept in the work area.
void CenterWindow(WindowHandle hWnd, WindowHandle hWndOwner);
}
