// Tests on a real desktop use the program's own platform, installed with the application object.
#include "platform/PlatformLoader.h"

#include <QtCore>

static void InstallRealPlatform() { PlatformLoader::InstallPlatform(); }
Q_COREAPP_STARTUP_FUNCTION(InstallRealPlatform)
