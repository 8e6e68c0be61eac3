// Where a capture goes: the clipboard, a BMP file or a PNG file.
#include "capture/CaptureOutput.h"

#include "base/FileReplace.h"
#include "base/ErrorTexts.h"
#include "capture/BitmapFile.h"
#include "capture/ClipboardPicture.h"
#include "capture/FastPng.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QThread>

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

FileType FileTypeFor(const QString &path, FileType chosen)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("bmp"), Qt::CaseInsensitive) == 0)
        return FileType::Bitmap;
    if (suffix.compare(QLatin1String("png"), Qt::CaseInsensitive) == 0)
        return FileType::Png;
    return chosen;
}

void WriteCaptureFile(const QImage &picture, const QString &path, FileType type)
{
    if (type == FileType::Png)
        WritePngFile(picture, path);
    else
        WriteBitmapFile(picture, path);
}

namespace {
// A half-written file must never take the place of one the user had.
void ReplaceFile(const QString &path, QByteArrayView bytes)
{
    if (bytes.isEmpty() || !FileReplace::Replace(path, bytes))
        RaiseAccessError(path);
}
}

void WriteBitmapFile(const QImage &picture, const QString &path)
{
    if (picture.isNull())
        RaiseAccessError(path);
    ReplaceFile(path, BitmapFile::Encode(picture).view());
}

void WritePngFile(const QImage &picture, const QString &path)
{
    if (picture.isNull())
        RaiseAccessError(path);
    // The window waits for the file in any case: every core compresses a band of it.
    ReplaceFile(path, FastPng::Encode(picture, QThread::idealThreadCount()));
}

}
