// Whether the program has a desktop to start on, asked before Qt is, which would abort without one.
#include "platform/DisplayCheck.h"

#include <QByteArray>
#include <QStringList>

#include <cstring>
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

bool Reachable(const QByteArray &display)
{
    xcb_connection_t *connection = xcb_connect(display.constData(), nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reached;
}

} // namespace

QString Problem(int argc, char **argv)
{
    // "xcb", "xcb:options" or a list such as "wayland;xcb": anything but xcb is Qt's to handle.
    const QString platform = RequestedPlatform(argc, argv);
    for (const QString &entry : platform.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (entry.section(QLatin1Char(':'), 0, 0).trimmed() != QLatin1String("xcb"))
            return QString();
    }
    const QByteArray display = RequestedDisplay(argc, argv);
    if (!display.isEmpty() && Reachable(display))
        return QString();
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return QStringLiteral("Pixolva: Kein X-Display gefunden – diese Sitzung bietet nur Wayland, Pixolva braucht "
                              "X11. Bitte Xwayland einschalten oder DISPLAY setzen (z. B. DISPLAY=:0).");
    if (display.isEmpty())
        return QStringLiteral("Pixolva: Kein X-Display gefunden – die Umgebungsvariable DISPLAY ist nicht gesetzt. "
                              "Bitte Pixolva in einer X11-Sitzung starten oder DISPLAY setzen (z. B. DISPLAY=:0).");
    return QStringLiteral("Pixolva: Keine Verbindung zum X-Display „%1“ (DISPLAY). Bitte prüfen, ob der X-Server läuft "
                          "und ob dieser Benutzer ihn verwenden darf (XAUTHORITY).")
        .arg(QString::fromLocal8Bit(display));
}

}
