// Other programs of the desktop run from a test while the test's own events keep flowing: the
// pointer and keyboard (xdotool), the clipboard as others see it (xclip), window state (xprop).
#pragma once

#include <QImage>
#include <QProcess>
#include <QtTest>

namespace DesktopPrograms {

// Runs a program to its end; this program's events run meanwhile, since the other side (the
// window manager, a clipboard request) may be waiting for them.
inline QByteArray Run(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted())
        return {};
    if (!input.isNull()) {
        process.write(input);
        process.closeWriteChannel();
    }
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 10000)) {
        process.kill();
        process.waitForFinished();
    }
    return process.readAllStandardOutput();
}

inline void Xdotool(const QStringList &arguments)
{
    Run(QStringLiteral("xdotool"), arguments);
}

inline void MovePointer(QPoint root)
{
    Xdotool({QStringLiteral("mousemove"), QString::number(root.x()), QString::number(root.y())});
}

// Another program takes the clipboard with a text (it keeps serving it in the background).
inline void PutTextOnClipboard(const QByteArray &text)
{
    Run(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-i")}, text);
}

inline QByteArray Clipboard(const QString &target)
{
    return Run(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
                                         target, QStringLiteral("-o")});
}

inline QStringList ClipboardTargets()
{
    return QString::fromLatin1(Clipboard(QStringLiteral("TARGETS"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

inline QImage ClipboardImage()
{
    return QImage::fromData(Clipboard(QStringLiteral("image/png")), "PNG");
}

inline bool IsAbove(WId window)
{
    return Run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window), QStringLiteral("_NET_WM_STATE")})
        .contains("_NET_WM_STATE_ABOVE");
}

}
