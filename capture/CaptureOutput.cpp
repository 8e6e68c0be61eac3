// Where a capture goes: the clipboard or a BMP file.
#include "capture/CaptureOutput.h"

#include "base/FileReplace.h"
#include "base/ErrorTexts.h"
#include "capture/BitmapFile.h"
#include "capture/ClipboardPicture.h"

#include <QClipboard>
#include <QGuiApplication>

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
    const BitmapFile::Bytes bytes = BitmapFile::Encode(picture);
    if (bytes.isEmpty())
        RaiseAccessError(path);
    // A half-written file must never take the place of one the user had.
    if (!FileReplace::Replace(path, bytes.view()))
        RaiseAccessError(path);
}

}
