// A capture as the clipboard offers it.
#include "capture/ClipboardPicture.h"

#include "capture/FastPng.h"

#include <QBuffer>
#include <QImageWriter>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {
// Encodings still running, of any picture: one on the clipboard cannot be among those done, even
// where the clipboard changed hands a moment ago and Qt has not heard of it yet.
std::atomic<int> pngRunning{0}, bmpRunning{0};
}

struct ClipboardPicture::Encodings
{
    QImage picture;
    std::mutex mutex;
    std::condition_variable finished;
    QByteArray png, bmp;
    bool pngDone = false, bmpDone = false;

    void Finish(QByteArray *target, bool *done, std::atomic<int> &running, QByteArray bytes)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            *target = std::move(bytes);
            *done = true;
        }
        --running;
        finished.notify_all();
    }
};

namespace {
QByteArray EncodeWithQt(const QImage &picture, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(picture);
    return bytes;
}
}

ClipboardPicture::ClipboardPicture(const QImage &picture)
    : ClipboardPicture(std::make_shared<Encodings>())
{
    m_encodings->picture = picture;
    setImageData(picture);
    // The thread keeps the encodings alive, so a picture replaced early never waits for it. The BMP
    // takes a few milliseconds alone but many times that beside other work: it goes first. The
    // PNG's bands leave one core free, for the window and for serving a paste that comes meanwhile.
    std::shared_ptr<Encodings> e = m_encodings;
    ++pngRunning;
    ++bmpRunning;
    QThreadPool::globalInstance()->start([e] {
        e->Finish(&e->bmp, &e->bmpDone, bmpRunning, EncodeWithQt(e->picture, "bmp"));
        QByteArray png = FastPng::Encode(e->picture, qMax(1, QThread::idealThreadCount() - 1));
        e->Finish(&e->png, &e->pngDone, pngRunning, png.isEmpty() ? EncodeWithQt(e->picture, "png") : std::move(png));
    });
}

ClipboardPicture::ClipboardPicture(std::shared_ptr<Encodings> encodings)
    : m_encodings(std::move(encodings))
{
    if (!m_encodings->picture.isNull())
        setImageData(m_encodings->picture);
}

ClipboardPicture::~ClipboardPicture() = default;

QImage ClipboardPicture::Picture() const
{
    return m_encodings->picture;
}

QByteArray ClipboardPicture::Encoded(const QString &mimeType) const
{
    Encodings &e = *m_encodings;
    const bool png = mimeType == QLatin1String("image/png");
    if (!png && mimeType != QLatin1String("image/bmp"))
        return {};
    std::unique_lock<std::mutex> lock(e.mutex);
    e.finished.wait(lock, [&] { return png ? e.pngDone : e.bmpDone; });
    return png ? e.png : e.bmp;
}

std::unique_ptr<ClipboardPicture> ClipboardPicture::Copy() const
{
    return std::unique_ptr<ClipboardPicture>(new ClipboardPicture(m_encodings));
}

bool ClipboardPicture::StillEncoding(const QByteArray &format)
{
    if (format == "image/png" || format == "application/x-qt-image")
        return pngRunning > 0;
    if (format == "image/bmp")
        return bmpRunning > 0;
    return format == "MULTIPLE" && (pngRunning > 0 || bmpRunning > 0);
}

QVariant ClipboardPicture::retrieveData(const QString &mimeType, QMetaType type) const
{
    if (type.id() == QMetaType::QByteArray) {
        // Qt's own image format on the clipboard is PNG.
        const QByteArray bytes =
            Encoded(mimeType == QLatin1String("application/x-qt-image") ? QStringLiteral("image/png") : mimeType);
        if (!bytes.isEmpty())
            return bytes;
    }
    return QMimeData::retrieveData(mimeType, type);
}
