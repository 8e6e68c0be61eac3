// A capture as the clipboard offers it.
#pragma once

#include <QImage>
#include <QMimeData>

#include <memory>

// The picture in the two formats that other programs read images from the clipboard in, PNG and
// BMP (Qt's own readers take the PNG), each encoded once on another thread: a paste then costs
// only the transfer, and the window does not freeze while it is served. Qt would offer every
// format it can write, made on the window's thread at each request: XPM alone takes many seconds.
// The PNG, which nearly every reader asks for, is begun at once; the BMP when a reader first
// asks. A paste that comes before its encoding is done is held back meanwhile (see
// StillEncoding). Once the last offer of the picture goes, the memory of its encodings goes back
// to the system.
class ClipboardPicture : public QMimeData
{
public:
    explicit ClipboardPicture(const QImage &picture);
    ~ClipboardPicture() override;

    QImage Picture() const;
    // The bytes of image/png or image/bmp, waiting for their encoding (begun here where no reader
    // has asked before); empty for other formats.
    QByteArray Encoded(const QString &mimeType) const;
    // The same picture and encodings, for another offer.
    std::unique_ptr<ClipboardPicture> Copy() const;

    QStringList formats() const override;

    // Whether a paste of the clipboard in this format (image/png, image/bmp, Qt's own image
    // format, several at once as MULTIPLE) must wait for an encoding of the picture offered last,
    // which then begins where it has not: it must not be answered from the GUI thread yet.
    // Call on the GUI thread.
    static bool StillEncoding(const QByteArray &format);
    // The bytes of the clipboard in this format (as StillEncoding names them) where this process
    // offers a picture on it and the encoding is done; null otherwise. Call on the GUI thread.
    static QByteArray ReadyOnClipboard(const QByteArray &format);

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override;

private:
    struct Encodings;
    explicit ClipboardPicture(std::shared_ptr<Encodings> encodings);
    static std::weak_ptr<Encodings> &OfferedLast();
    std::shared_ptr<Encodings> m_encodings;
};
