// Window copies on KDE Plasma, through KWin's own screenshot interface.
#pragma once

#include <QImage>

// KWin lets only programs whose desktop entry names org.kde.KWin.ScreenShot2 in
// X-KDE-DBUS-Restricted-Interfaces use it. Frames are included, shadows and the pointer not.
namespace KWinScreenShot {
// Whether KWin offers the interface on the session bus.
bool Offered();
// The active window; the window the user clicks in KWin's own view. Null when KWin refuses;
// the user cancelling raises ScreenCopyCancelled.
QImage CaptureActiveWindow();
QImage CaptureInteractiveWindow();
}
