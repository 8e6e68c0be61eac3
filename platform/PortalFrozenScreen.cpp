// The eyedropper's still screen on Wayland: one copy of the desktop, shown over every monitor.
#include "platform/PortalFrozenScreen.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QRegion>
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
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        // A Wayland client cannot place its windows: a full-screen window on each monitor, which
        // the compositor puts above ours.
        for (QScreen *screen : screens)
            Show(PartFor(picture, all, screen->geometry()), screen, screen->geometry(), true);
        return;
    }
    // Windows put exactly where they belong, around our own windows, which stay live above the
    // still screen: the zoom view and the fields follow the pointer. They bypass the window
    // manager, so they take no keyboard focus and leave the arrow keys with the main window.
    QRegion ours;
    for (QWindow *window : QGuiApplication::topLevelWindows())
        if (window->isVisible())
            ours += window->frameGeometry();
    for (QScreen *screen : screens)
        for (const QRect &piece : QRegion(screen->geometry()).subtracted(ours))
            Show(PartFor(picture, all, piece), screen, piece, false);
}

void PortalFrozenScreen::Show(const QImage &part, QScreen *screen, const QRect &where, bool fullScreen)
{
    auto window = std::make_unique<CoverWindow>(part);
    window->setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                     | (fullScreen ? Qt::WindowFlags() : Qt::BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus));
    window->setScreen(screen);
    window->setGeometry(where);
    if (fullScreen)
        window->showFullScreen();
    else
        window->show();
    m_windows.push_back(std::move(window));
}

PortalFrozenScreen::~PortalFrozenScreen() = default;
