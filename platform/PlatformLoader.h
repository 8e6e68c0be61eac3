// The one place that chooses how the program reaches the desktop.
#pragma once

namespace PlatformLoader {
// Installs the platform for the session Qt runs in: X11 where Qt runs on xcb, otherwise the
// monitors Qt reports and nothing else. Call once the application object exists.
void InstallPlatform();
}
