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

}
