// The desktop on Wayland: pixels through the desktop portal, everything else as before.
#pragma once

#include "platform/ForwardingPlatform.h"

#include <memory>
#include <optional>

class PortalFrozenScreen;

// Monitors, windows and the pointer come from the platform underneath (X11 under Xwayland, or
// Qt's screens); the screen's pixels from the portal's screenshots. The portal hands over every
// screenshot as a new file made for this one request: it is read and then removed, so that no
// copy the user never asked to keep piles up in the picture folder.
//
// The portal's picture covers all monitors, in the desktop's own pixels: at output scale 2 it has
// twice as many as the monitors' rectangles in program coordinates. Rectangles are mapped by
// that ratio.
class PortalPlatform : public ForwardingPlatform
{
public:
    explicit PortalPlatform(std::unique_ptr<Platform> desktop);
    ~PortalPlatform() override;

    // Frozen: served from the still picture. Otherwise one non-interactive screenshot per call.
    QImage CopyScreen(const QRect &r) override;
    void FreezeScreen() override;
    void ThawScreen() override;
    std::optional<qint32> PickColour() override;

    // The user picks every window in the portal's interactive screenshot dialog.
    WindowCopyWay WindowCopies() const override;
    QImage CopyActiveWindow() override;
    QImage CopyPickedWindow() override;

protected:
    // One screenshot of the whole desktop through the portal; interactive: in its dialog.
    QImage Screenshot(bool interactive);

private:
    std::unique_ptr<PortalFrozenScreen> m_frozen;
};
