// Windows bitmap files of captures, made in one buffer.
#include "capture/BitmapFile.h"

#include <QtEndian>

#include <cstring>
#include <limits>

namespace BitmapFile {

namespace {
constexpr qsizetype FileHeaderSize = 14;
constexpr qsizetype InfoHeaderSize = 40;

void Put16(uchar *at, quint16 value)
{
    qToLittleEndian(value, at);
}

void Put32(uchar *at, quint32 value)
{
    qToLittleEndian(value, at);
}

// 0xXXRRGGBB pixels to B, G, R bytes. Four pixels go as three 32-bit words, so the loop writes
// whole words instead of single bytes; the alpha byte is dropped as Qt's writer drops it.
void Rgb32Row(const uchar *from, uchar *to, int width)
{
    const auto *p = reinterpret_cast<const quint32 *>(from);
    int x = 0;
    for (; x + 4 <= width; x += 4, p += 4, to += 12) {
        const quint32 words[3] = {(p[0] & 0xffffffu) | (p[1] << 24), ((p[1] >> 8) & 0xffffu) | (p[2] << 16),
                                  ((p[2] >> 16) & 0xffu) | (p[3] << 8)};
        std::memcpy(to, words, sizeof words);
    }
    for (; x < width; ++x, ++p) {
        *to++ = uchar(*p);
        *to++ = uchar(*p >> 8);
        *to++ = uchar(*p >> 16);
    }
}

// RGB565 widened to 8 bits a channel by repeating the top bits, as Qt converts it.
void Rgb16Row(const uchar *from, uchar *to, int width)
{
    const auto *p = reinterpret_cast<const quint16 *>(from);
    for (int x = 0; x < width; ++x) {
        const uint c = p[x];
        const uint r = (c >> 11) & 0x1f, g = (c >> 5) & 0x3f, b = c & 0x1f;
        *to++ = uchar((b << 3) | (b >> 2));
        *to++ = uchar((g << 2) | (g >> 4));
        *to++ = uchar((r << 3) | (r >> 2));
    }
}

void Indexed8Row(const uchar *from, uchar *to, int width)
{
    std::memcpy(to, from, size_t(width));
}
}

QByteArray Encode(const QImage &picture)
{
    if (picture.isNull())
        return {};
    const bool indexed = picture.format() == QImage::Format_Indexed8 && picture.colorCount() > 0;
    QImage converted;
    const QImage *source = &picture;
    void (*convertRow)(const uchar *, uchar *, int) = &Rgb32Row;
    if (indexed) {
        convertRow = &Indexed8Row;
    } else if (picture.format() == QImage::Format_RGB16) {
        convertRow = &Rgb16Row;
    } else if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32) {
        // Rare formats through Qt's conversion, with the same result as its writer.
        converted = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (converted.isNull())
            return {};
        source = &converted;
    }

    const int width = source->width();
    const int height = source->height();
    const int bitsPerPixel = indexed ? 8 : 24;
    const int colours = indexed ? int(source->colorCount()) : 0;
    const qint64 rowBytes = (qint64(width) * bitsPerPixel + 31) / 32 * 4;
    const qint64 offset = FileHeaderSize + InfoHeaderSize + 4 * colours;
    const qint64 pixelBytes = rowBytes * height;
    // The header's sizes are 32-bit.
    if (offset + pixelBytes > std::numeric_limits<qint32>::max())
        return {};

    QByteArray bytes(qsizetype(offset + pixelBytes), Qt::Uninitialized);
    auto *out = reinterpret_cast<uchar *>(bytes.data());
    out[0] = 'B';
    out[1] = 'M';
    Put32(out + 2, quint32(bytes.size()));
    Put32(out + 6, 0);
    Put32(out + 10, quint32(offset));
    uchar *info = out + FileHeaderSize;
    Put32(info, quint32(InfoHeaderSize));
    Put32(info + 4, quint32(width));
    Put32(info + 8, quint32(height)); // positive: rows bottom-up
    Put16(info + 12, 1);
    Put16(info + 14, quint16(bitsPerPixel));
    Put32(info + 16, 0); // no compression
    Put32(info + 20, quint32(pixelBytes));
    Put32(info + 24, quint32(source->dotsPerMeterX()));
    Put32(info + 28, quint32(source->dotsPerMeterY()));
    Put32(info + 32, quint32(colours));
    Put32(info + 36, quint32(colours));
    uchar *table = info + InfoHeaderSize;
    for (int i = 0; i < colours; ++i, table += 4) {
        const QRgb c = source->color(i);
        table[0] = uchar(qBlue(c));
        table[1] = uchar(qGreen(c));
        table[2] = uchar(qRed(c));
        table[3] = 0;
    }

    // Straight from the picture's rows into the file's, with no picture-sized copy in between.
    const qint64 used = indexed ? width : qint64(width) * 3;
    uchar *row = out + offset;
    for (int y = height - 1; y >= 0; --y, row += rowBytes) {
        convertRow(source->constScanLine(y), row, width);
        std::memset(row + used, 0, size_t(rowBytes - used));
    }
    return bytes;
}

}
