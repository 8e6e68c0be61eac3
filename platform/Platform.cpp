// The platform in use, and the monitor choices every platform makes alike.
#include "platform/Platform.h"

#include "platform/QtScreenPlatform.h"

#include "base/RuntimeError.h"

#include <algorithm>
#include <limits>

namespace {
Platform *g_testPlatform = nullptr;

std::unique_ptr<Platform> &Installed()
{
    static std::unique_ptr<Platform> platform;
    return platform;
}

qint64 Area(const QRect &r) { return r.isEmpty() ? 0 : qint64(r.width()) * r.height(); }

// Squared distance between two rectangles along the axes; 0 when they touch or overlap.
qint64 SquaredGap(const QRect &a, const QRect &b)
{
    const qint64 dx = std::max<qint64>({0, qint64(a.left()) - b.right() - 1, qint64(b.left()) - a.right() - 1});
    const qint64 dy = std::max<qint64>({0, qint64(a.top()) - b.bottom() - 1, qint64(b.top()) - a.bottom() - 1});
    return dx * dx + dy * dy;
}
}

QImage Platform::CopyVirtualScreen()
{
    const ScreenRect vs = VirtualScreen();
    // The right and bottom edges must be 32-bit coordinates too.
    CheckedAdd(vs.Left, vs.Width);
    CheckedAdd(vs.Top, vs.Height);
    if (vs.Width <= 0 || vs.Height <= 0)
        return {};
    return CopyScreen(vs.ToQRect());
}

void Platform::RequestScreenCopy(const QRect &r, QObject *, ScreenCopyDone done)
{
    QImage copy;
    try {
        copy = CopyScreen(r);
    } catch (const RuntimeError &error) {
        done(QImage(), &error);
        return;
    }
    done(copy, nullptr);
}

Platform &CurrentPlatform()
{
    if (g_testPlatform)
        return *g_testPlatform;
    std::unique_ptr<Platform> &installed = Installed();
    if (!installed)
        installed = std::make_unique<QtScreenPlatform>();
    return *installed;
}

void InstallPlatform(std::unique_ptr<Platform> platform)
{
    Installed() = std::move(platform);
}

void SetPlatformForTesting(Platform *platform)
{
    g_testPlatform = platform;
}

MonitorHandle BestMonitorFor(const QRect &window, const QList<MonitorArea> &monitors)
{
    const MonitorArea *best = nullptr;
    qint64 bestArea = 0;
    for (const MonitorArea &m : monitors) {
        const qint64 area = Area(m.rect & window);
        if (area > bestArea) {
            best = &m;
            bestArea = area;
        }
    }
    if (!best) {
        qint64 bestGap = std::numeric_limits<qint64>::max();
        for (const MonitorArea &m : monitors) {
            const qint64 gap = SquaredGap(m.rect, window);
            if (gap < bestGap) {
                best = &m;
                bestGap = gap;
            }
        }
    }
    return best ? best->handle : 0;
}
