// Copies of the screen and of windows on KDE Plasma, through KWin's own screenshot interface.
#include "platform/KWinScreenShot.h"

#include "base/ErrorTexts.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDeadlineTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace KWinScreenShot {
namespace {
const QString Service = QStringLiteral("org.kde.KWin");
const QString Path = QStringLiteral("/org/kde/KWin/ScreenShot2");
const QString Interface = QStringLiteral("org.kde.KWin.ScreenShot2");
constexpr int ShotTimeoutMs = 10000;
constexpr int PixelsTimeoutMs = 5000;

// A file descriptor closed when it goes.
struct Fd
{
    int fd = -1;
    ~Fd() { Close(); }
    void Close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

// Reads exactly size bytes, the picture KWin writes into the pipe. KWin may keep its end open
// after the last byte (the call it answered still holds a copy), so the end of the pipe is not
// waited for.
QByteArray ReadPixels(int fd, qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    qsizetype done = 0;
    QDeadlineTimer deadline(PixelsTimeoutMs);
    while (done < size) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, int(qMax<qint64>(0, deadline.remainingTime())));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return {};
        const ssize_t n = ::read(fd, data.data() + done, size_t(size - done));
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return {};  // KWin closed its end early
        done += n;
    }
    return data;
}

// Sends the call with the pipe's writing end and waits for KWin's answer, the picture's size and
// format, without running the event loop: the eyedropper's tick asks here, and its timer must not
// start the next copy inside this one. The call is gone when this returns: no copy of the writing
// end stays with us.
QDBusMessage Ask(const QString &method, const QVariantList &leading, const QVariantMap &options, int writeEnd)
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, method);
    QVariantList arguments = leading;
    arguments << options << QVariant::fromValue(QDBusUnixFileDescriptor(writeEnd));
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, ShotTimeoutMs);
}

Shot Capture(const QString &method, const QVariantList &leading, QVariantMap options)
{
    Fd readEnd, writeEnd;
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            RaiseError(ErrorKind::ScreenCopyUnreadable);
        readEnd.fd = fds[0];
        writeEnd.fd = fds[1];
    }
    options.insert(QStringLiteral("include-cursor"), false);
    options.insert(QStringLiteral("native-resolution"), true);
    const QDBusMessage reply = Ask(method, leading, options, writeEnd.fd);
    writeEnd.Close();
    if (reply.type() != QDBusMessage::ReplyMessage) {
        const QString error = reply.errorName();
        if (error == QLatin1String("org.freedesktop.DBus.Error.NoReply"))
            RaiseError(ErrorKind::ScreenCopyNoAnswer);
        // No active window, no such area: nothing to copy. Anything else: KWin does not let us.
        Shot none;
        none.refused = !error.startsWith(Interface + QLatin1String(".Error."));
        return none;
    }
    const QVariantMap results = qdbus_cast<QVariantMap>(reply.arguments().value(0));
    const int width = results.value(QStringLiteral("width")).toInt();
    const int height = results.value(QStringLiteral("height")).toInt();
    const int stride = results.value(QStringLiteral("stride")).toInt();
    const auto format = QImage::Format(results.value(QStringLiteral("format")).toInt());
    if (width <= 0 || height <= 0 || stride <= 0 || format <= QImage::Format_Invalid || format >= QImage::NImageFormats)
        RaiseError(ErrorKind::ScreenCopyUnreadable);
    const QByteArray pixels = ReadPixels(readEnd.fd, qsizetype(stride) * height);
    if (pixels.isEmpty())
        RaiseError(ErrorKind::ScreenCopyUnreadable);
    const QImage view(reinterpret_cast<const uchar *>(pixels.constData()), width, height, stride, format);
    if (view.isNull() || view.bytesPerLine() > stride)
        RaiseError(ErrorKind::ScreenCopyUnreadable);
    Shot shot;
    // A deep copy: the view's bytes go with this function.
    shot.picture = view.convertToFormat(view.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    return shot;
}

}

bool Offered()
{
    QDBusMessage get = QDBusMessage::createMethodCall(Service, Path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << Interface << QStringLiteral("Version");
    return QDBusConnection::sessionBus().call(get, QDBus::Block, ShotTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

Shot Workspace()
{
    return Capture(QStringLiteral("CaptureWorkspace"), {}, {});
}

Shot Area(const QRect &r)
{
    // Our own windows stay in the picture, as on X11 (KWin 6 leaves them out unless told).
    return Capture(QStringLiteral("CaptureArea"), {r.x(), r.y(), uint(r.width()), uint(r.height())},
                   {{QStringLiteral("hide-caller-windows"), false}});
}

Shot ActiveWindow()
{
    Shot shot = Capture(QStringLiteral("CaptureActiveWindow"), {},
                        {{QStringLiteral("include-decoration"), true}, {QStringLiteral("include-shadow"), false}});
    shot.picture = WithoutShadow(shot.picture);
    return shot;
}

QImage WithoutShadow(const QImage &window)
{
    if (window.isNull() || !window.hasAlphaChannel())
        return window.convertToFormat(QImage::Format_RGB32);
    const QImage argb = window.convertToFormat(QImage::Format_ARGB32);
    int left = argb.width(), right = -1, top = argb.height(), bottom = -1;
    for (int y = 0; y < argb.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(row[x]) == 255) {
                left = qMin(left, x), right = qMax(right, x);
                top = qMin(top, y), bottom = qMax(bottom, y);
            }
    }
    if (right < 0)
        return {};
    return argb.copy(QRect(QPoint(left, top), QPoint(right, bottom))).convertToFormat(QImage::Format_RGB32);
}
}
