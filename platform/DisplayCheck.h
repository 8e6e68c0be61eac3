// Whether the program has a desktop to start on, asked before Qt is, which would abort without one.
#pragma once

#include <QString>

namespace DisplayCheck {
// Empty when the program can start: an X display it can reach, or a Qt platform other than xcb
// chosen through -platform or QT_QPA_PLATFORM (offscreen for tests; wayland, which the platform
// loader chooses in a Wayland session without Xwayland). Otherwise the one German
// line that says what is missing and what to set.
QString Problem(int argc, char **argv);

// Whether an X server answers at that display name.
bool XDisplayReachable(const QByteArray &display);
// Whether the compositor named by WAYLAND_DISPLAY answers and Qt has its Wayland platform.
bool WaylandReachable();
}
