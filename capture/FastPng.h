// PNG for the clipboard and for files: a fast compression level, written in bands on several
// threads at once.
#pragma once

#include <QByteArray>
#include <QImage>

namespace FastPng {
// The picture as an 8-bit RGB PNG (RGBA where it has an alpha channel, a palette PNG with its colour
// table for an 8-bit palette picture), compressed with zlib's level 1 in up to
// `bands` horizontal bands side by side; an empty array when it cannot be encoded.
QByteArray Encode(const QImage &picture, int bands);
}
