// Whether the program has a desktop to start on, asked before Qt is, which would abort without one.
#include "platform/DisplayCheck.h"

#include <QByteArray>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStringList>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace DisplayCheck {

namespace {

// Qt's own option "-platform NAME" (or "--platform"), else its environment variable.
QString RequestedPlatform(int argc, char **argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return QString::fromLocal8Bit(argv[i + 1]);
    }
    return qEnvironmentVariable("QT_QPA_PLATFORM");
}

QByteArray RequestedDisplay(int argc, char **argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-display") == 0 || std::strcmp(argv[i], "--display") == 0)
            return argv[i + 1];
    }
    return qgetenv("DISPLAY");
}

// The compositor's socket: WAYLAND_DISPLAY as a path, or a name in XDG_RUNTIME_DIR.
bool WaylandSocketAnswers()
{
    QByteArray path = qgetenv("WAYLAND_DISPLAY");
    if (path.isEmpty())
        return false;
    if (!path.startsWith('/')) {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty())
            return false;
        path = runtime + '/' + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool answers = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return answers;
}

bool QtWaylandInstalled()
{
    const QString platforms = QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms/");
    return QFileInfo::exists(platforms + QStringLiteral("libqwayland-generic.so"))
        || QFileInfo::exists(platforms + QStringLiteral("libqwayland-egl.so"));
}

} // namespace

bool XDisplayReachable(const QByteArray &display)
{
    if (display.isEmpty())
        return false;
    xcb_connection_t *connection = xcb_connect(display.constData(), nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reached;
}

bool WaylandReachable()
{
    return WaylandSocketAnswers() && QtWaylandInstalled();
}

QString Problem(int argc, char **argv)
{
    // "xcb", "xcb:options" or a list such as "wayland;xcb": anything but xcb is Qt's to handle.
    const QString platform = RequestedPlatform(argc, argv);
    for (const QString &entry : platform.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (entry.section(QLatin1Char(':'), 0, 0).trimmed() != QLatin1String("xcb"))
            return QString();
    }
    const QByteArray display = RequestedDisplay(argc, argv);
    if (XDisplayReachable(display))
        return QString();
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        // Only here when neither Xwayland nor Qt's Wayland platform can be used, or xcb was asked for.
        if (WaylandSocketAnswers() && QtWaylandInstalled())
            return Localised(XcbAskedForText);
        if (WaylandSocketAnswers())
            return Localised(NoQtWaylandText);
        return Localised(WaylandSilentText).arg(qEnvironmentVariable("WAYLAND_DISPLAY"));
    }
    if (display.isEmpty())
        return Localised(DisplayUnsetText);
    return Localised(DisplayUnreachableText).arg(QString::fromLocal8Bit(display));
}

}
