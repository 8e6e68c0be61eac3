// The desktop on a wlroots compositor.
#include "platform/wlroots/WlrootsPlatform.h"

#include "base/ErrorTexts.h"
#include "platform/wlroots/SwayIpc.h"
#include "platform/wlroots/WlrootsScreenCopy.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QSinglePointEvent>
#include <QWindow>


namespace {
// Wayland windows' handles: sway's container id with the top bit set, apart from X ids.
constexpr WindowHandle WaylandWindow = 0x80000000u;

ScreenRect Shifted(const QRect &r, QPoint by)
{
    return ScreenRect::FromQRect(r.translated(by));
}
}

// The last place the pointer was seen in one of our windows, from the events Qt delivers.
class PointerInWindow : public QObject
{
public:
    PointerInWindow() { qApp->installEventFilter(this); }
    const QWindow *Window() const { return m_window; }
    QPoint InWindow() const { return m_inWindow; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseMove || type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
            || type == QEvent::Enter) {
            if (auto *window = qobject_cast<QWindow *>(watched)) {
                m_window = window;
                m_inWindow = static_cast<QSinglePointEvent *>(event)->position().toPoint();
            }
        }
        return false;
    }

private:
    QPointer<QWindow> m_window;
    QPoint m_inWindow;
};

WlrootsPlatform::WlrootsPlatform(std::unique_ptr<Platform> desktop, std::unique_ptr<WlrootsScreenCopy> copier)
    : ForwardingPlatform(std::move(desktop)), m_copier(std::move(copier)), m_sway(SwayIpc::Available()),
      m_pointer(QGuiApplication::platformName().startsWith(QLatin1String("wayland")) ? std::make_unique<PointerInWindow>() : nullptr)
{
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
    return origin ? *origin + m_pointer->InWindow() - Offset() : ForwardingPlatform::CursorPos();
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
