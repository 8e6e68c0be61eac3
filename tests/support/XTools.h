// Other programs that tests run against an X display (a real one or Xwayland): xdotool for input,
// xclip for the clipboard as other programs see it. Nothing here links an X library.
#pragma once

#include <QtCore>
#include <QtTest>

namespace X11TestDesktop {

// Runs a program to its end; this program's events run meanwhile, since the other side (the
// window manager, a clipboard request) may be waiting for them.
inline QByteArray Run(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(program, arguments);
    if (!input.isNull())
        process.write(input), process.closeWriteChannel();
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 10000))
        process.kill(), process.waitForFinished();
    return process.readAllStandardOutput();
}

inline void Xdotool(const QStringList &arguments) { Run(QStringLiteral("xdotool"), arguments); }
// xdotool commands as one line: "keydown ctrl mouseup 1 keyup ctrl".
inline void Xdo(const QString &commands) { Xdotool(commands.split(QLatin1Char(' '))); }
inline void MoveTo(QPoint root) { Xdo(QStringLiteral("mousemove %1 %2").arg(root.x()).arg(root.y())); }

// The clipboard as another program sees it; another program taking it with a text (xclip keeps
// serving it in the background).
inline QByteArray Clipboard(const QString &target) { return Run(QStringLiteral("xclip"), {"-selection", "clipboard", "-t", target, "-o"}); }
inline QStringList ClipboardTargets() { return QString::fromLatin1(Clipboard(QStringLiteral("TARGETS"))).split(u'\n', Qt::SkipEmptyParts); }
inline void PutTextOnClipboard(const QByteArray &text) { Run(QStringLiteral("xclip"), {"-selection", "clipboard", "-i"}, text); }

}
