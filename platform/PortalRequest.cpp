// Requests to the desktop portal, answered synchronously.
#include "platform/PortalRequest.h"

#include "base/ErrorTexts.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QEventLoop>
#include <QTimer>
#include <QUuid>

namespace {
const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");
constexpr int CallTimeoutMs = 10000;

// Receives one Response and ends the wait for it.
class ResponseWaiter : public QObject
{
    Q_OBJECT

public:
    QEventLoop loop;
    bool answered = false;
    uint response = 2;
    QVariantMap results;

public Q_SLOTS:
    void Response(uint code, const QVariantMap &answer)
    {
        answered = true;
        response = code;
        results = answer;
        loop.quit();
    }
};

bool Subscribe(QDBusConnection &bus, const QString &path, ResponseWaiter *waiter, bool on)
{
    // Any sender: an activated portal gets its unique name only once the call has started it.
    const char *slot = SLOT(Response(uint, QVariantMap));
    return on ? bus.connect(QString(), path, RequestInterface, QStringLiteral("Response"), waiter, slot)
              : bus.disconnect(QString(), path, RequestInterface, QStringLiteral("Response"), waiter, slot);
}
}

namespace PortalRequest {

QVariantMap Call(const QString &interface, const QString &method, QVariantMap options, int timeoutMs)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        RaiseError(ErrorKind::NoScreenCopyService);
    // The request object's path is known before the call (sender and token), so the answer is
    // listened for before it can be sent.
    const QString token = QStringLiteral("pixolva") + QUuid::createUuid().toString(QUuid::Id128);
    const QString sender = bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    ResponseWaiter waiter;
    Subscribe(bus, path, &waiter, true);
    options.insert(QStringLiteral("handle_token"), token);

    QDBusMessage call = QDBusMessage::createMethodCall(PortalService, PortalPath, interface, method);
    call << QString() << options;
    const QDBusMessage reply = bus.call(call, QDBus::Block, CallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        Subscribe(bus, path, &waiter, false);
        // No portal at all, or one without this interface; a portal that is there but slow to
        // take the call is as good as none.
        RaiseError(reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply")
                       ? ErrorKind::ScreenCopyNoAnswer
                       : ErrorKind::NoScreenCopyService);
    }
    // Portals older than the token scheme answer on a path of their own choosing.
    const QString handle = reply.arguments().value(0).value<QDBusObjectPath>().path();
    if (!handle.isEmpty() && handle != path) {
        Subscribe(bus, path, &waiter, false);
        path = handle;
        Subscribe(bus, path, &waiter, true);
    }
    if (!waiter.answered) {
        QTimer::singleShot(timeoutMs, &waiter.loop, &QEventLoop::quit);
        // Clicks and keys wait until the answer is in: no other command may start meanwhile.
        waiter.loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    Subscribe(bus, path, &waiter, false);
    if (!waiter.answered) {
        // Take back the question, so that no dialog of the desktop outlives it.
        bus.call(QDBusMessage::createMethodCall(PortalService, path, RequestInterface, QStringLiteral("Close")),
                 QDBus::NoBlock);
        RaiseError(ErrorKind::ScreenCopyNoAnswer);
    }
    if (waiter.response == 1)
        RaiseError(ErrorKind::ScreenCopyCancelled);
    if (waiter.response != 0)
        RaiseError(ErrorKind::ScreenCopyDenied);
    return waiter.results;
}

bool IsOnBus(const QString &service)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusConnectionInterface *names = bus.isConnected() ? bus.interface() : nullptr;
    return names && names->isServiceRegistered(service).value();
}

}

#include "PortalRequest.moc"
