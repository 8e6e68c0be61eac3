// Starts the desktop's system information program, if one is installed.
#pragma once

#include <QString>
#include <QStringList>

namespace SysInfoLauncher {
// Program names to look for on the PATH, most informative first.
QStringList Candidates();
// The full path of the first candidate found on the PATH, or an empty text.
QString FindProgram(const QStringList &candidates = Candidates());
// Starts the first candidate found, detached from this process. False when none is found or it
// cannot be started; nothing is reported either way.
bool Start(const QStringList &candidates = Candidates());
}
