// Texts of the user interface from the language file beside the executable.
#include "localisation/mdlI18n.h"

#include "localisation/ControlTexts.h"
#include "localisation/ProfileFile.h"
#include "localisation/cInifile.h"
#include "localisation/mdlTools.h"

#include "base/FileReplace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <memory>

#include <unistd.h>

namespace {

constexpr qint32 ValueBufferSize = 255;

// A text holds at most 254 characters, or twice as many as its built-in text where that is
// longer: the longer messages are not cut, and their translations have room.
qint32 ReadLimit(const QString &sDefault)
{
    return qMax<qint32>(ValueBufferSize, qint32(qMin<qsizetype>(2 * sDefault.size(), 1 << 20)) + 1);
}

bool IsSpacesOnly(const QString &text)
{
    for (const QChar c : text) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

// The folder the file is in, when it is the data folder that may not exist yet.
QString g_folderToCreate;

// The open batch: the file as read at its first lookup, and the texts written into it.
struct Batch
{
    int depth = 0;
    std::unique_ptr<ProfileFile::Snapshot> snapshot;
    struct Written
    {
        QString section;
        QString key;
        QString text;
    };
    QList<Written> written;
};
Batch g_batch;

// Before a write: the data folder is made only once something goes into it.
void PrepareFolder()
{
    if (!g_folderToCreate.isEmpty()) {
        QDir().mkpath(g_folderToCreate);
        g_folderToCreate.clear();
    }
}

} // namespace

namespace mdlI18n {

cInifile &LanguageFile()
{
    static cInifile file;
    return file;
}

QString LanguageFileLocation(const QString &appFolder, const QString &baseName)
{
    const QString fileName = baseName + QLatin1String(".lng");
    const QString beside = appFolder + fileName;
    const QByteArray folder = QFile::encodeName(appFolder);
    // A translator's copy next to a portable build wins, even where it cannot be completed.
    if (QFileInfo::exists(beside) || ::access(folder.constData(), W_OK | X_OK) == 0)
        return beside;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1String("/pixolva/") + fileName;
}

TextBatch::TextBatch()
{
    ++g_batch.depth;
}

TextBatch::~TextBatch()
{
    if (--g_batch.depth > 0 || !g_batch.snapshot)
        return;
    const QList<Batch::Written> written = std::move(g_batch.written);
    // The same lookups again on the file as another process left it: what it now holds stays.
    const auto redo = [&written](ProfileFile::Snapshot &fresh) {
        for (const Batch::Written &text : written) {
            QString stored;
            fresh.GetPrivateProfileStringA(text.section, text.key, QString(), stored, ValueBufferSize);
            if (IsSpacesOnly(stored))
                fresh.WritePrivateProfileStringA(text.section, text.key, text.text);
        }
    };
    if (!written.isEmpty())
        PrepareFolder();
    g_batch.snapshot->Commit(redo);
    g_batch.snapshot.reset();
    g_batch.written.clear();
}

void CompleteTexts(const QList<LocalText> &texts)
{
    for (const LocalText &text : texts)
        GetLngText(QString::fromLatin1(text.section), QString::fromLatin1(text.key), QString::fromUtf8(text.german));
}

// The language file, its place found on first use.
static cInifile &PlacedFile()
{
    cInifile &file = LanguageFile();
    if (file.Path().isEmpty()) {
        const QString path = LanguageFileLocation(
            mdlTools::GetAppPath(), QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
        file.setPath(path);
        if (!QFileInfo(path).absoluteDir().exists())
            g_folderToCreate = QFileInfo(path).absolutePath();
        // What an earlier run left when it ended between writing and renaming.
        FileReplace::ClearStaleTemporaries(path);
    }
    return file;
}

bool HasSection(const QString &section)
{
    cInifile &file = PlacedFile();
    if (g_batch.depth > 0) {
        if (!g_batch.snapshot)
            g_batch.snapshot = std::make_unique<ProfileFile::Snapshot>(file.Path());
        return g_batch.snapshot->HasSection(section);
    }
    return ProfileFile::Snapshot(file.Path()).HasSection(section);
}

QString GetLngText(const QString &section, const QString &key, const QString &sDefault)
{
    cInifile &file = PlacedFile();
    file.setSection(section);
    file.setKey(key);

    if (g_batch.depth > 0) {
        if (!g_batch.snapshot)
            g_batch.snapshot = std::make_unique<ProfileFile::Snapshot>(file.Path());
        QString text;
        g_batch.snapshot->GetPrivateProfileStringA(section, key, file.Default(), text, ReadLimit(sDefault));
        if (IsSpacesOnly(text)) {
            text = EscapeLineBreaks(sDefault);
            if (g_batch.snapshot->WritePrivateProfileStringA(section, key, text))
                g_batch.written.append(Batch::Written{section, key, text});
        }
        return ExpandLineBreaks(text);
    }

    // One read serves both the test and the result: the text that passed the test is the one
    // shown, even if another program changes the file in between.
    QString text;
    ProfileFile::GetPrivateProfileStringA(section, key, file.Default(), text, ReadLimit(sDefault), file.Path());
    if (IsSpacesOnly(text)) {
        text = EscapeLineBreaks(sDefault);
        PrepareFolder();
        file.setValue(text);
    }
    return ExpandLineBreaks(text);
}

}
