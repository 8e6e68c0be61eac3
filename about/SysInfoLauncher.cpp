// Starts the desktop's system information program, if one is installed.
#include "about/SysInfoLauncher.h"

#include <QProcess>
#include <QStandardPaths>

namespace SysInfoLauncher {

QStringList Candidates()
{
    return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("mate-system-monitor")};
}

QString FindProgram(const QStringList &candidates)
{
    for (const QString &name : candidates) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

bool Start(const QStringList &candidates)
{
    const QString program = FindProgram(candidates);
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, {});
}

}
