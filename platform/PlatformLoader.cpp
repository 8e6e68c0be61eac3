// The one place that chooses how the program reaches the desktop.
#include "platform/PlatformLoader.h"

#include "platform/Platform.h"
#include "platform/QtScreenPlatform.h"
#include "platform/X11Platform.h"

namespace PlatformLoader {

void InstallPlatform()
{
    if (auto x11 = X11Platform::Create()) {
        ::InstallPlatform(std::move(x11));
        return;
    }
    ::InstallPlatform(std::make_unique<QtScreenPlatform>());
}

}
