// Capture benchmark: a colour sample (27 x 11 at the pointer), the whole virtual screen, and
// 10,000 copies in a row against the process's memory and its X resources. Run on a private Xvfb:
//   tests/support/with-x11-desktop.sh --screen 3840x2160x24 -- build/bench/bench_capture
#include "capture/mdlCapture.h"
#include "monitors/mdlWindow.h"
#include "platform/Platform.h"
#include "platform/PlatformLoader.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <xcb/res.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

struct Figures
{
    double median, p90, p99, max;
};

Figures Measure(int runs, const std::function<void()> &work)
{
    std::vector<double> micros;
    micros.reserve(size_t(runs));
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(micros.begin(), micros.end());
    const auto at = [&](double q) { return micros[std::min(micros.size() - 1, size_t(q * double(micros.size())))]; };
    return {at(0.5), at(0.9), at(0.99), micros.back()};
}

void Print(const char *what, const Figures &f, double unit, const char *unitName)
{
    std::printf("%-44s median %8.3f %s   p90 %8.3f   p99 %8.3f   max %8.3f\n", what, f.median / unit, unitName,
                f.p90 / unit, f.p99 / unit, f.max / unit);
}

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// Shared-memory segments this process created that still exist.
int SharedSegments()
{
    std::ifstream shm("/proc/sysvipc/shm");
    std::string line;
    std::getline(shm, line);
    int count = 0;
    const std::string pid = std::to_string(getpid());
    while (std::getline(shm, line)) {
        // key shmid perms size cpid ...
        char buffer[8][32] = {};
        if (std::sscanf(line.c_str(), "%31s %31s %31s %31s %31s", buffer[0], buffer[1], buffer[2], buffer[3], buffer[4]) == 5
            && pid == buffer[4])
            ++count;
    }
    return count;
}

// The X resources the server holds for this client, by the client's resource base.
long XResources(xcb_connection_t *c)
{
    const uint32_t base = xcb_get_setup(c)->resource_id_base;
    auto *reply = xcb_res_query_client_resources_reply(c, xcb_res_query_client_resources(c, base), nullptr);
    if (!reply)
        return -1;
    long total = 0;
    for (auto it = xcb_res_query_client_resources_types_iterator(reply); it.rem; xcb_res_type_next(&it))
        total += it.data->count;
    std::free(reply);
    return total;
}
}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    PlatformLoader::InstallPlatform();
    auto *x11 = app.nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) {
        std::fprintf(stderr, "needs an X display\n");
        return 1;
    }
    xcb_connection_t *c = x11->connection();
    Platform &platform = CurrentPlatform();
    const ScreenRect vs = mdlWindow::GetVirtualScreenRect();
    std::printf("virtual screen %d x %d at %d, %d\n", vs.Width, vs.Height, vs.Left, vs.Top);

    platform.SetCursorPos(QPoint(vs.Left + vs.Width / 2, vs.Top + vs.Height / 2));
    const Figures sample = Measure(5000, [&] {
        const QPoint p = platform.CursorPos();
        const QImage picture = mdlCapture::GrabWindowArea(0, true, p.x() - 13, p.y() - 5, 27, 11);
        if (picture.isNull())
            std::abort();
    });
    Print("colour sample 27 x 11 at the pointer", sample, 1000.0, "ms");
    const QPoint p = platform.CursorPos();
    const Figures copyOnly = Measure(5000, [&] { mdlCapture::GrabWindowArea(0, true, p.x() - 13, p.y() - 5, 27, 11); });
    Print("  the copy alone (pointer read once)", copyOnly, 1000.0, "ms");
    Print("  the pointer alone", Measure(5000, [&] { platform.CursorPos(); }), 1000.0, "ms");
    Print("  one X round trip", Measure(5000, [&] { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }), 1000.0, "ms");

    const Figures whole = Measure(100, [] {
        const QImage picture = mdlCapture::GrabVirtualScreen();
        if (picture.isNull())
            std::abort();
    });
    Print("whole virtual screen into a picture", whole, 1000.0, "ms");

    QScreen *screen = QGuiApplication::primaryScreen();
    const Figures qt = Measure(30, [&] { screen->grabWindow(0, 0, 0, vs.Width, vs.Height).toImage(); });
    Print("for comparison: Qt's grabWindow of the same", qt, 1000.0, "ms");

    // 10,000 copies in a row: colour samples, every tenth a whole screen.
    for (int i = 0; i < 50; ++i)
        mdlCapture::GrabVirtualScreen();
    const long rssBefore = ResidentKiB();
    const long resourcesBefore = XResources(c);
    const int segmentsBefore = SharedSegments();
    for (int i = 0; i < 10000; ++i) {
        if (i % 10 == 0)
            mdlCapture::GrabVirtualScreen();
        else
            mdlCapture::GrabWindowArea(0, true, vs.Left + i % 500, vs.Top + i % 300, 27, 11);
    }
    std::printf("10,000 copies: resident memory %ld -> %ld KiB, X resources %ld -> %ld, shared segments %d -> %d\n",
                rssBefore, ResidentKiB(), resourcesBefore, XResources(c), segmentsBefore, SharedSegments());
    return 0;
}
