// The eyedropper's still screen on Wayland: one copy of the desktop, shown over every monitor.
#pragma once

#include <QImage>

#include <memory>
#include <vector>

class QRect;
class QScreen;
class QWindow;

// Shown while it lives: borderless windows of ours over every monitor, above everything but our
// own windows, each showing its part of the picture. The pointer then always lies over a window
// of ours, so its position is known, also under Xwayland.
class PortalFrozenScreen
{
public:
    // picture shows the whole desktop: all monitors within their bounding box.
    explicit PortalFrozenScreen(const QImage &picture);
    ~PortalFrozenScreen();
    PortalFrozenScreen(const PortalFrozenScreen &) = delete;
    PortalFrozenScreen &operator=(const PortalFrozenScreen &) = delete;

    const QImage &Picture() const { return m_picture; }

private:
    void Show(const QRect &all, QScreen *screen, const QRect &where, bool fullScreen);

    QImage m_picture;
    std::vector<std::unique_ptr<QWindow>> m_windows;
};
