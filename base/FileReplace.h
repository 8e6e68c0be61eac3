// Replacing a file as a whole, so that it is always either the old file or the complete new one.
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

namespace FileReplace {
// How the new content waits on disk until it takes the old file's place.
enum class Temporary {
    // An unnamed file (O_TMPFILE) that vanishes with the process; where the file system has none,
    // a named one as below.
    Unnamed,
    // "NAME.tmp-PID" beside the file, removed on every failure; one that a crash leaves is
    // cleared by the next replacement of the same file once its process has ended.
    Named,
};

// Writes data as the file at path, creating it or taking the old file's place. The new content is
// on disk (synced) before it replaces the old file. A replaced file keeps its permissions and,
// where the process may set them, its owner and group; a new file gets 0666 less the umask, and
// one that root creates belongs to the folder's owner and group, so that a run under sudo leaves
// nothing the user cannot change afterwards.
//
// False when anything fails, with errno telling why: the old file is then untouched and no partial
// or temporary file is left. An existing file that the process may not write (EACCES, EROFS,
// EPERM) is not replaced, though its folder would allow it. A path that names something other
// than a regular file (a folder, a device) is never written; a link to a file replaces the file it
// names.
bool Replace(const QString &path, QByteArrayView data, Temporary temporary = Temporary::Unnamed);
// The same for content that lies in pieces, written one after the other.
bool Replace(const QString &path, const QList<QByteArrayView> &pieces, Temporary temporary = Temporary::Unnamed);

// Removes the temporaries of path (see Temporary::Named) whose process has ended, or that are
// older than an hour, in case a process id has been reused since.
void ClearStaleTemporaries(const QString &path);

// Serialises read-modify-write cycles of the files in one folder between processes, for as long
// as the object lives. The lock is an advisory flock on the folder itself, so there is no lock
// file to leave behind and it works in a folder that cannot be written. Where it cannot be had
// within 10 s (or the file system has no locks) the work goes on unlocked: a replacement is
// atomic either way, only a concurrent completion may then be lost.
class FolderLock
{
public:
    explicit FolderLock(const QString &path);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;
    bool isLocked() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};
}
