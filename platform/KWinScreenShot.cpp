// Copies of the screen and of windows on KDE Plasma, through KWin's own screenshot interface.
#include "platform/KWinScreenShot.h"

#include "base/ErrorTexts.h"
#include "base/RuntimeError.h"
#include "platform/ShadowMargin.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QDeadlineTimer>

#include <cerrno>
#include <memory>
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

// A call on its way to KWin and the pipe its picture comes through. The call carries the only
// writing end (a copy of its own, closed when the call goes): ours is closed at once.
struct Request
{
    QDBusMessage call;
    std::shared_ptr<Fd> readEnd = std::make_shared<Fd>();
};

Request Prepare(const QString &method, const QVariantList &leading, QVariantMap options)
{
    Request request;
    Fd writeEnd;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        RaiseError(ErrorKind::ScreenCopyUnreadable);
    request.readEnd->fd = fds[0];
    writeEnd.fd = fds[1];
    options.insert(QStringLiteral("include-cursor"), false);
    options.insert(QStringLiteral("native-resolution"), true);
    request.call = QDBusMessage::createMethodCall(Service, Path, Interface, method);
    request.call.setArguments(QVariantList(leading) << options << QVariant::fromValue(QDBusUnixFileDescriptor(writeEnd.fd)));
    return request;
}

// KWin's answer (the picture's size and format) and the picture read from the pipe.
Shot Finish(const QDBusMessage &reply, int readEnd)
{
    if (reply.type() != QDBusMessage::ReplyMessage) {
        const QString error = reply.errorName();
        if (error == QLatin1String("org.freedesktop.DBus.Error.NoReply"))
            RaiseError(ErrorKind::ScreenCopyNoAnswer);
        // No active window, no such area or screen: nothing to copy. Anything else (NoAuthorized,
        // an older KWin without the method): KWin does not let us.
        Shot none;
        none.refused = !QStringList{QStringLiteral("NoActiveWindow"), QStringLiteral("InvalidWindow"),
                                    QStringLiteral("InvalidArea"), QStringLiteral("InvalidScreen")}
                            .contains(error.section(u'.', -1));
        return none;
    }
    const QVariantMap results = qdbus_cast<QVariantMap>(reply.arguments().value(0));
    const int width = results.value(QStringLiteral("width")).toInt();
    const int height = results.value(QStringLiteral("height")).toInt();
    const int stride = results.value(QStringLiteral("stride")).toInt();
    const auto format = QImage::Format(results.value(QStringLiteral("format")).toInt());
    if (width <= 0 || height <= 0 || stride <= 0 || format <= QImage::Format_Invalid || format >= QImage::NImageFormats)
        RaiseError(ErrorKind::ScreenCopyUnreadable);
    const QByteArray pixels = ReadPixels(readEnd, qsizetype(stride) * height);
    if (pixels.isEmpty())
        RaiseError(ErrorKind::ScreenCopyUnreadable);
    const QImage view(reinterpret_cast<const uchar *>(pixels.constData()), width, height, stride, format);
    if (view.isNull() || view.bytesPerLine() > stride)
        RaiseError(ErrorKind::ScreenCopyUnreadable);
    Shot shot;
    // A deep copy: the view's bytes go with this function. Converting to the format it already
    // has would only share them.
    const QImage::Format wanted = view.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    shot.picture = view.format() == wanted ? view.copy() : view.convertToFormat(wanted);
    return shot;
}

// Waits for the answer without running the event loop: nothing else of the program runs in
// between. The call is dropped before the pipe is read.
Shot Capture(const QString &method, const QVariantList &leading, const QVariantMap &options)
{
    Request request = Prepare(method, leading, options);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(request.call, QDBus::Block, ShotTimeoutMs);
    request.call = QDBusMessage();
    return Finish(reply, request.readEnd->fd);
}

QVariantList AreaArguments(const QRect &r)
{
    return {r.x(), r.y(), uint(r.width()), uint(r.height())};
}
// Our own windows stay in the picture, as on X11 (KWin 6 leaves them out unless told).
const QVariantMap AreaOptions{{QStringLiteral("hide-caller-windows"), false}};
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
    return Capture(QStringLiteral("CaptureArea"), AreaArguments(r), AreaOptions);
}

void RequestArea(const QRect &r, QObject *receiver, AreaDone done)
{
    Request request;
    try {
        request = Prepare(QStringLiteral("CaptureArea"), AreaArguments(r), AreaOptions);
    } catch (const RuntimeError &error) {
        done(Shot(), &error);
        return;
    }
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(request.call, ShotTimeoutMs), receiver);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, receiver,
                     [readEnd = request.readEnd, done = std::move(done)](QDBusPendingCallWatcher *answered) {
                         const QDBusMessage reply = answered->reply();
                         // The call goes with the watcher; the picture is read to its size either way.
                         answered->deleteLater();
                         Shot shot;
                         try {
                             shot = Finish(reply, readEnd->fd);
                         } catch (const RuntimeError &error) {
                             done(Shot(), &error);
                             return;
                         }
                         done(shot, nullptr);
                     });
}

Shot ActiveWindow()
{
    Shot shot = Capture(QStringLiteral("CaptureActiveWindow"), {},
                        {{QStringLiteral("include-decoration"), true}, {QStringLiteral("include-shadow"), false}});
    shot.picture = WithoutShadowMargin(shot.picture).convertToFormat(QImage::Format_RGB32);
    return shot;
}
}
