// A Qt window as the position operations of cInifile see it.
#include "localisation/QtFormWindow.h"

#include "base/ErrorTexts.h"
#include "base/Rounding.h"
#include "base/RuntimeError.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

constexpr double TwipsPerInch = 1440.0;

// The errors raised here are caught by the position operations; they never reach the user.
QScreen *PrimaryScreen()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        RaiseError(ErrorKind::NoScreen);
    return screen;
}

} // namespace

ScreenMetrics PrimaryScreenMetrics()
{
    const QScreen *screen = PrimaryScreen();
    ScreenMetrics metrics;
    metrics.TwipsPerPixelX = TwipsPerInch / screen->logicalDotsPerInchX();
    metrics.TwipsPerPixelY = TwipsPerInch / screen->logicalDotsPerInchY();
    metrics.Width = screen->geometry().width() * metrics.TwipsPerPixelX;
    metrics.Height = screen->geometry().height() * metrics.TwipsPerPixelY;
    return metrics;
}

QtFormWindow::QtFormWindow(QWidget *window) : m_window(window) {}

QtFormWindow::QtFormWindow(QWidget *window, const ScreenMetrics &screen)
    : m_window(window), m_screen(screen)
{
}

QWidget *QtFormWindow::window() const
{
    if (!m_window)
        RaiseError(ErrorKind::WindowGone);
    return m_window;
}

ScreenMetrics QtFormWindow::screen() const
{
    return m_screen ? *m_screen : PrimaryScreenMetrics();
}

QPoint QtFormWindow::origin() const
{
    return PrimaryScreen()->geometry().topLeft();
}

qint32 QtFormWindow::WindowState() const
{
    const QWidget *w = window();
    if (w->isMinimized())
        return Minimised;
    if (w->isMaximized())
        return Maximised;
    return Normal;
}

double QtFormWindow::Left() const
{
    return (window()->frameGeometry().x() - origin().x()) * screen().TwipsPerPixelX;
}

double QtFormWindow::Top() const
{
    return (window()->frameGeometry().y() - origin().y()) * screen().TwipsPerPixelY;
}

double QtFormWindow::Width() const
{
    return window()->frameGeometry().width() * screen().TwipsPerPixelX;
}

double QtFormWindow::Height() const
{
    return window()->frameGeometry().height() * screen().TwipsPerPixelY;
}

void QtFormWindow::Move(qint32 left, qint32 top, qint32 width, qint32 height)
{
    QWidget *w = window();
    if (w->isMinimized() || w->isMaximized())
        RaiseError(ErrorKind::WindowNotMovable);
    const ScreenMetrics s = screen();
    const QPoint o = origin();
    // The frame's part of the outer size stays as it is: only the client area can be resized.
    const QRect frame = w->frameGeometry();
    const QRect client = w->geometry();
    const qint32 x = CheckedAdd(RoundHalfEven(left / s.TwipsPerPixelX), o.x());
    const qint32 y = CheckedAdd(RoundHalfEven(top / s.TwipsPerPixelY), o.y());
    const qint32 clientWidth = CheckedSub(RoundHalfEven(width / s.TwipsPerPixelX), frame.width() - client.width());
    const qint32 clientHeight = CheckedSub(RoundHalfEven(height / s.TwipsPerPixelY), frame.height() - client.height());
    w->resize(qMax(clientWidth, 0), qMax(clientHeight, 0));
    w->move(x, y);
}

void QtFormWindow::Maximise()
{
    QWidget *w = window();
    w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
}
