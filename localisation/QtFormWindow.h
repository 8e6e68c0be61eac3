// A Qt window as the position operations of cInifile see it.
#pragma once

#include "localisation/FormWindow.h"

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <optional>

// The primary screen in twips, and the size of one pixel in twips.
struct ScreenMetrics
{
    double Width = 0;
    double Height = 0;
    double TwipsPerPixelX = 15;
    double TwipsPerPixelY = 15;
};

// The primary screen as Qt reports it (twips per pixel from its logical resolution). Raises a
// run-time error when there is no screen.
ScreenMetrics PrimaryScreenMetrics();

// Geometry is the window's frame rectangle relative to the primary screen's top-left corner.
// Moving a minimised or maximised window is an error, as it has no rectangle of its own then.
class QtFormWindow : public FormWindow
{
public:
    explicit QtFormWindow(QWidget *window);
    // With fixed screen metrics, for tests that must not depend on the display they run on.
    QtFormWindow(QWidget *window, const ScreenMetrics &screen);

    qint32 WindowState() const override;
    double Left() const override;
    double Top() const override;
    double Width() const override;
    double Height() const override;
    void Move(qint32 left, qint32 top, qint32 width, qint32 height) override;
    void Maximise() override;

    double ScreenWidth() const override { return screen().Width; }
    double ScreenHeight() const override { return screen().Height; }
    double TwipsPerPixelX() const override { return screen().TwipsPerPixelX; }
    double TwipsPerPixelY() const override { return screen().TwipsPerPixelY; }

private:
    QWidget *window() const;
    ScreenMetrics screen() const;
    QPoint origin() const;

    QPointer<QWidget> m_window;
    std::optional<ScreenMetrics> m_screen;
};
