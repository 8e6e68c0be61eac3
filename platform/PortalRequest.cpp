// Requests to the desktop portal, answered synchronously.
#include "platform/PortalRequest.h"

#include "base/ErrorTexts.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QHash>
#include <QTimer>
#include <QUuid>

namespace {
const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");
constexpr int CallTimeoutMs = 10000;
// While an answer is outstanding, the portal and the desktop's services behind it are asked this
// often whether they still answer at all; silence for NoAnswerMs means nobody will.
constexpr int ProbeIntervalMs = 1000;
constexpr int NoAnswerMs = 8000;
const QString BackendPrefix = QStringLiteral("org.freedesktop.impl.portal.");

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

// Tells a desktop that shows a dialog, however long the user takes over it, from one that has
// stopped answering. The portal (and each of the desktop's portal services on the bus) is asked
// for a property every second; a dialog keeps the desktop's event loop running, so these answers
// come at once (an error is an answer too). A service that stays silent for NoAnswerMs, or the
// portal leaving the bus, is a desktop that will not answer.
class DesktopWatch : public QObject
{
    Q_OBJECT

public:
    explicit DesktopWatch(QDBusConnection bus) : m_bus(std::move(bus))
    {
        connect(&m_timer, &QTimer::timeout, this, &DesktopWatch::Probe);
        m_timer.start(ProbeIntervalMs);
    }

Q_SIGNALS:
    void Silent();

private:
    struct Service
    {
        QDeadlineTimer answered{NoAnswerMs};
        bool asking = false;
    };

    void Probe()
    {
        QStringList names{PortalService};
        if (QDBusConnectionInterface *bus = m_bus.interface()) {
            for (const QString &name : bus->registeredServiceNames().value())
                if (name.startsWith(BackendPrefix))
                    names << name;
        }
        for (const QString &name : names)
            if (!m_services.contains(name))
                m_services.insert(name, {});
        for (auto it = m_services.begin(); it != m_services.end(); ++it) {
            if (it->answered.hasExpired()) {
                m_timer.stop();
                Q_EMIT Silent();
                return;
            }
            if (!it->asking)
                Ask(it.key());
        }
    }

    void Ask(const QString &name)
    {
        const bool portal = name == PortalService;
        QDBusMessage get = QDBusMessage::createMethodCall(name, PortalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("Get"));
        get << (portal ? QStringLiteral("org.freedesktop.portal.Screenshot")
                       : QStringLiteral("org.freedesktop.impl.portal.Screenshot"))
            << QStringLiteral("version");
        m_services[name].asking = true;
        auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get, NoAnswerMs), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, name, portal](QDBusPendingCallWatcher *call) {
            call->deleteLater();
            Service &service = m_services[name];
            service.asking = false;
            const QString error = call->isError() ? call->error().name() : QString();
            const bool gone = error == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")
                || error == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
            if (portal && gone) {
                // The portal went away with the question: no answer will come.
                service.answered = QDeadlineTimer(0);
            } else if (!gone && error != QLatin1String("org.freedesktop.DBus.Error.NoReply")
                       && error != QLatin1String("org.freedesktop.DBus.Error.Timeout")
                       && error != QLatin1String("org.freedesktop.DBus.Error.Disconnected")) {
                service.answered = QDeadlineTimer(NoAnswerMs);
            }
        });
    }

    QDBusConnection m_bus;
    QTimer m_timer;
    QHash<QString, Service> m_services;
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

QVariantMap Call(const QString &interface, const QString &method, QVariantMap options)
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
        // As long as the desktop is there: the user may take any time over its dialog.
        DesktopWatch watch(bus);
        QObject::connect(&watch, &DesktopWatch::Silent, &waiter.loop, &QEventLoop::quit);
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
