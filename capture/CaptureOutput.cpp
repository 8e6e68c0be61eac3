// Where a capture goes: the clipboard or a BMP file.
#include "capture/CaptureOutput.h"

#include "base/FileReplace.h"
#include "base/RuntimeError.h"
#include "capture/BitmapFile.h"

#include <QClipboard>
#include <QGuiApplication>

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
    const BitmapFile::Bytes bytes = BitmapFile::Encode(picture);
    if (bytes.isEmpty())
        RaiseAccessError(path);
    // A half-written file must never take the place of one the user had.
    if (!FileReplace::Replace(path, bytes.view()))
        RaiseAccessError(path);
}

}
