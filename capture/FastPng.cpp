// PNG for the clipboard and for files: a fast compression level, written in bands on several
// threads at once.
#include "capture/FastPng.h"

#include "base/SpareTime.h"

#include <QtEndian>

#include <thread>
#include <vector>
#include <zlib.h>

namespace FastPng {

namespace {
// A band ends on a byte boundary (a sync flush), so the bands' deflate streams joined one after
// the other are one zlib stream; their checksums combine without reading the data again.
struct Band
{
    int top = 0;
    int rows = 0;
    QByteArray chunk;  // one whole IDAT chunk
    uLong adler = 1;
    uLong length = 0;
    bool ok = false;
};

void AppendBigEndian(QByteArray &out, quint32 value)
{
    const quint32 be = qToBigEndian(value);
    out.append(reinterpret_cast<const char *>(&be), 4);
}

// length, type, data, CRC of type and data
void AppendChunk(QByteArray &out, const char *type, const QByteArray &data)
{
    AppendBigEndian(out, quint32(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4).append(data);
    AppendBigEndian(out, quint32(crc32(0, reinterpret_cast<const Bytef *>(out.constData() + start),
                                       uInt(out.size() - start))));
}

void EncodeBand(const QImage &rgb, Band &band, bool first, bool last)
{
    // Every row is filtered with "Up" (minus the row above): one subtraction per byte, and it
    // serves photos as well as flat screen contents.
    const int rowBytes = rgb.width() * (rgb.depth() / 8);
    std::vector<Bytef> filtered(size_t(band.rows) * size_t(rowBytes + 1));
    Bytef *out = filtered.data();
    for (int y = band.top; y < band.top + band.rows; ++y) {
        const uchar *row = rgb.constScanLine(y);
        const uchar *above = y > 0 ? rgb.constScanLine(y - 1) : nullptr;
        *out++ = 2;
        for (int i = 0; i < rowBytes; ++i)
            *out++ = Bytef(row[i] - (above ? above[i] : 0));
    }
    band.length = uLong(filtered.size());
    band.adler = adler32(1, filtered.data(), uInt(band.length));

    z_stream stream{};
    if (deflateInit2(&stream, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return;
    const qsizetype header = first ? 2 : 0;
    QByteArray data(header + qsizetype(deflateBound(&stream, band.length)) + 16, Qt::Uninitialized);
    if (first) {
        data[0] = char(0x78);  // deflate, 32 KiB window
        data[1] = char(0x01);  // fastest level, header check
    }
    stream.next_in = filtered.data();
    stream.avail_in = uInt(band.length);
    stream.next_out = reinterpret_cast<Bytef *>(data.data() + header);
    stream.avail_out = uInt(data.size() - header);
    const int result = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
    band.ok = (last ? result == Z_STREAM_END : result == Z_OK) && stream.avail_in == 0;
    data.truncate(data.size() - qsizetype(stream.avail_out));
    deflateEnd(&stream);
    AppendChunk(band.chunk, "IDAT", data);
}
}

QByteArray Encode(const QImage &picture, int bands, FurtherBands further)
{
    if (picture.isNull())
        return {};
    // A palette picture stays one, with its colour table; every other one becomes 8-bit RGB(A).
    const bool indexed = picture.format() == QImage::Format_Indexed8 && picture.colorCount() > 0
        && picture.colorCount() <= 256;
    const bool alpha = !indexed && picture.hasAlphaChannel();
    const QImage rgb = indexed ? picture
                               : picture.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    // Bands of fewer than 64 rows would cost more in flushes than they save in time.
    std::vector<Band> parts(size_t(qBound(1, qMin(bands, rgb.height() / 64), 64)));
    for (size_t i = 0; i < parts.size(); ++i) {
        parts[i].top = int(qsizetype(rgb.height()) * qsizetype(i) / qsizetype(parts.size()));
        parts[i].rows = int(qsizetype(rgb.height()) * qsizetype(i + 1) / qsizetype(parts.size())) - parts[i].top;
    }
    std::vector<std::thread> workers;
    for (size_t i = 1; i < parts.size(); ++i)
        workers.emplace_back([&rgb, &band = parts[i], last = i + 1 == parts.size(), further] {
            if (further == FurtherBands::OnSpareTime)
                SpareTime::LowerThisThread();
            EncodeBand(rgb, band, false, last);
        });
    EncodeBand(rgb, parts[0], true, parts.size() == 1);
    for (std::thread &worker : workers)
        worker.join();

    QByteArray header;
    AppendBigEndian(header, quint32(rgb.width()));
    AppendBigEndian(header, quint32(rgb.height()));
    const char colourType = indexed ? 3 : alpha ? 6 : 2;
    header.append(char(8)).append(colourType).append(3, char(0));  // 8 bits, no interlace
    QByteArray palette;
    for (int i = 0; indexed && i < rgb.colorCount(); ++i) {
        const QRgb c = rgb.color(i);
        palette.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }

    qsizetype size = 8 + 25 + 16 + 12 + (indexed ? 12 + palette.size() : 0);
    uLong adler = parts[0].adler;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!parts[i].ok)
            return {};
        if (i > 0)
            adler = adler32_combine(adler, parts[i].adler, z_off_t(parts[i].length));
        size += parts[i].chunk.size();
    }
    QByteArray png;
    png.reserve(size);
    png.append("\x89PNG\r\n\x1a\n", 8);
    AppendChunk(png, "IHDR", header);
    if (indexed)
        AppendChunk(png, "PLTE", palette);
    for (const Band &band : parts)
        png.append(band.chunk);
    QByteArray checksum;
    AppendBigEndian(checksum, quint32(adler));
    AppendChunk(png, "IDAT", checksum);  // the zlib stream's trailer closes the image data
    AppendChunk(png, "IEND", {});
    return png;
}

}
