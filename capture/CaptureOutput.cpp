// Where a capture goes: the clipboard or a BMP file.
#include "capture/CaptureOutput.h"

#include "base/FileReplace.h"
#include "base/ErrorTexts.h"
#include "capture/ClipboardPicture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImageWriter>
#include <QBuffer>

namespace CaptureOutput {

namespace {
[[noreturn]] void RaiseAccessError(const QString &path)
{
    RaiseError(ErrorKind::FileNotWritten, path);
}
}

void PutOnClipboard(const QImage &picture)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setMimeData(new ClipboardPicture(picture));
}

void WriteBitmapFile(const QImage &picture, const QString &path)
{
    if (picture.isNull())
        RaiseAccessError(path);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(picture))
        RaiseAccessError(path);
    // A half-written file must never take the place of one the user had.
    if (!FileReplace::Replace(path, bytes))
        RaiseAccessError(path);
}

}
