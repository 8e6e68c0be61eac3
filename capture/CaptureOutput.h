// Where a capture goes: the clipboard or a BMP file.
#pragma once

#include <QImage>
#include <QString>

namespace CaptureOutput {
// Empties the clipboard, then offers the picture on it as an image (see ClipboardPicture).
void PutOnClipboard(const QImage &picture);

// Writes the picture as a Windows bitmap file at its own depth (an 8-bit picture with its colour
// table). An existing file is replaced only once the new one is complete; a picture that cannot
// be written raises error 75 and leaves the old file as it was.
void WriteBitmapFile(const QImage &picture, const QString &path);
}
