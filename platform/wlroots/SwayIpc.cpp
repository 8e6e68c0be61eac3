// sway's interface for programs: a message is "i3-ipc", the payload's length and the message
// type (32-bit, native byte order), then the payload; the reply has the same form.
#include "platform/wlroots/SwayIpc.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace SwayIpc {
namespace {
constexpr char Magic[] = "i3-ipc";
constexpr size_t MagicSize = sizeof(Magic) - 1;
constexpr size_t HeaderSize = MagicSize + 8;
constexpr quint32 RunCommand = 0;
constexpr quint32 GetTree = 4;
// sway answers at once; a socket that stays silent this long belongs to no working sway.
constexpr int AnswerTimeoutMs = 2000;

bool WriteAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

bool ReadAll(int fd, char *data, size_t size)
{
    while (size > 0) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, AnswerTimeoutMs) <= 0)
            return false;
        const ssize_t n = read(fd, data, size);
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

std::optional<QByteArray> Ask(quint32 type, const QByteArray &payload)
{
    const QByteArray path = qgetenv("SWAYSOCK");
    sockaddr_un address{};
    if (path.isEmpty() || size_t(path.size()) >= sizeof(address.sun_path))
        return std::nullopt;
    address.sun_family = AF_UNIX;
    memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::nullopt;
    std::optional<QByteArray> reply;
    QByteArray message(Magic, int(MagicSize));
    const quint32 header[2] = {quint32(payload.size()), type};
    message.append(reinterpret_cast<const char *>(header), sizeof(header));
    message.append(payload);
    char answerHeader[HeaderSize];
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0
        && WriteAll(fd, message.constData(), size_t(message.size())) && ReadAll(fd, answerHeader, HeaderSize)
        && memcmp(answerHeader, Magic, MagicSize) == 0) {
        quint32 length = 0;
        memcpy(&length, answerHeader + MagicSize, sizeof(length));
        QByteArray body(int(length), Qt::Uninitialized);
        if (length < (1u << 28) && ReadAll(fd, body.data(), length))
            reply = body;
    }
    close(fd);
    return reply;
}

QRect Rect(const QJsonValue &value)
{
    const QJsonObject r = value.toObject();
    return QRect(r.value(QLatin1String("x")).toInt(), r.value(QLatin1String("y")).toInt(),
                 r.value(QLatin1String("width")).toInt(), r.value(QLatin1String("height")).toInt());
}

struct Walk
{
    QList<View> tiled, floating, fullscreen;

    void Node(const QJsonObject &node, bool floatingBranch)
    {
        const QJsonArray nodes = node.value(QLatin1String("nodes")).toArray();
        const QJsonArray floatingNodes = node.value(QLatin1String("floating_nodes")).toArray();
        const QString type = node.value(QLatin1String("type")).toString();
        const bool isView = (type == QLatin1String("con") || type == QLatin1String("floating_con")) && nodes.isEmpty()
            && floatingNodes.isEmpty() && node.contains(QLatin1String("pid"));
        if (isView && node.value(QLatin1String("visible")).toBool()) {
            View view;
            view.id = node.value(QLatin1String("id")).toInteger();
            view.xWindow = quint32(node.value(QLatin1String("window")).toInteger());
            view.pid = node.value(QLatin1String("pid")).toInteger();
            view.focused = node.value(QLatin1String("focused")).toBool();
            view.floating = floatingBranch;
            // rect leaves out the title bar, which lies above it as tall as deco_rect.
            const QRect rect = Rect(node.value(QLatin1String("rect")));
            const int title = Rect(node.value(QLatin1String("deco_rect"))).height();
            view.frame = rect.adjusted(0, -title, 0, 0);
            view.content = Rect(node.value(QLatin1String("window_rect"))).translated(rect.topLeft());
            if (node.value(QLatin1String("fullscreen_mode")).toInt() != 0)
                fullscreen << view;
            else
                (floatingBranch ? floating : tiled) << view;
        }
        for (const QJsonValue &child : nodes)
            Node(child.toObject(), floatingBranch);
        for (const QJsonValue &child : floatingNodes)
            Node(child.toObject(), true);
    }
};
}

QList<View> ViewsFromTree(const QByteArray &json)
{
    Walk walk;
    walk.Node(QJsonDocument::fromJson(json).object(), false);
    return walk.tiled + walk.floating + walk.fullscreen;
}

std::optional<QList<View>> Views()
{
    const std::optional<QByteArray> tree = Ask(GetTree, {});
    if (!tree)
        return std::nullopt;
    return ViewsFromTree(*tree);
}

bool Command(const QString &command)
{
    const std::optional<QByteArray> reply = Ask(RunCommand, command.toUtf8());
    if (!reply)
        return false;
    const QJsonArray results = QJsonDocument::fromJson(*reply).array();
    if (results.isEmpty())
        return false;
    for (const QJsonValue &result : results)
        if (!result.toObject().value(QLatin1String("success")).toBool())
            return false;
    return true;
}

bool Available()
{
    return Ask(GetTree, {}).has_value();
}

const View *ViewAt(const QList<View> &views, QPoint p)
{
    for (auto it = views.crbegin(); it != views.crend(); ++it)
        if (it->frame.contains(p))
            return &*it;
    return nullptr;
}

}
