// A capture as the clipboard offers it.
#include "capture/ClipboardPicture.h"

#include "capture/BitmapFile.h"
#include "capture/FastPng.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageWriter>
#include <QThread>
#include <QThreadPool>

#include <condition_variable>
#include <mutex>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
const QString PngType = QStringLiteral("image/png");
const QString BmpType = QStringLiteral("image/bmp");
const QString QtImageType = QStringLiteral("application/x-qt-image");

// An encoding's buffers are each as large as the picture. Once one such block has been freed, the
// allocator would keep later ones of that size in its heaps, where they stay after they are freed
// (on other threads, each in a heap of its own): the process would stay a few hundred megabytes
// larger after a capture. Blocks from 1 MiB up are mapped of their own and go back to the system
// when freed; what the heaps keep of the rest goes back once a picture leaves the clipboard.
void MapLargeBlocksApart()
{
#ifdef __GLIBC__
    static const bool set = mallopt(M_MMAP_THRESHOLD, 1 << 20) != 0;
    Q_UNUSED(set);
#endif
}

void GiveFreeMemoryBack()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

QByteArray EncodePng(const QImage &picture)
{
    // A band for every core, so that a paste right after the copy waits as little as it can; all
    // but the first on spare time, so that the window, a paste served meanwhile (the BMP's
    // encoding, the transfers) and the other programs still come first.
    QByteArray png = FastPng::Encode(picture, QThread::idealThreadCount(), FastPng::FurtherBands::OnSpareTime);
    if (!png.isEmpty())
        return png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(picture);
    return png;
}

QByteArray EncodeBmp(const QImage &picture)
{
    const BitmapFile::Bytes bytes = BitmapFile::Encode(picture);
    return bytes.view().toByteArray();
}
}

struct ClipboardPicture::Encodings
{
    struct Form
    {
        explicit Form(QByteArray (*how)(const QImage &)) : encode(how) {}
        QByteArray (*encode)(const QImage &);
        QByteArray bytes;
        bool begun = false, done = false;
    };

    QImage picture;
    int offers = 0;  // offers made of it that still exist; counted on the GUI thread
    std::mutex mutex;
    std::condition_variable finished;
    Form png{&EncodePng}, bmp{&EncodeBmp};

    ~Encodings()
    {
        png.bytes = bmp.bytes = QByteArray();
        GiveFreeMemoryBack();
    }

    // Begins the form's encoding on another thread where it has not begun. The thread holds the
    // encodings only once it runs: a picture replaced before then is never encoded, and one
    // replaced meanwhile never waits for it.
    static void Begin(const std::shared_ptr<Encodings> &e, Form Encodings::*form)
    {
        {
            std::lock_guard<std::mutex> lock(e->mutex);
            if (std::exchange(((*e).*form).begun, true))
                return;
        }
        QThreadPool::globalInstance()->start([weak = std::weak_ptr<Encodings>(e), form] {
            const std::shared_ptr<Encodings> alive = weak.lock();
            if (!alive)
                return;
            QByteArray bytes = ((*alive).*form).encode(alive->picture);
            {
                std::lock_guard<std::mutex> lock(alive->mutex);
                ((*alive).*form).bytes = std::move(bytes);
                ((*alive).*form).done = true;
            }
            alive->finished.notify_all();
        });
    }

    bool Done(Form Encodings::*form)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return (this->*form).done;
    }
};

// The picture offered last: a request that comes in before Qt has heard that the clipboard
// changed hands is answered, or refused, once the encoding it asks for is done. Used on the GUI
// thread only.
std::weak_ptr<ClipboardPicture::Encodings> &ClipboardPicture::OfferedLast()
{
    static std::weak_ptr<Encodings> offered;
    return offered;
}

ClipboardPicture::ClipboardPicture(const QImage &picture)
    : ClipboardPicture(std::make_shared<Encodings>())
{
    MapLargeBlocksApart();
    m_encodings->picture = picture;
    OfferedLast() = m_encodings;
    Encodings::Begin(m_encodings, &Encodings::png);
}

ClipboardPicture::ClipboardPicture(std::shared_ptr<Encodings> encodings)
    : m_encodings(std::move(encodings))
{
    ++m_encodings->offers;
}

ClipboardPicture::~ClipboardPicture()
{
    --m_encodings->offers;
}

QImage ClipboardPicture::Picture() const
{
    return m_encodings->picture;
}

QByteArray ClipboardPicture::Encoded(const QString &mimeType) const
{
    const auto form = mimeType == PngType ? &Encodings::png : mimeType == BmpType ? &Encodings::bmp : nullptr;
    if (!form)
        return {};
    Encodings::Begin(m_encodings, form);
    Encodings &e = *m_encodings;
    std::unique_lock<std::mutex> lock(e.mutex);
    e.finished.wait(lock, [&] { return (e.*form).done; });
    return (e.*form).bytes;
}

std::unique_ptr<ClipboardPicture> ClipboardPicture::Copy() const
{
    return std::unique_ptr<ClipboardPicture>(new ClipboardPicture(m_encodings));
}

QStringList ClipboardPicture::formats() const
{
    return {PngType, BmpType};
}

bool ClipboardPicture::StillEncoding(const QByteArray &format)
{
    const std::shared_ptr<Encodings> e = OfferedLast().lock();
    const bool png = format == "image/png" || format == "application/x-qt-image" || format == "MULTIPLE";
    const bool bmp = format == "image/bmp" || format == "MULTIPLE";
    if (!e || !(png || bmp))
        return false;
    if (bmp)
        Encodings::Begin(e, &Encodings::bmp);
    return (png && !e->Done(&Encodings::png)) || (bmp && !e->Done(&Encodings::bmp));
}

QByteArray ClipboardPicture::ReadyOnClipboard(const QByteArray &format)
{
    // Asking Qt for the clipboard's content would cost a trip to the server, which may be busy
    // serving other readers: the picture offered last is on the clipboard while it is offered
    // and this process owns the clipboard.
    const std::shared_ptr<Encodings> e = OfferedLast().lock();
    const auto form = format == "image/png" || format == "application/x-qt-image" ? &Encodings::png
                      : format == "image/bmp"                                     ? &Encodings::bmp
                                                                                  : nullptr;
    if (!form || !e || e->offers == 0 || !QGuiApplication::clipboard()->ownsClipboard())
        return {};
    std::lock_guard<std::mutex> lock(e->mutex);
    return ((*e).*form).done ? ((*e).*form).bytes : QByteArray();
}

QVariant ClipboardPicture::retrieveData(const QString &mimeType, QMetaType type) const
{
    // Qt's readers in this process take the picture itself; Qt's own image format on the
    // clipboard is PNG.
    if (mimeType == QtImageType && type.id() == QMetaType::QImage)
        return m_encodings->picture;
    const QByteArray bytes = Encoded(mimeType == QtImageType ? PngType : mimeType);
    if (!bytes.isEmpty())
        return bytes;
    return QMimeData::retrieveData(mimeType, type);
}
