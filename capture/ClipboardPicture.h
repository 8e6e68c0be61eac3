// A capture as the clipboard offers it.
#pragma once

#include <QImage>
#include <QMimeData>

#include <memory>

// The picture as an image, which Qt offers in every format it can write, with the two formats
// other programs ask for, PNG and BMP, encoded once on another thread as soon as it is made, the
// quick BMP first: a paste then costs only the transfer, and the window does not freeze while it
// is served. A paste that comes before its encoding is done is held back meanwhile (see
// StillEncoding).
class ClipboardPicture : public QMimeData
{
public:
    explicit ClipboardPicture(const QImage &picture);
    ~ClipboardPicture() override;

    QImage Picture() const;
    // The bytes of image/png or image/bmp, waiting for their encoding where it is still running;
    // empty for other formats.
    QByteArray Encoded(const QString &mimeType) const;
    // The same picture and encodings, for another offer.
    std::unique_ptr<ClipboardPicture> Copy() const;

    // Whether a paste of the clipboard in this format (image/png, image/bmp, Qt's own image
    // format, several at once as MULTIPLE) may wait for an encoding still running, of the picture
    // on the clipboard or of one just replaced: it must then not be answered from the GUI thread yet.
    static bool StillEncoding(const QByteArray &format);

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override;

private:
    struct Encodings;
    explicit ClipboardPicture(std::shared_ptr<Encodings> encodings);
    std::shared_ptr<Encodings> m_encodings;
};
