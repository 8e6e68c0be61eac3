// The windows KWin shows, X and native Wayland alike, as KWin's scripting reports them.
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QtGlobal>

#include <optional>

// Xwayland knows only the X windows; which window lies where on the screen, native ones
// included, only KWin knows. It tells a script loaded through org.kde.kwin.Scripting, and the
// script hands the list back to us over the session bus.
namespace KWinWindows {
struct Window
{
    QString id;            // KWin's internal id
    quint32 xWindow = 0;   // the X window of an Xwayland window, 0 for a native one
    QRect frame;           // with KWin's frame, without the shadow
    QRect client;          // the window's own surface
};

// The windows on the current desktop that are not minimised, bottom first; none when KWin does
// not answer in time (or lets no script run).
std::optional<QList<Window>> Windows();
// The topmost window holding p, or none.
const Window *WindowAt(const QList<Window> &windows, QPoint p);
// Makes the window with KWin's id the active one; false when KWin did not take the request.
bool Activate(const QString &id);

// The script's report: one line per window, bottom first, each "id xWindow x y width height
// clientX clientY clientWidth clientHeight" (numbers may be fractional). Lines that cannot be read
// are left out.
QList<Window> ParseReport(const QString &report);
}
