// The desktop on a wlroots compositor.
#include "platform/wlroots/WlrootsPlatform.h"

#include "base/ErrorTexts.h"
#include "platform/wlroots/SwayIpc.h"
#include "platform/wlroots/WlrootsScreenCopy.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QHash>
#include <QPointer>
#include <QtMath>
#include <QSinglePointEvent>
#include <QTimer>
#include <QWindow>

namespace {
// Wayland windows' handles: sway's container id with the top bit set, apart from X ids.
constexpr WindowHandle WaylandWindow = 0x80000000u;

ScreenRect Shifted(const QRect &r, QPoint by)
{
    return ScreenRect::FromQRect(r.translated(by));
}
}

// sway centres a floating window at a half pixel where it and the output differ in size by an odd
// number. Xwayland puts the X window on the whole pixel above (or left of) it, and while a button
// pressed on the window is held, X's pointer then reads a row above sway's: the eyedropper would
// show the wrong pixel. sway keeps the offset of the press for the whole drag, so our floating X
// windows are put back on whole pixels before any press: whenever one is shown, moved or resized.
class WlrootsPlatform::WholePixels : public QObject
{
public:
    WholePixels()
    {
        m_settle.setSingleShot(true);
        m_settle.setInterval(0);
        connect(&m_settle, &QTimer::timeout, this, &WholePixels::Settle);
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!watched->isWindowType())
            return false;
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
            // sway places a window anew each time it is mapped.
            m_settled.clear();
            m_settle.start();
            break;
        case QEvent::Expose:
        case QEvent::Move:
        case QEvent::Resize:
            m_settle.start();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void Settle()
    {
        QList<quint32> ours;
        for (QWindow *window : QGuiApplication::topLevelWindows())
            if (window->isVisible() && window->handle())
                ours << quint32(window->winId());
        const std::optional<QList<SwayIpc::View>> views = SwayIpc::Views();
        for (const SwayIpc::View &view : views.value_or(QList<SwayIpc::View>())) {
            if (!view.floating || !ours.contains(view.xWindow) || m_settled.value(view.xWindow) == view.frame)
                continue;
            // sway tells positions in whole pixels only: moving the window there puts it on them.
            SwayIpc::Command(QStringLiteral("[con_id=%1] move absolute position %2 %3")
                                 .arg(view.id).arg(view.frame.x()).arg(view.frame.y()));
            m_settled.insert(view.xWindow, view.frame);
        }
    }

    QTimer m_settle;
    // Where each window was last put, so that the move's own events do not move it again.
    QHash<quint32, QRect> m_settled;
};

// The last place the pointer was seen in one of our windows, from the events Qt delivers.
class PointerInWindow : public QObject
{
public:
    PointerInWindow() { qApp->installEventFilter(this); }
    const QWindow *Window() const { return m_window; }
    QPointF InWindow() const { return m_inWindow; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseMove || type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
            || type == QEvent::Enter) {
            if (auto *window = qobject_cast<QWindow *>(watched)) {
                m_window = window;
                m_inWindow = static_cast<QSinglePointEvent *>(event)->position();
            }
        }
        return false;
    }

private:
    QPointer<QWindow> m_window;
    QPointF m_inWindow;
};

WlrootsPlatform::WlrootsPlatform(std::unique_ptr<Platform> desktop, std::unique_ptr<WlrootsScreenCopy> copier)
    : ForwardingPlatform(std::move(desktop)), m_copier(std::move(copier)), m_sway(SwayIpc::Available()),
      m_pointer(QGuiApplication::platformName().startsWith(QLatin1String("wayland")) ? std::make_unique<PointerInWindow>() : nullptr)
{
    if (m_sway && QGuiApplication::platformName() == QLatin1String("xcb"))
        m_wholePixels = std::make_unique<WholePixels>();
}

WlrootsPlatform::~WlrootsPlatform() = default;

QPoint WlrootsPlatform::Offset() const
{
    return m_copier->Layout().topLeft() - Desktop().VirtualScreen().ToQRect().topLeft();
}

WindowHandle WlrootsPlatform::HandleOf(const SwayIpc::View &view) const
{
    return view.xWindow ? view.xWindow : WaylandWindow | WindowHandle(view.id & 0x7fffffff);
}

std::optional<SwayIpc::View> WlrootsPlatform::FindView(WindowHandle w) const
{
    if (!m_sway || !w)
        return std::nullopt;
    const std::optional<QList<SwayIpc::View>> views = SwayIpc::Views();
    if (views)
        for (const SwayIpc::View &view : *views)
            if (HandleOf(view) == w)
                return view;
    return std::nullopt;
}

WindowHandle WlrootsPlatform::WindowFromPoint(QPoint p) const
{
    if (!m_sway)
        return ForwardingPlatform::WindowFromPoint(p);
    const QList<SwayIpc::View> views = SwayIpc::Views().value_or(QList<SwayIpc::View>());
    const SwayIpc::View *view = SwayIpc::ViewAt(views, p + Offset());
    return view ? HandleOf(*view) : DesktopWindow();
}

WindowHandle WlrootsPlatform::ParentWindow(WindowHandle w) const
{
    return w & WaylandWindow ? 0 : ForwardingPlatform::ParentWindow(w);
}

ScreenRect WlrootsPlatform::WindowRect(WindowHandle w) const
{
    if (const std::optional<SwayIpc::View> view = FindView(w))
        return Shifted(view->frame, -Offset());
    return w & WaylandWindow ? ScreenRect() : ForwardingPlatform::WindowRect(w);
}

ScreenRect WlrootsPlatform::ClientRect(WindowHandle w) const
{
    if (!(w & WaylandWindow))
        return ForwardingPlatform::ClientRect(w);
    const std::optional<SwayIpc::View> view = FindView(w);
    return view ? Shifted(view->content, -Offset()) : ScreenRect();
}

WindowHandle WlrootsPlatform::ForegroundWindow() const
{
    if (!m_sway)
        return ForwardingPlatform::ForegroundWindow();
    for (const SwayIpc::View &view : SwayIpc::Views().value_or(QList<SwayIpc::View>()))
        if (view.focused)
            return HandleOf(view);
    return 0;
}

bool WlrootsPlatform::BringToFront(WindowHandle w)
{
    const std::optional<SwayIpc::View> view = FindView(w);
    if (!view)
        return w & WaylandWindow ? false : ForwardingPlatform::BringToFront(w);
    return SwayIpc::Command(QStringLiteral("[con_id=%1] focus").arg(view->id));
}

bool WlrootsPlatform::IsWindowShown(WindowHandle w) const
{
    return w & WaylandWindow ? FindView(w).has_value() : ForwardingPlatform::IsWindowShown(w);
}

QPoint WlrootsPlatform::CursorPos() const
{
    const QWindow *window = m_pointer ? m_pointer->Window() : nullptr;
    if (!m_sway || !window)
        return ForwardingPlatform::CursorPos();
    // Qt places its windows where it believes they are, sway where it likes: the pointer's
    // position in the window is all that Qt knows for certain. Of our windows of that size, the
    // focused one is the likelier.
    const qint64 pid = QCoreApplication::applicationPid();
    std::optional<QPoint> origin;
    for (const SwayIpc::View &view : SwayIpc::Views().value_or(QList<SwayIpc::View>()))
        if (view.pid == pid && view.content.size() == window->size() && (!origin || view.focused))
            origin = view.content.topLeft();
    if (!origin)
        return ForwardingPlatform::CursorPos();
    // sway tells a window's place in whole pixels, a half cut off where it centres the window at
    // one, and a pointer on a whole pixel then lies half a pixel off in the window, on either side
    // of its edge: halves go up. (Qt's rounding takes them away from zero: a pixel short left of
    // and above such a window.)
    const QPointF in = m_pointer->InWindow();
    return *origin + QPoint(qFloor(in.x() + 0.5), qFloor(in.y() + 0.5)) - Offset();
}

void WlrootsPlatform::RepaintWindow(WindowHandle w)
{
    if (!(w & WaylandWindow))
        ForwardingPlatform::RepaintWindow(w);
}

bool WlrootsPlatform::MoveWindow(WindowHandle w, int x, int y, int width, int height)
{
    return !(w & WaylandWindow) && ForwardingPlatform::MoveWindow(w, x, y, width, height);
}

bool WlrootsPlatform::SetAlwaysOnTop(WindowHandle w, bool on)
{
    return !(w & WaylandWindow) && ForwardingPlatform::SetAlwaysOnTop(w, on);
}

QImage WlrootsPlatform::CopyScreen(const QRect &r)
{
    if (r.isEmpty())
        return {};
    return m_copier->Copy(r.translated(Offset()), WlrootsScreenCopy::Pixels::Device);
}

QImage WlrootsPlatform::CopyVirtualScreen()
{
    const QRect layout = m_copier->Layout();
    return layout.isEmpty() ? QImage() : m_copier->Copy(layout, WlrootsScreenCopy::Pixels::Device);
}

void WlrootsPlatform::RequestScreenCopy(const QRect &r, QObject *receiver, ScreenCopyDone done)
{
    m_copier->CopyLater(r.translated(Offset()), WlrootsScreenCopy::Pixels::Logical, receiver, std::move(done));
}

Platform::WindowCopyWay WlrootsPlatform::WindowCopies() const
{
    return m_sway ? WindowCopyWay::FromScreen : WindowCopyWay::ActiveByDesktop;
}

QImage WlrootsPlatform::CopyActiveWindow()
{
    RaiseError(ErrorKind::NoWindowCopies);
}

QImage WlrootsPlatform::CopyPickedWindow()
{
    RaiseError(ErrorKind::NoWindowCopies);
}
