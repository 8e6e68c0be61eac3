// Windows bitmap files of captures, made in one buffer.
#include "capture/BitmapFile.h"

#include <QtEndian>

#include <sys/mman.h>

#include <cstring>
#include <limits>
#include <utility>

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

constexpr size_t LargePage = size_t(2) << 20;

// B, G, R, X bytes (0xXXRRGGBB in little-endian memory) to B, G, R; the alpha byte is dropped as
// Qt's writer drops it. Each pixel goes as one 4-byte store whose last byte the next pixel
// overwrites, a third fewer memory operations than byte by byte; the row's last pixel goes byte by
// byte so that nothing is written past the row.
void Rgb32Row(const uchar *from, uchar *to, int width)
{
    int x = 0;
    for (; x + 1 < width; ++x, from += 4, to += 3)
        std::memcpy(to, from, 4);
    if (x < width) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
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

Bytes::Bytes(size_t size)
{
    // Large pages want 2 MB boundaries: map a little more and give the ends back.
    const size_t rounded = (size + LargePage - 1) / LargePage * LargePage;
    void *mapping = ::mmap(nullptr, rounded + LargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED)
        return;
    auto *start = static_cast<uchar *>(mapping);
    auto *aligned = reinterpret_cast<uchar *>((reinterpret_cast<quintptr>(start) + LargePage - 1) & ~quintptr(LargePage - 1));
    if (aligned > start)
        ::munmap(start, size_t(aligned - start));
    const size_t tail = size_t(start + rounded + LargePage - (aligned + rounded));
    if (tail)
        ::munmap(aligned + rounded, tail);
    ::madvise(aligned, rounded, MADV_HUGEPAGE);
    m_mapping = aligned;
    m_mappingSize = rounded;
    m_data = aligned;
    m_size = size;
}

Bytes::~Bytes()
{
    if (m_mapping)
        ::munmap(m_mapping, m_mappingSize);
}

Bytes::Bytes(Bytes &&other) noexcept
    : m_mapping(std::exchange(other.m_mapping, nullptr)), m_mappingSize(std::exchange(other.m_mappingSize, 0)),
      m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0))
{
}

Bytes &Bytes::operator=(Bytes &&other) noexcept
{
    std::swap(m_mapping, other.m_mapping);
    std::swap(m_mappingSize, other.m_mappingSize);
    std::swap(m_data, other.m_data);
    std::swap(m_size, other.m_size);
    return *this;
}

Bytes Encode(const QImage &picture)
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

    Bytes bytes(size_t(offset + pixelBytes));
    if (bytes.isEmpty())
        return bytes;
    uchar *out = bytes.data();
    out[0] = 'B';
    out[1] = 'M';
    Put32(out + 2, quint32(offset + pixelBytes));
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
