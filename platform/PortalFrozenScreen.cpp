// The eyedropper's still screen on Wayland: one copy of the desktop, shown over every monitor.
#include "platform/PortalFrozenScreen.h"

#include "platform/StillPicture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QRegion>
#include <QScreen>

namespace {
// Shows its part of the picture, one picture pixel for each of its device pixels, sampled as the
// eyedropper samples: what the user sees under the tip is what the fields read.
class CoverWindow : public QRasterWindow
{
public:
    CoverWindow(const QImage &picture, const QRect &all, QScreen *screen, const QRect &where)
    {
        const qreal ratio = screen->devicePixelRatio();
        m_part = StillPicture::Sample(picture, all, where.topLeft(), (QSizeF(where.size()) * ratio).toSize(), ratio);
        m_part.setDevicePixelRatio(ratio);
        // A window with an alpha channel gets no drop shadow from a compositing desktop (mutter
        // draws one under every opaque window, even one that bypasses it), so the still screen's
        // pieces cast no dark bands onto each other. Every pixel is painted opaque.
        QSurfaceFormat format = requestedFormat();
        format.setAlphaBufferSize(8);
        setFormat(format);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPoint(0, 0), m_part);
    }

private:
    QImage m_part;
};
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
            Show(all, screen, screen->geometry(), true);
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
            Show(all, screen, piece, false);
}

void PortalFrozenScreen::Show(const QRect &all, QScreen *screen, const QRect &where, bool fullScreen)
{
    auto window = std::make_unique<CoverWindow>(m_picture, all, screen, where);
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
