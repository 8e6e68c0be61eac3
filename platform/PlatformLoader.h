// The one place that chooses how the program reaches the desktop.
#pragma once

namespace PlatformLoader {
// The ways to the screen's pixels.
enum class Way {
    X11,        // a real X server whose root window shows the screen
    Portal,     // a Wayland session: the desktop portal, the X root (if any) shows nothing
    KWin,       // KDE Plasma on Wayland: KWin's own screenshots, the portal where KWin refuses
    Wlroots,    // a Wayland compositor that offers screencopy (sway and the other wlroots desktops)
    QtScreens,  // neither (Qt's offscreen platform): monitors only
};

// Before the application object: in a Wayland session the windows run on Xwayland's X display
// where there is one, so that they stack and place themselves as on X11, else on Qt's Wayland
// platform. What the user chose through QT_QPA_PLATFORM stands.
void ChooseWindowSystem();

// Installs the platform for the session Qt runs in. Call once the application object exists.
void InstallPlatform();
// What InstallPlatform chose.
Way InstalledWay();
}
