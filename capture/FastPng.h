// PNG for the clipboard: a fast compression level, written in bands on several threads at once.
#pragma once

#include <QByteArray>
#include <QImage>

namespace FastPng {
// The picture as an 8-bit RGB PNG (RGBA where it has an alpha channel), compressed in up to
// `bands` horizontal bands side by side; an empty array when it cannot be encoded.
QByteArray Encode(const QImage &picture, int bands);
}
