// Windows bitmap files of captures, made in one buffer.
#pragma once

#include <QByteArrayView>
#include <QImage>

#include <cstddef>

namespace BitmapFile {
// The bytes of a file, in memory of their own that the kernel may back with large pages: a 4K
// screen's 24 MB then take a dozen page faults instead of six thousand.
class Bytes
{
public:
    Bytes() = default;
    explicit Bytes(size_t size);
    ~Bytes();
    Bytes(Bytes &&other) noexcept;
    Bytes &operator=(Bytes &&other) noexcept;
    Bytes(const Bytes &) = delete;
    Bytes &operator=(const Bytes &) = delete;

    bool isEmpty() const { return m_size == 0; }
    uchar *data() { return m_data; }
    QByteArrayView view() const { return QByteArrayView(m_data, qsizetype(m_size)); }

private:
    void *m_mapping = nullptr;
    size_t m_mappingSize = 0;
    uchar *m_data = nullptr;
    size_t m_size = 0;
};

// The picture as the bytes of a BMP file with a 40-byte info header and rows bottom-up, each padded
// to 4 bytes: an 8-bit picture with its colour table, any other picture as 24-bit BGR (a 16-bit one
// widened as Qt widens it). Empty for a null picture, one too large for the format, or when the
// memory cannot be had.
Bytes Encode(const QImage &picture);
}
