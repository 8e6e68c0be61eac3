// Small text and path tools.
#pragma once

#include <QString>

namespace mdlTools {
// The executable's folder with a closing "/" ("/" itself for the root).
QString GetAppPath();
QString GetAppPath(const QString &applicationDirPath);
}
