// The eyedropper's still screen on Wayland: one copy of the desktop, shown over every monitor.
#pragma once

#include <QImage>

#include <memory>
#include <vector>

class QWindow;

// Shown while it lives: a borderless window of ours on each monitor, above everything, showing
// that monitor's part of the picture. The pointer then always lies over a window of ours, so its
// position is known, also under Xwayland.
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
    QImage m_picture;
    std::vector<std::unique_ptr<QWindow>> m_windows;
};
