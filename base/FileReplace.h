// Replacing a file as a whole, so that it is always either the old file or the complete new one.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace FileReplace {
// Writes data as the file at path, creating it or taking the old file's place. The new content is
// on disk (synced) before it replaces the old file, and keeps the old file's permissions and, where
// the process may set them, its owner and group. False when anything fails: the old file is then
// untouched and no partial or temporary file is left. A path that names something other than a
// regular file (a folder, a device) is never written; a link to a file replaces the file it names.
bool Replace(const QString &path, QByteArrayView data);
}
