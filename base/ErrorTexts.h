// Every run-time error the program raises: its number and its description (German, or as the
// language file has it), which says what happened and what the user can do.
#pragma once

#include "base/LocalText.h"

#include <QList>
#include <QString>

enum class ErrorKind {
    Overflow,         // 6: a value outgrew 32 bits
    NoScreen,         // 5: no screen to measure a window position against
    WindowGone,       // 91: a window position asked of a window that is no more
    WindowNotMovable, // 384: a minimised or maximised window cannot be moved or sized
    FileNotWritten,   // 75: a capture could not be written to its file (%1 the path)
    NoActiveWindow,   // 481: the delayed window capture found no foreground window
    MonitorGone,      // 481: the monitor chosen for a capture has been unplugged
    EmptyCapture,     // 481: a capture that holds nothing
    // The desktop's own way to the screen (Wayland: the desktop portal, or KWin)
    ScreenCopyCancelled,   // 18: the user cancelled in the desktop's dialog
    ScreenCopyDenied,      // 70: the desktop refused (permission denied, or it could not copy)
    NoScreenCopyService,   // 429: no portal on the session bus, or one without screenshots
    ScreenCopyNoAnswer,    // 287: the desktop stopped answering
    ScreenCopyUnreadable,  // 481: the desktop handed over a picture that cannot be read
    ScreenCopyNotGranted,  // 70: KWin does not let this program copy the screen (told once, then the portal)
    // A wlroots compositor copied directly
    CompositorGone,        // 70: the connection to the compositor broke
    CompositorCopyFailed,  // 70: the compositor failed a copy, or offered no buffer we can read
    NoWindowCopies,        // 445: this desktop lets no program find or copy single windows
};

int ErrorNumberOf(ErrorKind kind);
// The description as the language file has it (section "Messages", key "strError" + kind).
QString ErrorDescription(ErrorKind kind, const QString &detail = {});
// Every description, for the language file to hold them all.
QList<LocalText> ErrorLocalTexts();

// Raises the error of that kind with its number and description.
[[noreturn]] void RaiseError(ErrorKind kind, const QString &detail = {});
