// Other programs that tests on sway run: grim for the compositor's own picture, swaymsg for its
// commands, wl-paste for the clipboard as Wayland programs read it.
#pragma once

#include "support/XTools.h"

#include <QImage>
#include <QProcess>
#include <QString>

namespace SwayTools {

// The whole layout as grim copies it, in the outputs' device pixels; null where grim fails.
inline QImage Grim()
{
    QProcess grim;
    grim.start(QStringLiteral("grim"), {QStringLiteral("-t"), QStringLiteral("ppm"), QStringLiteral("-")});
    if (!grim.waitForFinished(10000) || grim.exitCode() != 0)
        return {};
    return QImage::fromData(grim.readAllStandardOutput(), "PPM").convertToFormat(QImage::Format_RGB32);
}

// Runs a sway command ("[title=...] floating enable"); true when sway carried it out.
inline bool Swaymsg(const QString &command)
{
    QProcess swaymsg;
    swaymsg.start(QStringLiteral("swaymsg"), {command});
    return swaymsg.waitForFinished(10000) && swaymsg.exitCode() == 0;
}

// The clipboard's content of a type, as another program reads it; this program's events run
// meanwhile, since it may be the one to answer.
inline QByteArray Clipboard(const QString &type)
{
    return X11TestDesktop::Run(QStringLiteral("wl-paste"), {QStringLiteral("--no-newline"), QStringLiteral("--type"), type});
}
inline QStringList ClipboardTypes()
{
    return QString::fromUtf8(X11TestDesktop::Run(QStringLiteral("wl-paste"), {QStringLiteral("--list-types")})).split(u'\n', Qt::SkipEmptyParts);
}

}
