// Where a capture goes: the clipboard or a BMP file.
#include "capture/CaptureOutput.h"

#include "app/RuntimeError.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>

namespace CaptureOutput {

namespace {
constexpr int PathFileAccessError = 75;

[[noreturn]] void RaiseAccessError(const QString &path)
{
    RaiseError(PathFileAccessError, QStringLiteral("Path/File access error: ") + path);
}
}

void PutOnClipboard(const QImage &picture)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(picture);
}

void WriteBitmapFile(const QImage &picture, const QString &path)
{
    if (picture.isNull())
        RaiseAccessError(path);
    // A half-written file must never take the place of one the user had.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        RaiseAccessError(path);
    QImageWriter writer(&file, "bmp");
    if (!writer.write(picture)) {
        file.cancelWriting();
        RaiseAccessError(path);
    }
    if (!file.commit())
        RaiseAccessError(path);
}

}
