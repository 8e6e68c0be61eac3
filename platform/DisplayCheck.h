// Whether the program has a desktop to start on, asked before Qt is, which would abort without one.
#pragma once

#include "base/LocalText.h"

#include <QList>
#include <QString>

namespace DisplayCheck {

// The one line that says what is missing; %1 the display or the Wayland socket named.
inline constexpr LocalText XcbAskedForText{MessagesSection, "strNoDisplayXcbAskedFor",
    "Pixolva: Kein X-Display gefunden, obwohl QT_QPA_PLATFORM xcb verlangt. Bitte Xwayland einschalten oder "
    "QT_QPA_PLATFORM nicht setzen."};
inline constexpr LocalText NoQtWaylandText{MessagesSection, "strNoDisplayNoQtWayland",
    "Pixolva: Kein X-Display gefunden – diese Sitzung bietet nur Wayland, und Qts Wayland-Modul fehlt. Bitte das "
    "Paket qt6-wayland installieren oder Xwayland einschalten."};
inline constexpr LocalText WaylandSilentText{MessagesSection, "strNoDisplayWaylandSilent",
    "Pixolva: Kein X-Display gefunden, und die Wayland-Sitzung „%1“ (WAYLAND_DISPLAY) antwortet nicht. Bitte "
    "Pixolva in der laufenden Desktop-Sitzung starten oder DISPLAY setzen (z. B. DISPLAY=:0)."};
inline constexpr LocalText DisplayUnsetText{MessagesSection, "strNoDisplayUnset",
    "Pixolva: Kein X-Display gefunden – die Umgebungsvariable DISPLAY ist nicht gesetzt. Bitte Pixolva in einer "
    "X11-Sitzung starten oder DISPLAY setzen (z. B. DISPLAY=:0)."};
inline constexpr LocalText DisplayUnreachableText{MessagesSection, "strNoDisplayUnreachable",
    "Pixolva: Keine Verbindung zum X-Display „%1“ (DISPLAY). Bitte prüfen, ob der X-Server läuft und ob dieser "
    "Benutzer ihn verwenden darf (XAUTHORITY)."};
// Every such line, for the language file to hold them all.
inline QList<LocalText> Texts()
{
    return {XcbAskedForText, NoQtWaylandText, WaylandSilentText, DisplayUnsetText, DisplayUnreachableText};
}

// Empty when the program can start: an X display it can reach, or a Qt platform other than xcb
// chosen through -platform or QT_QPA_PLATFORM (offscreen for tests; wayland, which the platform
// loader chooses in a Wayland session without Xwayland). Otherwise the one line
// above that says what is missing and what to set.
QString Problem(int argc, char **argv);

// Whether an X server answers at that display name.
bool XDisplayReachable(const QByteArray &display);
// Whether the compositor named by WAYLAND_DISPLAY answers and Qt has its Wayland platform.
bool WaylandReachable();
}
