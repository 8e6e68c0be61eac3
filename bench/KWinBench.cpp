// The eyedropper's tick on KWin (KDE Plasma on Wayland), from the request to the fields, beside a
// bare ScreenShot2 CaptureArea call of the same 27 x 11 pixels, the floor; and the hand's look for
// the window under the pointer through KWin's scripting. Run inside the KWin harness:
//   tests/support/with-kwin-session.sh --install build -- build/bench/bench_kwin [ticks]
// KWin answers only programs with a desktop entry naming the interface: the benchmark writes one
// for itself into the session's own data folder, as the installed program has one.
#include "bench/HeldEyedropper.h"
#include "platform/Platform.h"
#include "platform/PlatformLoader.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The floor: one CaptureArea call, blocking, and its pixels read from the pipe.
double RawCaptureArea(const QRect &r)
{
    QElapsedTimer clock;
    clock.start();
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.kde.KWin"), QStringLiteral("/org/kde/KWin/ScreenShot2"),
                                                       QStringLiteral("org.kde.KWin.ScreenShot2"), QStringLiteral("CaptureArea"));
    call << r.x() << r.y() << uint(r.width()) << uint(r.height()) << QVariantMap{{QStringLiteral("include-cursor"), false}}
         << QVariant::fromValue(QDBusUnixFileDescriptor(fds[1]));
    ::close(fds[1]);
    QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 10000);
    call = QDBusMessage();
    qsizetype size = -1;
    if (reply.type() == QDBusMessage::ReplyMessage) {
        const QVariantMap results = qdbus_cast<QVariantMap>(reply.arguments().value(0));
        size = qsizetype(results.value(QStringLiteral("stride")).toInt()) * results.value(QStringLiteral("height")).toInt();
    }
    reply = QDBusMessage();
    std::vector<char> pixels(size_t(qMax<qsizetype>(size, 0)));
    qsizetype done = 0;
    while (size > 0 && done < size) {
        pollfd p{fds[0], POLLIN, 0};
        const ssize_t n = ::poll(&p, 1, 5000) > 0 ? ::read(fds[0], pixels.data() + done, size_t(size - done)) : -1;
        if (n <= 0)
            break;
        done += n;
    }
    ::close(fds[0]);
    return size > 0 && done == size ? double(clock.nsecsElapsed()) / 1e6 : -1;
}

void Trust(const QString &executable)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/applications");
    QDir().mkpath(folder);
    QFile entry(folder + QStringLiteral("/pixolva-bench-kwin.desktop"));
    if (entry.open(QIODevice::WriteOnly))
        entry.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=Pixolva benchmark\nExec=%1\n"
                                   "X-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2\n")
                        .arg(executable)
                        .toUtf8());
}
}

int main(int argc, char **argv)
{
    PlatformLoader::ChooseWindowSystem();
    QApplication app(argc, argv);
    Trust(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
    PlatformLoader::InstallPlatform();
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 100;
    if (PlatformLoader::InstalledWay() != PlatformLoader::Way::KWin || RawCaptureArea(QRect(0, 0, 27, 11)) < 0) {
        std::fprintf(stderr, "no KWin that copies the screen for this program\n");
        return 1;
    }
    Platform &platform = CurrentPlatform();

    // Floor and program in alternation, so that both see the same load.
    std::vector<double> tickMs, floorMs;
    {
        HeldEyedropper eyedropper;
        for (int i = 0; i < ticks; ++i) {
            const QPoint p = platform.CursorPos();
            floorMs.push_back(RawCaptureArea(QRect(p - QPoint(13, 5), QSize(27, 11))));
            tickMs.push_back(eyedropper.Tick());
        }
    }
    std::printf("kwin eyedropper tick: %.2fx floor (request to fields %.1f ms, bare 27x11 CaptureArea %.1f ms)\n",
                Median(tickMs) / Median(floorMs), Median(tickMs), Median(floorMs));

    // The hand's question, which window lies under the pointer, beside the same bare copy.
    std::vector<double> findMs;
    floorMs.clear();
    QElapsedTimer clock;
    for (int i = 0; i < ticks / 5 + 1; ++i) {
        floorMs.push_back(RawCaptureArea(QRect(0, 0, 27, 11)));
        clock.start();
        platform.WindowFromPoint(QPoint(100, 100));
        findMs.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("kwin window under the hand: %.2fx floor (%.1f ms, bare 27x11 CaptureArea %.1f ms)\n",
                Median(findMs) / Median(floorMs), Median(findMs), Median(floorMs));
    return 0;
}
