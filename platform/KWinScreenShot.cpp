// Window copies on KDE Plasma, through KWin's own screenshot interface.
#include "platform/KWinScreenShot.h"

#include "base/ErrorTexts.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace KWinScreenShot {
namespace {
const QString Service = QStringLiteral("org.kde.KWin");
const QString Path = QStringLiteral("/org/kde/KWin/ScreenShot2");
const QString Interface = QStringLiteral("org.kde.KWin.ScreenShot2");
constexpr int ActiveTimeoutMs = 10000;
constexpr int InteractiveTimeoutMs = 120000;  // the user takes the time to point at a window
constexpr int PixelsTimeoutMs = 5000;

// Reads everything KWin writes into the pipe, until it closes its end.
QByteArray ReadAll(int fd, qsizetype expected)
{
    QByteArray data;
    data.reserve(expected);
    QDeadlineTimer deadline(PixelsTimeoutMs);
    char buffer[65536];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, int(qMax<qint64>(0, deadline.remainingTime())));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return {};
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return data;
        data.append(buffer, n);
    }
}

QImage Capture(const QString &method, const QVariantList &leading, int timeoutMs)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return {};
    QDBusPendingCall pending = [&] {
        QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, method);
        QVariantList arguments = leading;
        arguments << QVariantMap{{QStringLiteral("include-decoration"), true},
                                 {QStringLiteral("include-shadow"), false},
                                 {QStringLiteral("include-cursor"), false},
                                 {QStringLiteral("native-resolution"), true}};
        arguments << QVariant::fromValue(QDBusUnixFileDescriptor(fds[1]));
        call.setArguments(arguments);
        return QDBusConnection::sessionBus().asyncCall(call, timeoutMs);
    }();
    // Only KWin holds the writing end now, so the end of its writing shows as the end of the pipe.
    ::close(fds[1]);
    QDBusPendingCallWatcher watcher(pending);
    if (!pending.isFinished()) {
        QEventLoop loop;
        QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    const QDBusMessage reply = pending.reply();
    if (reply.type() != QDBusMessage::ReplyMessage) {
        ::close(fds[0]);
        if (reply.errorName().endsWith(QLatin1String(".Cancelled")))
            RaiseError(ErrorKind::ScreenCopyCancelled);
        return {};  // not allowed, or no such window: the caller asks elsewhere
    }
    const QVariantMap results = qdbus_cast<QVariantMap>(reply.arguments().value(0));
    const int width = results.value(QStringLiteral("width")).toInt();
    const int height = results.value(QStringLiteral("height")).toInt();
    const int stride = results.value(QStringLiteral("stride")).toInt();
    const auto format = QImage::Format(results.value(QStringLiteral("format")).toInt());
    const QByteArray pixels = ReadAll(fds[0], qsizetype(stride) * height);
    ::close(fds[0]);
    if (width <= 0 || height <= 0 || stride <= 0 || format <= QImage::Format_Invalid || format >= QImage::NImageFormats
        || pixels.size() < qsizetype(stride) * height)
        RaiseError(ErrorKind::ScreenCopyUnreadable);
    const QImage view(reinterpret_cast<const uchar *>(pixels.constData()), width, height, stride, format);
    if (view.isNull() || view.bytesPerLine() > stride)
        RaiseError(ErrorKind::ScreenCopyUnreadable);
    return view.convertToFormat(QImage::Format_RGB32);
}
}

bool Offered()
{
    QDBusMessage get = QDBusMessage::createMethodCall(Service, Path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << Interface << QStringLiteral("Version");
    return QDBusConnection::sessionBus().call(get, QDBus::Block, ActiveTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

QImage CaptureActiveWindow()
{
    return Capture(QStringLiteral("CaptureActiveWindow"), {}, ActiveTimeoutMs);
}

QImage CaptureInteractiveWindow()
{
    // Kind 0: a window, as opposed to a whole screen.
    return Capture(QStringLiteral("CaptureInteractive"), {QVariant::fromValue(0u)}, InteractiveTimeoutMs);
}
}
