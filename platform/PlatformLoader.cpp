// The one place that chooses the platform implementation.
#include "platform/Platform.h"
#include "platform/QtScreenPlatform.h"
#include "platform/X11Platform.h"

#include <QGuiApplication>

#include <memory>

namespace {
Platform *g_testPlatform = nullptr;

Platform &RealPlatform()
{
    // X11 is the desktop we are built for; any other Qt platform (offscreen in tests) gets the
    // monitors Qt reports and nothing else.
    static std::unique_ptr<Platform> platform = [] () -> std::unique_ptr<Platform> {
        if (auto x11 = X11Platform::Create())
            return x11;
        return std::make_unique<QtScreenPlatform>();
    }();
    return *platform;
}
}

Platform &CurrentPlatform()
{
    return g_testPlatform ? *g_testPlatform : RealPlatform();
}

void SetPlatformForTesting(Platform *platform)
{
    g_testPlatform = platform;
}
