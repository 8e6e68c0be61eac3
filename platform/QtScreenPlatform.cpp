// A desktop known only through Qt's screens: what the program gets on a platform other than X11.
#include "platform/QtScreenPlatform.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace {
QPoint PrimaryOrigin()
{
    QScreen *primary = QGuiApplication::primaryScreen();
    return primary ? primary->geometry().topLeft() : QPoint();
}

QList<QScreen *> Screens() { return QGuiApplication::screens(); }

ScreenRect Relative(QRect r)
{
    return ScreenRect::FromQRect(r.translated(-PrimaryOrigin()));
}
}

ScreenRect QtScreenPlatform::VirtualScreen() const
{
    QScreen *primary = QGuiApplication::primaryScreen();
    return primary ? Relative(primary->virtualGeometry()) : ScreenRect();
}

int QtScreenPlatform::MonitorCount() const { return static_cast<int>(Screens().size()); }

MonitorHandle QtScreenPlatform::MonitorFromPoint(QPoint p) const
{
    const auto screens = Screens();
    for (int i = 0; i < screens.size(); ++i)
        if (Relative(screens[i]->geometry()).ToQRect().contains(p))
            return i + 1;
    return 0;
}

MonitorHandle QtScreenPlatform::MonitorFromWindow(WindowHandle) const
{
    return Screens().isEmpty() ? 0 : 1;
}

bool QtScreenPlatform::MonitorInfo(MonitorHandle h, ScreenRect *monitor, ScreenRect *work) const
{
    const auto screens = Screens();
    if (h < 1 || h > screens.size())
        return false;
    if (monitor)
        *monitor = Relative(screens[h - 1]->geometry());
    if (work)
        *work = Relative(screens[h - 1]->availableGeometry());
    return true;
}

ScreenRect QtScreenPlatform::PrimaryWorkArea() const
{
    QScreen *primary = QGuiApplication::primaryScreen();
    return primary ? Relative(primary->availableGeometry()) : ScreenRect();
}

QPoint QtScreenPlatform::CursorPos() const { return QCursor::pos() - PrimaryOrigin(); }
void QtScreenPlatform::SetCursorPos(QPoint p) { QCursor::setPos(p + PrimaryOrigin()); }

QImage QtScreenPlatform::CopyScreen(const QRect &r)
{
    if (r.isEmpty())
        return {};
    QImage image(r.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}
