// What the program asks of the desktop, in its own terms and coordinates.
//
// Coordinates are virtual-screen pixels with the primary monitor's top-left corner at (0, 0);
// a monitor left of or above the primary has negative coordinates. Device pixels throughout,
// whatever scale factor Qt applies to its widgets.
#pragma once

#include "base/ScreenRect.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <optional>

class QObject;
class RuntimeError;

using WindowHandle = quint32;  // 0 = none
using MonitorHandle = qint32;  // stable, non-zero per monitor; 0 = none

class Platform
{
public:
    virtual ~Platform() = default;

    // Monitors
    virtual ScreenRect VirtualScreen() const = 0;
    virtual int MonitorCount() const = 0;
    virtual MonitorHandle MonitorFromPoint(QPoint p) const = 0;         // 0 when no monitor holds p
    virtual MonitorHandle MonitorFromWindow(WindowHandle w) const = 0;  // the nearest; 0 only without monitors
    // Full rectangle and work area of a monitor; false (both untouched) for an unknown handle.
    virtual bool MonitorInfo(MonitorHandle h, ScreenRect *monitor, ScreenRect *work) const = 0;
    virtual ScreenRect PrimaryWorkArea() const = 0;

    // Windows as the user means them: application windows with their frames.
    virtual WindowHandle DesktopWindow() const = 0;
    // The innermost window at p; over a window manager's frame the application window inside it;
    // the desktop window where no window is.
    virtual WindowHandle WindowFromPoint(QPoint p) const = 0;
    virtual WindowHandle ParentWindow(WindowHandle w) const = 0;   // 0 for an application window
    // Outer rectangle, frame included (the desktop window's is the virtual screen); all zero for
    // a window that does not exist.
    virtual ScreenRect WindowRect(WindowHandle w) const = 0;
    virtual ScreenRect ClientRect(WindowHandle w) const = 0;       // the window without its frame
    virtual WindowHandle ForegroundWindow() const = 0;
    // Activates w's application window and raises it; true once it is the foreground window.
    virtual bool BringToFront(WindowHandle w) = 0;
    // Whether anything of w is on the screen: its outermost window (with a window manager: the
    // frame, which outlives a hidden window until the manager has taken it away) is mapped.
    virtual bool IsWindowShown(WindowHandle w) const = 0;
    // Asks w to paint itself again (without clearing it first).
    virtual void RepaintWindow(WindowHandle w) = 0;
    // Places the outer rectangle (frame included) at x, y with the given outer size.
    virtual bool MoveWindow(WindowHandle w, int x, int y, int width, int height) = 0;
    // Keeps w above ordinary windows (through the window manager); true when the switch was requested.
    virtual bool SetAlwaysOnTop(WindowHandle w, bool on) = 0;

    // Pointer
    virtual QPoint CursorPos() const = 0;
    virtual void SetCursorPos(QPoint p) = 0;

    // Pixels: a copy of r as the screen shows it (overlapping windows included, the pointer
    // excluded), in the screen's pixel format; on a palette display an 8-bit image with the
    // 256-entry colour map. Parts outside every monitor come back black; an empty rectangle or a
    // failed copy gives a null image. A copy the desktop makes for the program (Wayland) holds the
    // desktop's own pixels of r, more than r has where the desktop scales its outputs; a desktop
    // that refuses the copy raises a run-time error saying why.
    virtual QImage CopyScreen(const QRect &r) = 0;
    // The whole desktop: CopyScreen of VirtualScreen(), which a platform may do in one step.
    virtual QImage CopyVirtualScreen();

    // The eyedropper's copy, for desktops where a copy takes longer than a tick may hold the
    // window: starts a copy of r and hands it to done on the GUI thread once it is there, with
    // the pixels CopyScreen(r) gives while the screen is frozen: exactly r.size() pixels, each
    // the desktop's pixel at that place. done is called exactly once, with a null image and the
    // error when the copy failed (error is null otherwise, and valid only during the call),
    // unless receiver is destroyed first: then never. It may be called before this returns; the
    // default copies at once through CopyScreen, as X11 and a frozen screen do. A caller starts
    // the next copy only once done has been called for the last one.
    using ScreenCopyDone = std::function<void(const QImage &copy, const RuntimeError *error)>;
    virtual void RequestScreenCopy(const QRect &r, QObject *receiver, ScreenCopyDone done);

    // The eyedropper's still screen, for desktops that let no program read the screen live:
    // FreezeScreen takes one copy of the whole screen and shows it over every monitor, and until
    // ThawScreen takes it away CopyScreen serves from that copy, exactly r.size() pixels, each the
    // desktop's pixel at that place. Raises a run-time error, and freezes nothing, when the
    // desktop refuses the copy. Where the screen is read live (X11) both do nothing.
    virtual void FreezeScreen() {}
    virtual void ThawScreen() {}
    // One colour that the user points at with the desktop's own picker (red in the low byte),
    // for when the screen cannot be copied; none where the desktop has no picker. Raises a
    // run-time error when the user cancels.
    virtual std::optional<qint32> PickColour() { return std::nullopt; }

    // Who copies single windows.
    enum class WindowCopyWay {
        FromScreen,       // the program: it finds the window and copies its part of the screen (X11)
        ActiveByDesktop,  // the desktop copies its active window; the program finds any other and copies its part of the screen
        InDesktopDialog,  // the user picks every window in the desktop's own screenshot dialog
    };
    virtual WindowCopyWay WindowCopies() const { return WindowCopyWay::FromScreen; }
    // Where the desktop copies windows: the active window (null when there is none), or the one
    // the user picks in the desktop's own dialog. Raise a run-time error when the desktop refuses
    // or the user cancels; null where the program copies windows itself.
    virtual QImage CopyActiveWindow() { return {}; }
    virtual QImage CopyPickedWindow() { return {}; }
};

// The platform the program runs on. The program's start installs it (PlatformLoader); until then,
// and wherever nothing else is installed, the desktop is known only through Qt's screens.
Platform &CurrentPlatform();
void InstallPlatform(std::unique_ptr<Platform> platform);
// Tests put a fake desktop in front of the installed one (nullptr takes it away again).
void SetPlatformForTesting(Platform *platform);

// The monitor that holds the largest part of window, else the one nearest to it; 0 when there
// are no monitors. Ties go to the monitor listed first.
struct MonitorArea
{
    MonitorHandle handle = 0;
    QRect rect;
};
MonitorHandle BestMonitorFor(const QRect &window, const QList<MonitorArea> &monitors);
