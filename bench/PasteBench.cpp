// Paste benchmark: another program (xclip) reads a 3840 x 2160 photo-like capture from the
// clipboard as image/png and image/bmp, a moment after the copy and at once after it (while the
// encodings still run), while a 10 ms timer measures the longest gap in this process's event
// loop. Run on a private Xvfb:
//   dbus-run-session -- tests/support/with-x11-desktop.sh --screen 3840x2160x24 -- build/bench/bench_paste
#include "capture/CaptureOutput.h"
#include "capture/ClipboardPicture.h"
#include "platform/X11PasteHold.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int Rounds = 5;

// Gradients under fine noise: about as hard to compress as a photo.
QImage PhotoLike()
{
    QImage image(3840, 2160, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = int(random.bounded(16));
            line[x] = qRgb((x / 8 + n) & 255, (y / 5 + n) & 255, ((x + y) / 13 + n) & 255);
        }
    }
    return image;
}

// The event loop's longest gap, from a timer that should fire every 10 ms.
struct Watchdog
{
    QTimer timer;
    QElapsedTimer sinceTick;
    qint64 longest = 0;
    Watchdog()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            longest = std::max(longest, sinceTick.restart());
        });
        timer.start(10);
    }
    void Reset()
    {
        sinceTick.restart();
        longest = 0;
    }
};

struct Paste
{
    qint64 ms = 0;
    qint64 bytes = 0;
};

// xclip reads the clipboard into a file while this process's events keep running.
Paste ReadWithXclip(const QString &target, const QString &into)
{
    QProcess xclip;
    xclip.setStandardOutputFile(into);
    QEventLoop loop;
    QObject::connect(&xclip, &QProcess::finished, &loop, &QEventLoop::quit);
    QElapsedTimer elapsed;
    elapsed.start();
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                          QStringLiteral("-t"), target, QStringLiteral("-o")});
    if (xclip.state() != QProcess::NotRunning)
        loop.exec();
    return {elapsed.elapsed(), QFileInfo(into).size()};
}

qint64 Median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

const ClipboardPicture &Offered()
{
    return dynamic_cast<const ClipboardPicture &>(*QGuiApplication::clipboard()->mimeData());
}
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (!X11PasteHold::Install(&ClipboardPicture::StillEncoding)) {
        std::fprintf(stderr, "bench_paste: needs an X11 display\n");
        return 1;
    }
    const QImage capture = PhotoLike();
    QTemporaryFile out;
    out.open();
    Watchdog watchdog;
    std::vector<qint64> png, bmp, freeze, earlyPng, earlyPngFreeze, earlyBmp, earlyBmpFreeze, floor;
    qint64 pngBytes = 0, bmpBytes = 0;

    for (int round = 0; round < Rounds; ++round) {
        // Pasted a moment after the copy: the encodings are ready.
        CaptureOutput::PutOnClipboard(capture);
        Offered().Encoded(QStringLiteral("image/png"));
        Offered().Encoded(QStringLiteral("image/bmp"));
        watchdog.Reset();
        const Paste p = ReadWithXclip(QStringLiteral("image/png"), out.fileName());
        const Paste b = ReadWithXclip(QStringLiteral("image/bmp"), out.fileName());
        freeze.push_back(watchdog.longest);
        png.push_back(p.ms);
        bmp.push_back(b.ms);
        pngBytes = p.bytes;
        bmpBytes = b.bytes;

        // Pasted at once: the encoding is still running when the request comes.
        const auto pasteAtOnce = [&](const QString &target, std::vector<qint64> &ms, std::vector<qint64> &gap) {
            CaptureOutput::PutOnClipboard(capture);
            watchdog.Reset();
            ms.push_back(ReadWithXclip(target, out.fileName()).ms);
            gap.push_back(watchdog.longest);
        };
        pasteAtOnce(QStringLiteral("image/png"), earlyPng, earlyPngFreeze);
        pasteAtOnce(QStringLiteral("image/bmp"), earlyBmp, earlyBmpFreeze);

        // Floor: xclip serving the same BMP bytes to xclip, nothing encoded.
        QFile bmpFile(out.fileName());
        bmpFile.open(QIODevice::WriteOnly);
        bmpFile.write(Offered().Encoded(QStringLiteral("image/bmp")));
        bmpFile.close();
        QProcess server;
        server.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                               QStringLiteral("-t"), QStringLiteral("image/bmp"), QStringLiteral("-i"),
                                               out.fileName()});
        server.waitForFinished();  // xclip forks a server and returns once it owns the clipboard
        QTemporaryFile read;
        read.open();
        floor.push_back(ReadWithXclip(QStringLiteral("image/bmp"), read.fileName()).ms);
    }

    std::printf("bench_paste: 3840 x 2160 photo-like capture, %d rounds, medians\n", Rounds);
    std::printf("paste png: %lld ms (limit 400 ms), %.1f MB\n", Median(png), double(pngBytes) / 1e6);
    std::printf("paste bmp: %lld ms (limit 150 ms), %.1f MB; floor xclip to xclip %lld ms, ratio %.2fx\n",
                Median(bmp), double(bmpBytes) / 1e6, Median(floor), double(Median(bmp)) / double(Median(floor)));
    std::printf("longest event-loop gap while serving: %lld ms (limit 100 ms)\n", Median(freeze));
    std::printf("paste png at once after the copy (still encoding): %lld ms (limit 400 ms), event-loop gap %lld ms "
                "(limit 100 ms)\n", Median(earlyPng), Median(earlyPngFreeze));
    std::printf("paste bmp at once after the copy (still encoding): %lld ms (limit 150 ms), event-loop gap %lld ms "
                "(limit 100 ms)\n", Median(earlyBmp), Median(earlyBmpFreeze));
    return 0;
}
