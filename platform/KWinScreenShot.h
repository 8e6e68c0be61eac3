// Copies of the screen and of windows on KDE Plasma, through KWin's own screenshot interface.
#pragma once

#include <QImage>
#include <QRect>

#include <functional>

class QObject;
class RuntimeError;

// KWin lets only programs whose desktop entry names org.kde.KWin.ScreenShot2 in
// X-KDE-DBUS-Restricted-Interfaces use it, and only when the process's executable is the one in
// the entry's Exec. Pictures come in the desktop's own pixels, without the pointer.
namespace KWinScreenShot {
// Whether KWin offers the interface on the session bus.
bool Offered();

struct Shot
{
    QImage picture;        // null when KWin refused or had nothing to copy
    bool refused = false;  // KWin does not let this program copy the screen
};
// The whole desktop; the rectangle r (KWin's logical coordinates); the active window with its
// frame. A KWin that does not answer raises ScreenCopyNoAnswer, a picture that cannot be read
// ScreenCopyUnreadable.
Shot Workspace();
Shot Area(const QRect &r);
Shot ActiveWindow();

// The eyedropper's tick: starts a copy of the rectangle r and hands it to done on the GUI thread
// once it is there, or with the error that ended it (then the shot is empty); never when receiver
// has gone first.
using AreaDone = std::function<void(const Shot &shot, const RuntimeError *error)>;
void RequestArea(const QRect &r, QObject *receiver, AreaDone done);
}
