// Small text and path tools.
#pragma once

#include <QString>

namespace mdlTools {
// The executable's folder with a closing "/" ("/" itself for the root).
QString GetAppPath();
QString GetAppPath(const QString &applicationDirPath);

// The folder of a file path: the text before the last "/", or "/" for a file in the root,
// or an empty text for a bare file name.
QString GetFolderPart(const QString &path);

// The text before its first NUL character, or the whole text when it holds none.
QString TrimAtNull(const QString &text);
}
