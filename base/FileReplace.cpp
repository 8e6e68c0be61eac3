// Replacing a file as a whole, so that it is always either the old file or the complete new one.
#include "base/FileReplace.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileReplace {

namespace {
// A descriptor closed on every path out.
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
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        // A short write is a full disk or a file size limit: the next write says which.
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}
}

bool Replace(const QString &linkOrPath, QByteArrayView data)
{
    if (linkOrPath.isEmpty())
        return false;
    // A link stays a link: the file it points to is the one replaced.
    const QFileInfo given(linkOrPath);
    const QString path = given.isSymLink() && given.exists() ? given.canonicalFilePath() : linkOrPath;
    const QByteArray target = QFile::encodeName(path);
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const QByteArray fileName = QFile::encodeName(QFileInfo(path).fileName());

    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return false;
    if (!exists && errno != ENOENT)
        return false;

    Fd dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0)
        return false;

    // An unnamed file in the target's folder: a crash before it is linked leaves nothing behind.
    const mode_t mode = exists ? (old.st_mode & 07777) : 0666;
    Fd file(::openat(dir.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (file.get() < 0)
        return false;
    if (!WriteAll(file.get(), data.data(), data.size()))
        return false;
    if (exists) {
        // Owner and group only where the process may give them away (root, or its own ones).
        if (::fchown(file.get(), old.st_uid, old.st_gid) != 0)
            (void)::fchown(file.get(), uid_t(-1), old.st_gid);
        if (::fchmod(file.get(), mode) != 0)
            return false;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(file.get(), mode & ~mask) != 0)
            return false;
    }
    if (::fsync(file.get()) != 0)
        return false;

    // Linked under a name of its own beside the target, then renamed over it in one step.
    const QByteArray name = fileName + ".tmp-" + QByteArray::number(qint64(::getpid()));
    const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(file.get());
    ::unlinkat(dir.get(), name.constData(), 0);
    if (::linkat(AT_FDCWD, procPath.constData(), dir.get(), name.constData(), AT_SYMLINK_FOLLOW) != 0)
        return false;
    if (::renameat(dir.get(), name.constData(), dir.get(), fileName.constData()) != 0) {
        ::unlinkat(dir.get(), name.constData(), 0);
        return false;
    }
    ::fsync(dir.get());
    return true;
}

}
