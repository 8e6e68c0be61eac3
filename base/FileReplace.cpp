// Replacing a file as a whole, so that it is always either the old file or the complete new one.
#include "base/FileReplace.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileReplace {

namespace {
// A descriptor closed on every path out, keeping errno for the caller.
class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0) {
            const int saved = errno;
            ::close(m_fd);
            errno = saved;
        }
        m_fd = fd;
    }

private:
    int m_fd;
};

// A named temporary that is removed unless it has been renamed into place.
class NamedTemporary
{
public:
    NamedTemporary(int dir, QByteArray name) : m_dir(dir), m_name(std::move(name)) {}
    ~NamedTemporary()
    {
        if (!m_name.isEmpty()) {
            const int saved = errno;
            ::unlinkat(m_dir, m_name.constData(), 0);
            errno = saved;
        }
    }
    NamedTemporary(const NamedTemporary &) = delete;
    NamedTemporary &operator=(const NamedTemporary &) = delete;
    void release() { m_name.clear(); }

private:
    int m_dir;
    QByteArray m_name;
};

bool WriteAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        // Nothing written without an error: report it as the full disk it nearly always is.
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

struct Target
{
    QByteArray folder;
    QByteArray fileName;
};

// A link stays a link: the file it points to is the one replaced.
Target Resolve(const QString &linkOrPath)
{
    const QFileInfo given(linkOrPath);
    const QFileInfo path(given.isSymLink() && given.exists() ? given.canonicalFilePath() : linkOrPath);
    return Target{QFile::encodeName(path.absolutePath()), QFile::encodeName(path.fileName())};
}

QByteArray TemporaryName(const QByteArray &fileName, pid_t pid)
{
    return fileName + ".tmp-" + QByteArray::number(qint64(pid));
}

// The process's umask, read without changing it where the kernel tells it.
mode_t CurrentUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        const QByteArray text = status.readAll();
        const qsizetype at = text.indexOf("\nUmask:");
        if (at >= 0) {
            bool ok = false;
            const qsizetype end = text.indexOf('\n', at + 1);
            const uint mask = text.mid(at + 7, end - at - 7).trimmed().toUInt(&ok, 8);
            if (ok)
                return mode_t(mask);
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// Owner, group and mode that the new file takes over before anyone can see it.
bool Adopt(int file, int dir, const struct stat *old)
{
    if (old) {
        // Owner and group only where the process may give them away (root, or its own ones).
        if (::fchown(file, old->st_uid, old->st_gid) != 0)
            (void)::fchown(file, uid_t(-1), old->st_gid);
        // After the chown, which clears set-id bits.
        return ::fchmod(file, old->st_mode & 07777) == 0;
    }
    struct stat folder {};
    if (::geteuid() == 0 && ::fstat(dir, &folder) == 0)
        (void)::fchown(file, folder.st_uid, folder.st_gid);
    return ::fchmod(file, 0666 & ~CurrentUmask()) == 0;
}

bool WriteAll(int fd, const QList<QByteArrayView> &pieces)
{
    for (const QByteArrayView piece : pieces) {
        if (!WriteAll(fd, piece.data(), piece.size()))
            return false;
    }
    return true;
}

bool ReplaceIn(int dir, const Target &target, const QList<QByteArrayView> &data, Temporary temporary)
{
    struct stat old {};
    const bool exists = ::fstatat(dir, target.fileName.constData(), &old, 0) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    if (!exists && errno != ENOENT)
        return false;
    // A file the process may not write stays as it is, though the folder would let it be renamed over.
    if (exists && ::faccessat(dir, target.fileName.constData(), W_OK, AT_EACCESS) != 0)
        return false;

    const QByteArray name = TemporaryName(target.fileName, ::getpid());
    Fd file;
    if (temporary == Temporary::Unnamed) {
        // An unnamed file in the target's folder: a crash before it is linked leaves nothing behind.
        file.reset(::openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
        if (file.get() < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return false;
    }
    const bool named = file.get() < 0;
    if (named) {
        ::unlinkat(dir, name.constData(), 0);
        file.reset(::openat(dir, name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (file.get() < 0)
            return false;
    }
    NamedTemporary cleanup(dir, named ? name : QByteArray());
    if (!WriteAll(file.get(), data) || !Adopt(file.get(), dir, exists ? &old : nullptr)
        || ::fsync(file.get()) != 0)
        return false;

    if (!named) {
        // Linked under the temporary's name, then renamed over the target in one step: between
        // the two a crash leaves the name, which the next replacement clears.
        const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(file.get());
        ::unlinkat(dir, name.constData(), 0);
        if (::linkat(AT_FDCWD, procPath.constData(), dir, name.constData(), AT_SYMLINK_FOLLOW) != 0) {
            // No /proc to reach the unnamed file through: write a named one instead.
            if (errno == ENOENT)
                return ReplaceIn(dir, target, data, Temporary::Named);
            return false;
        }
    }
    NamedTemporary linked(dir, name);
    cleanup.release();
    if (::renameat(dir, name.constData(), dir, target.fileName.constData()) != 0)
        return false;
    linked.release();
    ::fsync(dir);
    return true;
}

bool IsStale(int dir, const char *entry, pid_t pid)
{
    if (pid == ::getpid())
        return false;
    if (::kill(pid, 0) != 0 && errno == ESRCH)
        return true;
    struct stat info {};
    return ::fstatat(dir, entry, &info, AT_SYMLINK_NOFOLLOW) == 0 && std::time(nullptr) - info.st_mtime > 3600;
}

void ClearStaleIn(int dir, const QByteArray &fileName)
{
    const int listing = ::dup(dir);
    if (listing < 0)
        return;
    DIR *entries = ::fdopendir(listing);
    if (!entries) {
        ::close(listing);
        return;
    }
    const QByteArray prefix = fileName + ".tmp-";
    while (const dirent *entry = ::readdir(entries)) {
        const QByteArrayView name(entry->d_name);
        if (!name.startsWith(prefix) || name.size() == prefix.size() || name.size() > prefix.size() + 10)
            continue;
        const QByteArrayView digits = name.sliced(prefix.size());
        if (digits.front() == '0'
            || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        if (IsStale(dir, entry->d_name, pid_t(digits.toLongLong())))
            ::unlinkat(dir, entry->d_name, 0);
    }
    ::closedir(entries);
}
}

bool Replace(const QString &path, QByteArrayView data, Temporary temporary)
{
    return Replace(path, QList<QByteArrayView>{data}, temporary);
}

bool Replace(const QString &linkOrPath, const QList<QByteArrayView> &pieces, Temporary temporary)
{
    if (linkOrPath.isEmpty()) {
        errno = ENOENT;
        return false;
    }
    const Target target = Resolve(linkOrPath);
    Fd dir(::open(target.folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0)
        return false;
    ClearStaleIn(dir.get(), target.fileName);
    return ReplaceIn(dir.get(), target, pieces, temporary);
}

void ClearStaleTemporaries(const QString &path)
{
    if (path.isEmpty())
        return;
    const Target target = Resolve(path);
    Fd dir(::open(target.folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ClearStaleIn(dir.get(), target.fileName);
}

FolderLock::FolderLock(const QString &path)
{
    if (path.isEmpty())
        return;
    const int fd = ::open(Resolve(path).folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    // Polled rather than blocking, so that a stuck holder cannot hold this process for ever.
    for (int waited = 0; waited < 10000; waited += 5) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            m_fd = fd;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR)
            break;
        ::usleep(5000);
    }
    ::close(fd);
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

}
