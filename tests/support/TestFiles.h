// Small file helpers shared by the tests.
#pragma once

#include <QtCore>

#include <unistd.h>

inline bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Permission bits do not stop root: tests that rely on them skip there.
inline bool RunningAsRoot()
{
    return ::geteuid() == 0;
}
