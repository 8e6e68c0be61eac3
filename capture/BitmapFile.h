// Windows bitmap files of captures, made in one buffer.
#pragma once

#include <QByteArray>
#include <QImage>

namespace BitmapFile {
// The picture as the bytes of a BMP file with a 40-byte info header and rows bottom-up, each padded
// to 4 bytes: an 8-bit picture with its colour table, any other picture as 24-bit BGR (a 16-bit one
// widened as Qt widens it). Empty for a null picture or one too large for the format.
QByteArray Encode(const QImage &picture);
}
