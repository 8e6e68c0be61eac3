// Eyedropper benchmark: the time of one sample (copy, stretch, centre colour, cross, five fields,
// colour box) and the program's CPU and memory while the eyedropper is dragged. Run on a private
// Xvfb:
//   dbus-run-session -- tests/support/with-x11-desktop.sh -- build/bench/bench_picker_tick [ticks] [drag seconds]
#include "app/PictureBox.h"
#include "capture/mdlCapture.h"
#include "app/frmMain.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "platform/Platform.h"
#include "platform/PlatformLoader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
double Percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p / 100.0 * double(v.size())));
    return v[i];
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    // Files under /proc report no size; read them whole.
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines)
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Least-squares slope of y over x.
double Slope(const std::vector<double> &x, const std::vector<double> &y)
{
    const double n = double(x.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        sx += x[i];
        sy += y[i];
        sxx += x[i] * x[i];
        sxy += x[i] * y[i];
    }
    const double d = n * sxx - sx * sx;
    return d == 0 ? 0 : (n * sxy - sx * sy) / d;
}

void MovePointerSomewhere(QRandomGenerator &random)
{
    const QRect screen = CurrentPlatform().VirtualScreen().ToQRect();
    CurrentPlatform().SetCursorPos(QPoint(screen.left() + int(random.bounded(screen.width())),
                                          screen.top() + int(random.bounded(screen.height()))));
}
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    PlatformLoader::InstallPlatform();
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 3000;
    const int dragSeconds = argc > 2 ? std::atoi(argv[2]) : 60;

    QTemporaryDir dir;
    mdlI18n::LanguageFile().setPath(dir.filePath(QStringLiteral("pixolva.lng")));
    frmMain window;
    window.show();
    window.activateWindow();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500)
        app.processEvents(QEventLoop::AllEvents, 50);

    auto *picCursor = window.findChild<PictureBox *>(QStringLiteral("picCursor"));
    auto *Timer1 = window.findChild<QTimer *>(QStringLiteral("Timer1"));
    if (!picCursor || !Timer1) {
        std::fprintf(stderr, "main window without eyedropper\n");
        return 1;
    }

    // Start a drag as a press on the eyedropper does.
    const QPointF local(picCursor->width() / 2.0, picCursor->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, local, picCursor->mapToGlobal(local), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(picCursor, &press);
    if (!Timer1->isActive()) {
        std::fprintf(stderr, "the press did not start the eyedropper\n");
        return 1;
    }

    // 1. One tick at a time, the timer held; the pointer moves between ticks so that every tick
    //    writes new texts and a new colour.
    Timer1->stop();
    QRandomGenerator random(20240611);
    std::vector<double> tickMicros;
    std::vector<double> paintMicros;
    tickMicros.reserve(size_t(ticks));
    paintMicros.reserve(size_t(ticks));
    QElapsedTimer clock;
    for (int i = 0; i < ticks; ++i) {
        MovePointerSomewhere(random);
        app.processEvents();
        clock.start();
        QMetaObject::invokeMethod(Timer1, "timeout", Qt::DirectConnection);
        const qint64 tick = clock.nsecsElapsed();
        app.processEvents(); // the repaint of the zoom view, the fields and the colour box
        const qint64 total = clock.nsecsElapsed();
        tickMicros.push_back(double(tick) / 1000.0);
        paintMicros.push_back(double(total) / 1000.0);
    }
    // The screen copy alone, for comparison: the one part of a tick that waits for the X server.
    std::vector<double> copyMicros;
    copyMicros.reserve(size_t(ticks));
    for (int i = 0; i < ticks; ++i) {
        MovePointerSomewhere(random);
        const QPoint p = CurrentPlatform().CursorPos();
        clock.start();
        const QImage copy = mdlCapture::GrabWindowArea(0, true, p.x() - 13, p.y() - 5, 27, 11);
        copyMicros.push_back(double(clock.nsecsElapsed()) / 1000.0);
    }

    std::printf("  ticks measured: %d, the slowest %.2f ms\n", ticks, Percentile(tickMicros, 100) / 1000.0);
    std::printf("eyedropper tick: median %.3f ms, p99 %.3f ms (target: at most 0.3 ms and 1 ms)\n",
                Percentile(tickMicros, 50) / 1000.0, Percentile(tickMicros, 99) / 1000.0);
    std::printf("  tick and repaint: median %.3f ms, p99 %.3f ms\n", Percentile(paintMicros, 50) / 1000.0,
                Percentile(paintMicros, 99) / 1000.0);
    std::printf("  screen copy alone: median %.3f ms, p99 %.3f ms\n", Percentile(copyMicros, 50) / 1000.0,
                Percentile(copyMicros, 99) / 1000.0);

    // 2. The real drag: the timer at 50 ms, the pointer moving every 200 ms.
    int fired = 0;
    QObject::connect(Timer1, &QTimer::timeout, [&fired] { ++fired; });
    QTimer mover;
    QObject::connect(&mover, &QTimer::timeout, [&random] { MovePointerSomewhere(random); });
    mover.start(200);
    Timer1->start();
    std::vector<double> seconds;
    std::vector<double> kib;
    QTimer sampler;
    QElapsedTimer wall;
    wall.start();
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        seconds.push_back(double(wall.elapsed()) / 1000.0);
        kib.push_back(double(ResidentKiB()));
    });
    sampler.start(1000);
    const double cpuStart = CpuSeconds();
    QTimer::singleShot(dragSeconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const double cpu = CpuSeconds() - cpuStart;
    const double elapsed = double(wall.elapsed()) / 1000.0;
    Timer1->stop();

    std::printf("  drag: %.1f s, %d ticks (%.1f a second)\n", elapsed, fired, fired / elapsed);
    std::printf("eyedropper drag: %.2f%% of a core (target: under 2%%)\n", 100.0 * cpu / elapsed);
    // Memory: the first seconds hold start-up settling; the slope over the rest shows growth.
    const size_t skip = std::min<size_t>(5, kib.size() / 4);
    const std::vector<double> xs(seconds.begin() + long(skip), seconds.end());
    const std::vector<double> ys(kib.begin() + long(skip), kib.end());
    const double slopePerMinute = Slope(xs, ys) * 60.0;
    std::printf("  resident memory: %.0f KiB after %.0f s, %.0f KiB at the end, max %.0f KiB\n", ys.front(),
                xs.front(), ys.back(), *std::max_element(ys.begin(), ys.end()));
    std::printf("  memory trend: %+.1f KiB a minute, %+.0f KiB over 10 minutes if it went on\n", slopePerMinute,
                slopePerMinute * 10.0);
    return 0;
}
