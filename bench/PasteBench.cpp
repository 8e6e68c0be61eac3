// Paste benchmark: another program (xclip) reads a 3840 x 2160 photo-like capture from the
// clipboard as image/png and image/bmp, a moment after the copy and at once after it (while the
// encodings still run), beside hostile readers (one asking for a format slow to make, one that
// stalls a transfer in parts and is then killed, twenty at once), while a 10 ms timer measures
// the longest gap in this process's event loop. Run on a private Xvfb:
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
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimer>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
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

// A reader that asks for the clipboard as a BMP, too large for one piece, and then stalls: it never
// takes the first part, so the rest waits until it is killed (its connection closed).
class StalledReader
{
public:
    StalledReader()
    {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        m_window = xcb_generate_id(m_c);
        const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(m_c, 0, m_window, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, 0,
                          XCB_CW_EVENT_MASK, &events);
        xcb_convert_selection(m_c, m_window, Atom("CLIPBOARD"), Atom("image/bmp"), Atom("PIXOLVA_STALLED"),
                              XCB_CURRENT_TIME);
        xcb_flush(m_c);
    }
    ~StalledReader() { xcb_disconnect(m_c); }
    // Whether the owner (this process, whose events run meanwhile) has begun the transfer in parts.
    bool Begun()
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 5000 && !xcb_connection_has_error(m_c)) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_c)) {
                const bool notify = (event->response_type & 0x7f) == XCB_SELECTION_NOTIFY;
                const bool answered =
                    notify && reinterpret_cast<xcb_selection_notify_event_t *>(event)->property != XCB_NONE;
                std::free(event);
                if (notify)
                    return answered;
            }
        }
        return false;
    }

private:
    xcb_atom_t Atom(const char *name)
    {
        auto *reply = xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_NONE);
        std::free(reply);
        return atom;
    }

    xcb_connection_t *m_c = xcb_connect(nullptr, nullptr);
    xcb_window_t m_window = 0;
};

const ClipboardPicture &Offered()
{
    return dynamic_cast<const ClipboardPicture &>(*QGuiApplication::clipboard()->mimeData());
}
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (!X11PasteHold::Install(&ClipboardPicture::StillEncoding, &ClipboardPicture::ReadyOnClipboard)) {
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

    // Hostile readers, once the encodings are ready. One asks for a format that Qt could make but
    // that serves no reader (XPM, many seconds to make) while another pastes the PNG.
    CaptureOutput::PutOnClipboard(capture);
    Offered().Encoded(QStringLiteral("image/png"));
    QProcess xpm;
    watchdog.Reset();
    xpm.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
                                        QStringLiteral("image/xpm"), QStringLiteral("-o")});
    QEventLoop started;  // as a clipboard manager reads it, a moment before the paste
    QTimer::singleShot(1000, &started, &QEventLoop::quit);
    started.exec();
    const Paste besideXpm = ReadWithXclip(QStringLiteral("image/png"), out.fileName());
    QEventLoop xpmEnd;
    QObject::connect(&xpm, &QProcess::finished, &xpmEnd, &QEventLoop::quit);
    if (xpm.state() != QProcess::NotRunning)
        xpmEnd.exec();
    const qint64 xpmGap = watchdog.longest;
    const qint64 xpmBytes = xpm.readAllStandardOutput().size();

    // A BMP reader stalls its transfer in parts, a PNG paste goes on meanwhile, then the stalled
    // reader is killed and the BMP is pasted whole.
    watchdog.Reset();
    auto stalled = std::make_unique<StalledReader>();
    const bool stalledBegun = stalled->Begun();
    const Paste besideStalled = ReadWithXclip(QStringLiteral("image/png"), out.fileName());
    stalled.reset();
    const Paste afterKilled = ReadWithXclip(QStringLiteral("image/bmp"), out.fileName());
    const qint64 stalledGap = watchdog.longest;

    // Twenty PNG pastes at once, started together by one shell.
    constexpr int Readers = 20;
    QTemporaryDir pastes;
    QProcess readers;
    QElapsedTimer all;
    watchdog.Reset();
    all.start();
    readers.start(QStringLiteral("sh"), {QStringLiteral("-c"),
                                         QStringLiteral("for i in $(seq %1); do xclip -selection clipboard -t image/png "
                                                        "-o >\"$0/$i\" & done; wait").arg(Readers),
                                         pastes.path()});
    QEventLoop allEnded;
    QObject::connect(&readers, &QProcess::finished, &allEnded, &QEventLoop::quit);
    if (readers.state() != QProcess::NotRunning)
        allEnded.exec();
    const qint64 twentyMs = all.elapsed();
    const qint64 twentyGap = watchdog.longest;
    int whole = 0;
    for (int i = 1; i <= Readers; ++i)
        whole += QFileInfo(pastes.filePath(QString::number(i))).size() == pngBytes;

    std::printf("bench_paste: 3840 x 2160 photo-like capture, %d rounds, medians\n", Rounds);
    std::printf("paste png: %lld ms (limit 400 ms), %.1f MB\n", Median(png), double(pngBytes) / 1e6);
    std::printf("paste bmp: %lld ms (limit 150 ms), %.1f MB; floor xclip to xclip %lld ms, ratio %.2fx\n",
                Median(bmp), double(bmpBytes) / 1e6, Median(floor), double(Median(bmp)) / double(Median(floor)));
    std::printf("longest event-loop gap while serving: %lld ms (limit 100 ms)\n", Median(freeze));
    std::printf("paste png at once after the copy (still encoding): %lld ms (limit 400 ms), event-loop gap %lld ms "
                "(limit 100 ms)\n", Median(earlyPng), Median(earlyPngFreeze));
    std::printf("paste bmp at once after the copy (still encoding): %lld ms (limit 150 ms), event-loop gap %lld ms "
                "(limit 100 ms)\n", Median(earlyBmp), Median(earlyBmpFreeze));
    std::printf("paste png beside an image/xpm reader: %lld ms (limit 400 ms), xpm %s; event-loop gap %lld ms "
                "(limit 100 ms)\n", besideXpm.ms, xpmBytes ? "served" : "refused", xpmGap);
    std::printf("paste png beside a stalled bmp transfer%s: %lld ms (limit 400 ms); bmp after the stalled reader is "
                "killed: %lld ms, %.1f MB; event-loop gap %lld ms (limit 100 ms)\n", stalledBegun ? "" : " (not begun)",
                besideStalled.ms, afterKilled.ms, double(afterKilled.bytes) / 1e6, stalledGap);
    std::printf("%d png pastes at once: %lld ms for all, %d whole; event-loop gap %lld ms (limit 100 ms)\n", Readers,
                twentyMs, whole, twentyGap);
    return 0;
}
