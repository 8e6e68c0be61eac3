// PNG for the clipboard and for files: a fast compression level, written in bands on several
// threads at once.
#pragma once

#include <QByteArray>
#include <QImage>

namespace FastPng {
// The picture as an 8-bit RGB PNG (RGBA where it has an alpha channel, a palette PNG with its colour
// table for an 8-bit palette picture), compressed with zlib's level 1 in up to
// `bands` horizontal bands side by side; an empty array when it cannot be encoded. The first band
// is compressed on the calling thread, each further one on a thread of its own: with `OnSpareTime`
// those run only where the processor has time to spare, giving way to the window and to whatever
// else the program and the desktop are doing.
enum class FurtherBands { AtOnce, OnSpareTime };
QByteArray Encode(const QImage &picture, int bands, FurtherBands further = FurtherBands::AtOnce);
}
