// The desktop on KDE Plasma: KWin copies the screen and windows for the program it trusts.
#include "platform/KWinPlatform.h"

#include "base/ErrorTexts.h"
#include "base/RuntimeError.h"
#include "platform/StillPicture.h"

namespace {
constexpr WindowHandle NativeWindow = 0x80000000u;
// How long one list of KWin's windows answers for.
constexpr int ListValidMs = 20;
}

KWinPlatform::KWinPlatform(std::unique_ptr<Platform> desktop) : PortalPlatform(std::move(desktop))
{
}

QImage KWinPlatform::Granted(const KWinScreenShot::Shot &shot)
{
    if (shot.refused && !m_refused) {
        m_refused = true;
        ReportError(RuntimeError(ErrorNumberOf(ErrorKind::ScreenCopyNotGranted), ErrorDescription(ErrorKind::ScreenCopyNotGranted)));
    }
    return shot.picture;
}

QImage KWinPlatform::CopyScreen(const QRect &r)
{
    if (m_refused || r.isEmpty())
        return PortalPlatform::CopyScreen(r);
    const QImage picture = Granted(KWinScreenShot::Area(r));
    if (m_refused)
        return PortalPlatform::CopyScreen(r);
    // While the eyedropper is held, exactly r's pixels, as a still screen would give them.
    if (m_picking && !picture.isNull())
        return StillPicture::Sample(picture, r, r.topLeft(), r.size());
    return picture;
}

void KWinPlatform::RequestScreenCopy(const QRect &r, QObject *receiver, ScreenCopyDone done)
{
    if (!m_picking || r.isEmpty())
        return Platform::RequestScreenCopy(r, receiver, std::move(done));
    KWinScreenShot::RequestArea(r, receiver, [r, done = std::move(done)](const KWinScreenShot::Shot &shot, const RuntimeError *error) {
        if (error)
            return done(QImage(), error);
        if (shot.refused || shot.picture.isNull()) {
            // Refused after the press let it: the drag ends with the reason.
            const RuntimeError refused(ErrorNumberOf(ErrorKind::ScreenCopyNotGranted), ErrorDescription(ErrorKind::ScreenCopyNotGranted));
            return done(QImage(), &refused);
        }
        done(StillPicture::Sample(shot.picture, r, r.topLeft(), r.size()), nullptr);
    });
}

QImage KWinPlatform::CopyVirtualScreen()
{
    if (!m_refused) {
        const QImage picture = Granted(KWinScreenShot::Workspace());
        if (!m_refused)
            return picture.isNull() ? picture : picture.convertToFormat(QImage::Format_RGB32);
    }
    return PortalPlatform::CopyVirtualScreen();
}

void KWinPlatform::FreezeScreen()
{
    if (!m_refused) {
        // One copy first: a KWin that refuses is found out now, and the portal's still screen
        // steps in.
        const QRect screen = VirtualScreen().ToQRect();
        Granted(KWinScreenShot::Area(QRect(screen.topLeft(), QSize(1, 1))));
    }
    if (m_refused)
        PortalPlatform::FreezeScreen();
    else
        m_picking = true;
}

void KWinPlatform::ThawScreen()
{
    m_picking = false;
    PortalPlatform::ThawScreen();
}

Platform::WindowCopyWay KWinPlatform::WindowCopies() const
{
    return m_refused ? PortalPlatform::WindowCopies() : WindowCopyWay::ActiveByDesktop;
}

QImage KWinPlatform::CopyActiveWindow()
{
    if (!m_refused) {
        const QImage picture = Granted(KWinScreenShot::ActiveWindow());
        if (!m_refused)
            return picture;
    }
    return PortalPlatform::CopyActiveWindow();
}

WindowHandle KWinPlatform::HandleOf(const KWinWindows::Window &window)
{
    return window.xWindow ? window.xWindow : NativeWindow | WindowHandle(qHash(window.id) & ~NativeWindow);
}

bool KWinPlatform::Refresh() const
{
    if (!m_scripting)
        return false;
    // One list serves the questions of one moment: the hand's preview asks twice a tick where
    // the window under the pointer is, and each list costs a script run in KWin.
    if (m_listed.isValid() && m_listed.elapsed() < ListValidMs)
        return true;
    const std::optional<QList<KWinWindows::Window>> windows = KWinWindows::Windows();
    m_scripting = windows.has_value();
    if (windows) {
        m_windows = *windows;
        m_listed.start();
    }
    return m_scripting;
}

const KWinWindows::Window *KWinPlatform::Native(WindowHandle w) const
{
    if (!(w & NativeWindow))
        return nullptr;
    for (const KWinWindows::Window &window : std::as_const(m_windows))
        if (!window.xWindow && HandleOf(window) == w)
            return &window;
    return nullptr;
}

WindowHandle KWinPlatform::WindowFromPoint(QPoint p) const
{
    if (!Refresh())
        return PortalPlatform::WindowFromPoint(p);
    const KWinWindows::Window *window = KWinWindows::WindowAt(m_windows, p);
    if (!window)
        return DesktopWindow();
    // An X window: the innermost one at the point, as X11 finds it.
    return window->xWindow ? PortalPlatform::WindowFromPoint(p) : HandleOf(*window);
}

WindowHandle KWinPlatform::ParentWindow(WindowHandle w) const
{
    return w & NativeWindow ? 0 : PortalPlatform::ParentWindow(w);
}

ScreenRect KWinPlatform::WindowRect(WindowHandle w) const
{
    if (!(w & NativeWindow))
        return PortalPlatform::WindowRect(w);
    const KWinWindows::Window *window = Native(w);
    return window ? ScreenRect::FromQRect(window->frame) : ScreenRect();
}

ScreenRect KWinPlatform::ClientRect(WindowHandle w) const
{
    if (!(w & NativeWindow))
        return PortalPlatform::ClientRect(w);
    const KWinWindows::Window *window = Native(w);
    return window ? ScreenRect::FromQRect(window->client) : ScreenRect();
}

bool KWinPlatform::BringToFront(WindowHandle w)
{
    if (!(w & NativeWindow))
        return PortalPlatform::BringToFront(w);
    const KWinWindows::Window *window = Native(w);
    m_listed.invalidate();  // the stacking changes
    return window && KWinWindows::Activate(window->id);
}

bool KWinPlatform::IsWindowShown(WindowHandle w) const
{
    if (!(w & NativeWindow))
        return PortalPlatform::IsWindowShown(w);
    return Refresh() && Native(w);
}

void KWinPlatform::RepaintWindow(WindowHandle w)
{
    if (!(w & NativeWindow))
        PortalPlatform::RepaintWindow(w);
}

bool KWinPlatform::MoveWindow(WindowHandle w, int x, int y, int width, int height)
{
    return !(w & NativeWindow) && PortalPlatform::MoveWindow(w, x, y, width, height);
}

bool KWinPlatform::SetAlwaysOnTop(WindowHandle w, bool on)
{
    return !(w & NativeWindow) && PortalPlatform::SetAlwaysOnTop(w, on);
}
