// The windows KWin shows, X and native Wayland alike, as KWin's scripting reports them.
#include "platform/KWinWindows.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QDir>
#include <QMutex>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QThread>
#include <QWaitCondition>

#include <cmath>

namespace KWinWindows {
namespace {
const QString Service = QStringLiteral("org.kde.KWin");
const QString ScriptingPath = QStringLiteral("/Scripting");
const QString ScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");
const QString ReceiverPath = QStringLiteral("/org/pixolva/KWinWindows");
constexpr int CallTimeoutMs = 2000;
constexpr int ReportTimeoutMs = 2000;

// Takes the scripts' reports. It lives on a thread of its own, so that a report arrives while the
// program waits for it without running its own event loop in between. Only KWin's are taken.
class Receiver : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.pixolva.KWinWindows")

public:
    void Expect(const QString &token, const QString &kwin)
    {
        const QMutexLocker lock(&m_mutex);
        m_token = token;
        m_kwin = kwin;
        m_report.reset();
    }
    std::optional<QString> Wait(int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        const QMutexLocker lock(&m_mutex);
        while (!m_report && m_answered.wait(&m_mutex, deadline)) {
        }
        return m_report;
    }

public Q_SLOTS:
    void Report(const QString &token, const QString &report)
    {
        const QMutexLocker lock(&m_mutex);
        if (token != m_token || message().service() != m_kwin)
            return;  // a late answer to a request given up, or not from KWin
        m_report = report;
        m_answered.wakeAll();
    }

private:
    QMutex m_mutex;
    QWaitCondition m_answered;
    QString m_token;
    QString m_kwin;  // KWin's unique name on the bus
    std::optional<QString> m_report;
};

// The receiver and its thread, from the first request until the program ends; null where the
// program has no session bus.
struct Listener
{
    QThread thread;
    Receiver receiver;
};
Listener *TheListener()
{
    static Listener *listener = [] () -> Listener * {
        if (!QCoreApplication::instance() || !QDBusConnection::sessionBus().isConnected())
            return nullptr;
        auto *made = new Listener;
        made->receiver.moveToThread(&made->thread);
        made->thread.start();
        if (!QDBusConnection::sessionBus().registerObject(ReceiverPath, &made->receiver, QDBusConnection::ExportAllSlots)) {
            made->thread.quit();
            made->thread.wait();
            delete made;
            return nullptr;
        }
        qAddPostRoutine([] {
            QDBusConnection::sessionBus().unregisterObject(ReceiverPath);
            listener->thread.quit();
            listener->thread.wait();
        });
        return made;
    }();
    return listener;
}

bool Call(const QString &path, const QString &interface, const QString &method, const QVariantList &arguments,
          QVariant *result = nullptr)
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, path, interface, method);
    call.setArguments(arguments);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, CallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return false;
    if (result)
        *result = reply.arguments().value(0);
    return true;
}

// Runs a script whose body calls report(text) once, and returns that text.
std::optional<QString> RunScript(const QString &body)
{
    Listener *listener = TheListener();
    if (!listener)
        return std::nullopt;
    static int serial = 0;
    const QString token = QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(++serial);
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/pixolva-kwin-XXXXXX.js"));
    if (!file.open())
        return std::nullopt;
    const QString source = QStringLiteral("(function () {\n"
                                          "function report(text) { callDBus(\"%1\", \"%2\", \"org.pixolva.KWinWindows\", \"Report\", \"%3\", text); }\n"
                                          "%4\n})();\n")
                               .arg(QDBusConnection::sessionBus().baseService(), ReceiverPath, token, body);
    file.write(source.toUtf8());
    file.close();
    const QString kwin = QDBusConnection::sessionBus().interface()->serviceOwner(Service);
    if (kwin.isEmpty())
        return std::nullopt;
    listener->receiver.Expect(token, kwin);
    const QString name = QStringLiteral("pixolva-") + token;
    QVariant id;
    std::optional<QString> report;
    if (Call(ScriptingPath, ScriptingInterface, QStringLiteral("loadScript"), {file.fileName(), name}, &id) && id.toInt() >= 0
        && Call(QLatin1Char('/') + QString::number(id.toInt()), QStringLiteral("org.kde.kwin.Script"), QStringLiteral("run"), {}))
        // KWin reads the file and runs the script after it has answered.
        report = listener->receiver.Wait(ReportTimeoutMs);
    Call(ScriptingPath, ScriptingInterface, QStringLiteral("unloadScript"), {name});
    return report;
}

// Each edge rounded to the nearest pixel.
QRect Rounded(const QStringList &numbers, int from)
{
    return QRectF(numbers[from].toDouble(), numbers[from + 1].toDouble(), numbers[from + 2].toDouble(), numbers[from + 3].toDouble())
        .toRect();
}
}

std::optional<QList<Window>> Windows()
{
    const std::optional<QString> report = RunScript(QStringLiteral(
        "var lines = [];\n"
        "var windows = workspace.clientList();\n"
        "windows.sort(function (a, b) { return a.stackingOrder - b.stackingOrder; });\n"
        "for (var i = 0; i < windows.length; ++i) {\n"
        "    var w = windows[i];\n"
        "    if (w.minimized || w.desktopWindow || w.deleted || w.hidden || !(w.onAllDesktops || w.desktop == workspace.currentDesktop))\n"
        "        continue;\n"
        "    var f = w.frameGeometry, c = w.bufferGeometry;\n"
        "    lines.push([String(w.internalId), w.windowId || 0, f.x, f.y, f.width, f.height, c.x, c.y, c.width, c.height].join(' '));\n"
        "}\n"
        "report(lines.join('\\n'));"));
    if (!report)
        return std::nullopt;
    return ParseReport(*report);
}

const Window *WindowAt(const QList<Window> &windows, QPoint p)
{
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        if (it->frame.contains(p))
            return &*it;
    return nullptr;
}

bool Activate(const QString &id)
{
    // The id goes into the script as a string of hex digits, braces and dashes only.
    if (id.isEmpty() || id.contains(QRegularExpression(QStringLiteral("[^0-9a-fA-F{}-]"))))
        return false;
    const std::optional<QString> report = RunScript(QStringLiteral(
        "var windows = workspace.clientList();\n"
        "for (var i = 0; i < windows.length; ++i)\n"
        "    if (String(windows[i].internalId) == '%1') { workspace.activeClient = windows[i]; report('1'); return; }\n"
        "report('0');").arg(id));
    return report == QLatin1String("1");
}

QList<Window> ParseReport(const QString &report)
{
    QList<Window> windows;
    for (const QString &line : report.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
        if (fields.size() != 10)
            continue;
        bool ok = true;
        for (int n = 1; n < fields.size() && ok; ++n)
            ok = std::isfinite(fields[n].toDouble(&ok)) && ok;
        Window window;
        window.id = fields[0];
        window.xWindow = fields[1].toUInt();
        window.frame = Rounded(fields, 2);
        window.client = Rounded(fields, 6);
        if (ok && !window.frame.isEmpty())
            windows.append(window);
    }
    return windows;
}
}

#include "KWinWindows.moc"
