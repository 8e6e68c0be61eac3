// The eyedropper's still screen on Wayland: one copy of the desktop, shown over every monitor.
#include "platform/PortalFrozenScreen.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>

namespace {
class CoverWindow : public QRasterWindow
{
public:
    explicit CoverWindow(QImage part) : m_part(std::move(part)) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        // Pixels repeated or dropped, never blended: what the user sees is what the samples read.
        QPainter painter(this);
        painter.drawImage(QRect(QPoint(0, 0), size()), m_part);
    }

private:
    QImage m_part;
};

// The part of a picture of the bounding box all that shows inside one of its rectangles.
QImage PartFor(const QImage &picture, const QRect &all, const QRect &one)
{
    const double sx = double(picture.width()) / all.width();
    const double sy = double(picture.height()) / all.height();
    const QRect source(qRound((one.x() - all.x()) * sx), qRound((one.y() - all.y()) * sy), qRound(one.width() * sx),
                       qRound(one.height() * sy));
    return picture.copy(source);
}
}

PortalFrozenScreen::PortalFrozenScreen(const QImage &picture) : m_picture(picture)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return;
    const QRect all = screens.first()->virtualGeometry();
    // On X11 (Xwayland) a window that bypasses the window manager lies exactly where it is put,
    // takes no keyboard focus and so leaves the arrow keys with the main window; elsewhere each
    // cover is a full-screen window on its own monitor.
    const bool onX11 = QGuiApplication::platformName() == QLatin1String("xcb");
    for (QScreen *screen : screens) {
        auto window = std::make_unique<CoverWindow>(PartFor(picture, all, screen->geometry()));
        window->setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                         | (onX11 ? Qt::BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus : Qt::WindowFlags()));
        window->setScreen(screen);
        window->setGeometry(screen->geometry());
        if (onX11)
            window->show();
        else
            window->showFullScreen();
        m_windows.push_back(std::move(window));
    }
}

PortalFrozenScreen::~PortalFrozenScreen() = default;
