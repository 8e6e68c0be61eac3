// Where a capture goes: the clipboard, a BMP file or a PNG file.
#pragma once

#include <QImage>
#include <QString>

namespace CaptureOutput {
// Empties the clipboard, then offers the picture on it as an image (see ClipboardPicture).
void PutOnClipboard(const QImage &picture);

// The file types a capture is saved as.
enum class FileType { Bitmap, Png };

// What a file is written as: the extension of its name decides (".bmp" or ".png", in any case);
// a name with any other extension, or none, is written as the type chosen in the dialog.
FileType FileTypeFor(const QString &path, FileType chosen);

// Writes the picture as a file of that type, as the functions below do.
void WriteCaptureFile(const QImage &picture, const QString &path, FileType type);

// Writes the picture as a Windows bitmap file at its own depth (an 8-bit picture with its colour
// table). An existing file is replaced only once the new one is complete; a picture that cannot
// be written raises error 75 and leaves the old file as it was.
void WriteBitmapFile(const QImage &picture, const QString &path);

// Writes the picture as a lossless PNG file at its own depth (8-bit RGB, RGBA with an alpha
// channel, a palette PNG for an 8-bit palette picture), replaced and failing as a bitmap file.
void WritePngFile(const QImage &picture, const QString &path);
}
