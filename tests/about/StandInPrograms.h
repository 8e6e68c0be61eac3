// Stand-in programs in a temporary folder that is the whole PATH while the object lives.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

class StandInPrograms
{
public:
    StandInPrograms() : m_oldPath(qgetenv("PATH")) { qputenv("PATH", m_bin.path().toLocal8Bit()); }
    ~StandInPrograms() { qputenv("PATH", m_oldPath); }

    // A script that leaves a file named "started-" + name in the marker folder when it runs.
    // interpreter lets a row make the start itself fail.
    void Add(const QString &name, bool executable = true, const QString &interpreter = QStringLiteral("/bin/sh"))
    {
        QFile file(m_bin.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file.fileName()));
        file.write("#!" + interpreter.toLocal8Bit() + "\necho started > '" + Marker(name).toLocal8Bit() + "'\n");
        file.close();
        QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
        if (executable)
            permissions |= QFile::ExeOwner;
        file.setPermissions(permissions);
    }

    QString Marker(const QString &name) const { return m_markers.filePath(QStringLiteral("started-") + name); }
    QStringList Started() const
    {
        QStringList names = QDir(m_markers.path()).entryList({QStringLiteral("started-*")}, QDir::Files, QDir::Name);
        for (QString &n : names)
            n.remove(0, int(qstrlen("started-")));
        return names;
    }

private:
    QTemporaryDir m_bin;
    QTemporaryDir m_markers;
    QByteArray m_oldPath;
};
