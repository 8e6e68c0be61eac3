// The profile (INI) file functions: one entry, one key list or one section list at a time.
#include "localisation/ProfileFile.h"

#include "localisation/ProfileText.h"

#include "base/FileReplace.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

enum class FileState { Read, Missing, Unreadable };

// What tells one version of the file from another: a replacement is a new inode, an edit in place
// a new time.
struct Identity
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const Identity &o) const
    {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size
            && modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec
            && changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

Identity IdentityOf(const struct stat &info)
{
    return Identity{true, info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

Identity CurrentIdentity(const QString &fileName)
{
    struct stat info {};
    if (::stat(QFile::encodeName(fileName).constData(), &info) != 0)
        return Identity{};
    return IdentityOf(info);
}

FileState ReadWhole(const QString &fileName, QByteArray &data, Identity *identity = nullptr)
{
    data.clear();
    if (fileName.isEmpty())
        return FileState::Missing;
    // A directory, a pipe or a device in the file's place is not a profile file; opening a pipe
    // would even wait for a writer.
    const QFileInfo info(fileName);
    if (!info.exists())
        return FileState::Missing;
    if (!info.isFile())
        return FileState::Unreadable;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return FileState::Unreadable;
    data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        data.clear();
        return FileState::Unreadable;
    }
    struct stat opened {};
    if (identity && ::fstat(file.handle(), &opened) == 0)
        *identity = IdentityOf(opened);
    return FileState::Read;
}

qint32 CopyValue(const QString &value, QString &buffer, qint32 size)
{
    qsizetype n = qMin<qsizetype>(value.size(), size - 1);
    // A character is not cut in halves.
    if (n > 0 && n < value.size() && value.at(n - 1).isHighSurrogate())
        --n;
    buffer = value.first(n);
    return qint32(n);
}

qint32 CopyList(const QStringList &names, QString &buffer, qint32 size)
{
    QString list;
    for (const QString &name : names)
        list += name + QChar(0);
    qsizetype n = list.size();
    if (n + 1 > size)
        n = qMax(0, size - 2);
    buffer = list.first(n);
    return qint32(n);
}

} // namespace

namespace ProfileFile {

qint32 GetPrivateProfileStringA(const OptionalText &section, const OptionalText &key,
                                const OptionalText &sDefault, QString &buffer, qint32 size,
                                const QString &fileName)
{
    buffer.clear();
    if (size <= 0)
        return 0;
    QByteArray data;
    ReadWhole(fileName, data);
    ProfileText::Document document(std::move(data));

    if (!section)
        return CopyList(document.SectionNames(), buffer, size);
    const QString sectionName = ProfileText::Trimmed(*section);
    if (!key)
        return CopyList(document.KeyNames(sectionName), buffer, size);
    const std::optional<QString> value = document.Value(sectionName, ProfileText::Trimmed(*key));
    return CopyValue(value ? *value : sDefault.value_or(QString()), buffer, size);
}

qint32 WritePrivateProfileStringA(const OptionalText &section, const OptionalText &key,
                                  const OptionalText &text, const QString &fileName)
{
    if (!section || fileName.isEmpty())
        return 0;
    const QString sectionName = ProfileText::Trimmed(*section);
    const QString keyName = key ? ProfileText::Trimmed(*key) : QString();
    if (!ProfileText::IsSoundSectionName(sectionName) || (key && !ProfileText::IsSoundKey(keyName))
        || (key && text && !ProfileText::IsSoundValue(*text)))
        return 0;

    const FileReplace::FolderLock lock(fileName);
    QByteArray data;
    // Writing a file that could not be read would lose everything else in it.
    if (ReadWhole(fileName, data) == FileState::Unreadable)
        return 0;
    ProfileText::Document document(std::move(data));
    if (!key)
        document.RemoveSection(sectionName);
    else if (!text)
        document.RemoveKey(sectionName, keyName);
    else if (!document.SetEntry(sectionName, keyName, *text))
        return 0;
    if (!document.isChanged())
        return 1;
    return FileReplace::Replace(fileName, document.Pieces()) ? 1 : 0;
}

struct Snapshot::State
{
    QString fileName;
    FileState state = FileState::Missing;
    Identity identity;
    ProfileText::Document document;
};

Snapshot::Snapshot(const QString &fileName) : m(std::make_unique<State>())
{
    m->fileName = fileName;
    QByteArray data;
    m->state = ReadWhole(fileName, data, &m->identity);
    m->document = ProfileText::Document(std::move(data));
}

Snapshot::~Snapshot() = default;

qint32 Snapshot::GetPrivateProfileStringA(const QString &section, const QString &key, const OptionalText &sDefault,
                                          QString &buffer, qint32 size)
{
    buffer.clear();
    if (size <= 0)
        return 0;
    const std::optional<QString> value = m->document.Value(ProfileText::Trimmed(section), ProfileText::Trimmed(key));
    return CopyValue(value ? *value : sDefault.value_or(QString()), buffer, size);
}

bool Snapshot::HasSection(const QString &section) const
{
    return m->document.SectionNames().contains(ProfileText::Trimmed(section), Qt::CaseInsensitive);
}

qint32 Snapshot::WritePrivateProfileStringA(const QString &section, const QString &key, const QString &text)
{
    const QString sectionName = ProfileText::Trimmed(section);
    const QString keyName = ProfileText::Trimmed(key);
    if (m->fileName.isEmpty() || m->state == FileState::Unreadable || !ProfileText::IsSoundSectionName(sectionName)
        || !ProfileText::IsSoundKey(keyName) || !ProfileText::IsSoundValue(text))
        return 0;
    return m->document.SetEntry(sectionName, keyName, text) ? 1 : 0;
}

qint32 Snapshot::Commit(const std::function<void(Snapshot &)> &redo)
{
    if (!m->document.isChanged())
        return 1;
    const FileReplace::FolderLock lock(m->fileName);
    if (CurrentIdentity(m->fileName) == m->identity)
        return FileReplace::Replace(m->fileName, m->document.Pieces()) ? 1 : 0;
    // Read again under the lock, so that nothing another process wrote meanwhile is lost.
    Snapshot fresh(m->fileName);
    if (fresh.m->state == FileState::Unreadable)
        return 0;
    redo(fresh);
    if (!fresh.m->document.isChanged())
        return 1;
    return FileReplace::Replace(m->fileName, fresh.m->document.Pieces()) ? 1 : 0;
}

}
