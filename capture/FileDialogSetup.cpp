// What a file dialog is asked to do, apart from the dialog itself: filter text, flags, buffer.
#include "capture/FileDialogSetup.h"

#include <QFileInfo>

namespace mdlFileDialog {

QString BuildDialogFilter(const QStringList &list)
{
    QString filter;
    for (qsizetype i = 0; i + 1 < list.size(); i += 2) {
        filter += list[i];
        filter += QChar(0);
        filter += list[i + 1];
        filter += QChar(0);
    }
    return filter;
}

QList<FileType> ParseDialogFilter(const QString &filterText)
{
    QList<FileType> types;
    const QStringList parts = filterText.split(QChar(0));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        types.append(FileType{parts[i], parts[i + 1]});
    }
    if (types.isEmpty())
        types.append(FileType{QString::fromLatin1(FallbackDescription), QString::fromLatin1(FallbackPattern)});
    return types;
}

QString ToNameFilter(const FileType &type)
{
    QStringList patterns = type.Pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString &pattern : patterns)
        pattern = pattern.trimmed();
    patterns.removeAll(QString());
    return type.Description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

QString DefaultSuffixFor(const FileType &type, const QString &defaultExt)
{
    QStringList suffixes;
    for (const QString &pattern : type.Pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString p = pattern.trimmed();
        // Only "*.ext" with a plain extension names one.
        if (p.startsWith(QLatin1String("*.")) && p.size() > 2 && !p.mid(2).contains(QLatin1Char('*'))
            && !p.mid(2).contains(QLatin1Char('?')))
            suffixes << p.mid(2);
    }
    if (suffixes.isEmpty() || suffixes.contains(defaultExt, Qt::CaseInsensitive))
        return defaultExt;
    return suffixes.first();
}

qint32 EffectiveFilterIndex(qint32 filterIndex, qsizetype typeCount)
{
    return filterIndex >= 1 && filterIndex <= typeCount ? filterIndex : 1;
}

qint32 FileBufferLength(qint32 flags)
{
    return (flags & FlagAllowMultiSelect) ? 4096 : 260;
}

QString ProposedFileName(const QString &fileName, qint32 flags)
{
    return fileName.left(FileBufferLength(flags));
}

QString ResultBuffer(const QStringList &files, qint32 flags)
{
    QString buffer;
    if (files.size() == 1) {
        buffer = files.first() + QChar(0);
    } else if (files.size() > 1) {
        buffer = QFileInfo(files.first()).absolutePath() + QChar(0);
        for (const QString &file : files)
            buffer += QFileInfo(file).fileName() + QChar(0);
    }
    // A path longer than the buffer is handed back whole: cutting it would name another file.
    const qint32 length = FileBufferLength(flags);
    if (buffer.size() < length)
        buffer += QString(length - buffer.size(), QChar(0));
    return buffer;
}

}
