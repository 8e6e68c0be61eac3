// A window's _NET_WM_STATE as the window manager has set it, read with xprop.
#pragma once

#include <QProcess>
#include <QString>
#include <QWindow>

inline QString NetWmState(WId window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window), QStringLiteral("_NET_WM_STATE")});
    xprop.waitForFinished();
    return QString::fromLocal8Bit(xprop.readAllStandardOutput());
}

inline bool IsAbove(WId window)
{
    return NetWmState(window).contains(QStringLiteral("_NET_WM_STATE_ABOVE"));
}
