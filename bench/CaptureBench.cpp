// Capture benchmark: a colour sample (27 x 11 at the pointer); the whole virtual screen copied, and
// copied into a BMP file, each against its floor in the same run; and 10,000 copies in a row
// against the process's memory and its X resources. Run on a private Xvfb:
//   dbus-run-session -- tests/support/with-x11-desktop.sh --screen 3840x2160x24 -- build/bench/bench_capture [FOLDER]
// The files go to FOLDER (default: the current folder), which should be on a real disk.
#include "capture/CaptureOutput.h"
#include "capture/mdlCapture.h"
#include "monitors/mdlWindow.h"
#include "platform/Platform.h"
#include "platform/PlatformLoader.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>

#include <xcb/res.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <fcntl.h>
#include <sys/ipc.h>
#include <sys/shm.h>

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
    std::printf("%-48s median %8.3f %s   p90 %8.3f   p99 %8.3f   max %8.3f\n", what, f.median / unit, unitName,
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

// The floors: what the machine needs at the least for a copy of the root and for that copy in a
// BMP file on disk.
class RawCopy
{
public:
    RawCopy(xcb_connection_t *c, int width, int height) : m_c(c), m_width(width), m_height(height)
    {
        m_size = size_t(width) * size_t(height) * 4;
        m_shmId = shmget(IPC_PRIVATE, m_size, IPC_CREAT | 0600);
        m_data = static_cast<uchar *>(shmat(m_shmId, nullptr, 0));
        m_segment = xcb_generate_id(c);
        std::free(xcb_request_check(c, xcb_shm_attach_checked(c, m_segment, m_shmId, 0)));
        shmctl(m_shmId, IPC_RMID, nullptr);
        // The file's bytes: header and BGR rows (3840 wide needs no row padding).
        m_file.resize(54 + size_t(width) * size_t(height) * 3);
        Copy(); // the segment's and the buffer's pages are in place before the first timing
        std::memset(m_file.data(), 0, m_file.size());
    }
    ~RawCopy()
    {
        xcb_shm_detach(m_c, m_segment);
        xcb_flush(m_c);
        shmdt(m_data);
    }

    // MIT-SHM GetImage of the root into the reused segment.
    void Copy()
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        std::free(xcb_shm_get_image_reply(m_c,
                                          xcb_shm_get_image(m_c, root, 0, 0, uint16_t(m_width), uint16_t(m_height), ~0u,
                                                            XCB_IMAGE_FORMAT_Z_PIXMAP, m_segment, 0),
                                          nullptr));
    }

    // The copy, BGRX to BGR bottom-up, one write, fsync, rename.
    bool CopyIntoFile(const QByteArray &path)
    {
        Copy();
        uchar *out = m_file.data();
        const quint32 header[13] = {quint32(m_file.size()), 0, 54, 40, quint32(m_width), quint32(m_height),
                                    1u | 24u << 16, 0, quint32(m_file.size() - 54), 3780, 3780, 0, 0};
        out[0] = 'B';
        out[1] = 'M';
        std::memcpy(out + 2, header, sizeof header);
        out += 54;
        // One 4-byte store a pixel, the next pixel overwriting its fourth byte: the fastest plain
        // loop found; the very last pixel byte by byte.
        for (int y = m_height - 1; y >= 0; --y) {
            const uchar *in = m_data + size_t(y) * size_t(m_width) * 4;
            for (int x = 0; x < m_width - 1; ++x, in += 4, out += 3)
                std::memcpy(out, in, 4);
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out += 3;
        }
        const QByteArray temporary = path + ".new";
        const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        const bool written = ::write(fd, m_file.data(), m_file.size()) == ssize_t(m_file.size()) && ::fsync(fd) == 0;
        ::close(fd);
        return written && ::rename(temporary.constData(), path.constData()) == 0;
    }

private:
    xcb_connection_t *m_c;
    int m_width, m_height;
    size_t m_size = 0;
    int m_shmId = -1;
    uchar *m_data = nullptr;
    quint32 m_segment = 0;
    std::vector<uchar> m_file;
};

// Median times of two kinds of work measured in alternation, so that the machine's load falls on
// both alike.
std::pair<double, double> Alternating(int runs, const std::function<void()> &ours, const std::function<void()> &floor)
{
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        a.push_back(Measure(1, ours).median);
        b.push_back(Measure(1, floor).median);
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return {a[a.size() / 2] / 1000.0, b[b.size() / 2] / 1000.0};
}

// The root full of detail, so that no part of a copy is trivially the same as another.
void PaintRoot(xcb_connection_t *c, int width, int height)
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, screen->root, 0, nullptr);
    constexpr int Strip = 64;
    std::vector<quint32> pixels(size_t(width) * Strip);
    for (int top = 0; top < height; top += Strip) {
        const int rows = std::min(Strip, height - top);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < width; ++x)
                pixels[size_t(y) * size_t(width) + size_t(x)] =
                    qRgb((x * 7 + top + y) & 0xff, ((top + y) * 3 + (x >> 3)) & 0xff, (x ^ (top + y)) & 0xff) & 0xffffff;
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, gc, uint16_t(width), uint16_t(rows), 0, int16_t(top),
                      0, screen->root_depth, uint32_t(size_t(width) * size_t(rows) * 4),
                      reinterpret_cast<const uint8_t *>(pixels.data()));
    }
    xcb_free_gc(c, gc);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
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
    QTemporaryDir files(QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath())
                            .filePath(QStringLiteral("bench-capture-XXXXXX")));
    if (!files.isValid()) {
        std::fprintf(stderr, "no folder for the files\n");
        return 1;
    }
    xcb_connection_t *c = x11->connection();
    Platform &platform = CurrentPlatform();
    const ScreenRect vs = mdlWindow::GetVirtualScreenRect();
    std::printf("  virtual screen %d x %d at %d, %d\n", vs.Width, vs.Height, vs.Left, vs.Top);
    PaintRoot(c, vs.Width, vs.Height);

    // The whole screen: the copy, and the copy into a file, each against its floor.
    RawCopy raw(c, vs.Width, vs.Height);
    mdlCapture::GrabVirtualScreen(); // the segment made once, as in a running program
    const auto [copy, copyFloor] = Alternating(101, [] {
        if (mdlCapture::GrabVirtualScreen().isNull())
            std::abort();
    }, [&] { raw.Copy(); });
    std::printf("copy: %.2fx floor (pixolva %.2f ms, raw MIT-SHM copy %.2f ms)\n", copy / copyFloor, copy, copyFloor);

    const QString ours = files.filePath(QStringLiteral("pixolva.bmp"));
    const QByteArray floorPath = QFile::encodeName(files.filePath(QStringLiteral("floor.bmp")));
    const auto [file, fileFloor] = Alternating(15, [&] { CaptureOutput::WriteBitmapFile(mdlCapture::GrabVirtualScreen(), ours); },
                                               [&] {
                                                   if (!raw.CopyIntoFile(floorPath))
                                                       std::abort();
                                               });
    QFile a(ours), b(QFile::decodeName(floorPath));
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.readAll() != b.readAll()) {
        std::fprintf(stderr, "the files differ: pixolva's BMP is not the floor's\n");
        return 1;
    }
    std::printf("capture into a file: %.2fx floor (pixolva %.1f ms, raw copy into a file %.1f ms)\n", file / fileFloor,
                file, fileFloor);

    // A colour sample and its parts.
    platform.SetCursorPos(QPoint(vs.Left + vs.Width / 2, vs.Top + vs.Height / 2));
    const Figures sample = Measure(5000, [&] {
        const QPoint p = platform.CursorPos();
        const QImage picture = mdlCapture::GrabWindowArea(0, true, p.x() - 13, p.y() - 5, 27, 11);
        if (picture.isNull())
            std::abort();
    });
    Print("  colour sample 27 x 11 at the pointer", sample, 1000.0, "ms");
    const QPoint p = platform.CursorPos();
    const Figures copyOnly = Measure(5000, [&] { mdlCapture::GrabWindowArea(0, true, p.x() - 13, p.y() - 5, 27, 11); });
    Print("    the copy alone (pointer read once)", copyOnly, 1000.0, "ms");
    Print("    the pointer alone", Measure(5000, [&] { platform.CursorPos(); }), 1000.0, "ms");
    Print("    one X round trip", Measure(5000, [&] { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }), 1000.0, "ms");

    QScreen *screen = QGuiApplication::primaryScreen();
    const Figures qt = Measure(15, [&] { screen->grabWindow(0, 0, 0, vs.Width, vs.Height).toImage(); });
    Print("  for comparison: Qt's grabWindow of the screen", qt, 1000.0, "ms");

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
    std::printf("  10,000 copies: resident memory %ld -> %ld KiB, X resources %ld -> %ld, shared segments %d -> %d\n",
                rssBefore, ResidentKiB(), resourcesBefore, XResources(c), segmentsBefore, SharedSegments());
    return 0;
}
