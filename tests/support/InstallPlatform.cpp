// Tests on a real desktop use the platform the program would use there, installed as soon as the
// application object exists.
#include "platform/PlatformLoader.h"

#include <QCoreApplication>

static void InstallRealPlatform() { PlatformLoader::InstallPlatform(); }
Q_COREAPP_STARTUP_FUNCTION(InstallRealPlatform)
