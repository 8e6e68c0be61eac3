// The decisions of the capture commands, apart from the windows that trigger them.
#include "capture/CaptureSteps.h"

#include "base/Rounding.h"
#include "base/ErrorTexts.h"
#include "capture/mdlCapture.h"
#include "monitors/mdlWindow.h"

namespace CaptureSteps {

namespace {
constexpr int MaxParentDepth = 64;
}

void RequirePicture(const QImage &picture)
{
    if (picture.isNull())
        RaiseError(ErrorKind::EmptyCapture);
}

QImage TakeDelayedCapture(bool activeWindow, MonitorHandle monitor)
{
    if (activeWindow) {
        QImage picture = mdlCapture::GrabForegroundWindow();
        if (picture.isNull())
            RaiseError(ErrorKind::NoActiveWindow);
        return picture;
    }
    if (monitor == 0)
        return mdlCapture::GrabVirtualScreen();
    // Unplugged between the choice and the copy: the rectangle of a gone monitor is all zero.
    if (mdlWindow::GetMonitorRect(monitor).IsZero())
        RaiseError(ErrorKind::MonitorGone);
    return mdlCapture::GrabMonitor(monitor);
}

bool IsWindowAt(QPoint p, WindowHandle own)
{
    Platform &platform = CurrentPlatform();
    WindowHandle w = platform.WindowFromPoint(p);
    for (int depth = 0; w != 0 && depth < MaxParentDepth; ++depth) {
        if (w == own)
            return true;
        w = platform.ParentWindow(w);
    }
    return false;
}

QPoint Centre(const ScreenRect &r)
{
    return QPoint(RoundHalfEven(r.Left + (r.Right - r.Left) / 2.0), RoundHalfEven(r.Top + (r.Bottom - r.Top) / 2.0));
}

}
