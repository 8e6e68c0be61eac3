// Small text and path tools.
#include "localisation/mdlTools.h"

#include <QCoreApplication>

namespace mdlTools {

QString GetAppPath(const QString &applicationDirPath)
{
    if (applicationDirPath.endsWith(QLatin1Char('/')))
        return applicationDirPath;
    return applicationDirPath + QLatin1Char('/');
}

QString GetAppPath()
{
    return GetAppPath(QCoreApplication::applicationDirPath());
}

QString GetFolderPart(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    // Cutting the only slash of "/shot.bmp" would leave nothing, and the caller would lose the
    // folder it remembers: the root keeps its slash.
    if (slash == 0)
        return QStringLiteral("/");
    return path.left(slash);
}

QString TrimAtNull(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

}
