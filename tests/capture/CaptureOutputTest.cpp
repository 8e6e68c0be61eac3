// Captures delivered to a BMP file and to the clipboard as other programs see it.
#include "base/RuntimeError.h"
#include "capture/CaptureOutput.h"
#include "support/TestFiles.h"

#include <QtTest>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>

namespace {
QImage Pattern(QImage::Format format)
{
    QImage image(37, 11, QImage::Format_RGB32); // odd width: BMP rows are padded
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 23 % 256, (x * y) % 256));
    if (format == QImage::Format_Indexed8) {
        QImage indexed(image.size(), QImage::Format_Indexed8);
        QList<QRgb> table;
        for (int i = 0; i < 256; ++i)
            table << qRgb(i, 255 - i, (i * 3) % 256);
        indexed.setColorTable(table);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                indexed.setPixel(x, y, uint((x + 5 * y) % 256));
        return indexed;
    }
    return image;
}

bool SamePixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xffffff) != (b.pixel(x, y) & 0xffffff))
                return false;
    return true;
}
}

class CaptureOutputTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void bitmapFileHoldsTheExactPixels_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("bitsPerPixel");
        QTest::newRow("true colour") << int(QImage::Format_RGB32) << 24;
        QTest::newRow("256 colours with their table") << int(QImage::Format_Indexed8) << 8;
    }
    void bitmapFileHoldsTheExactPixels()
    {
        QFETCH(int, format);
        QFETCH(int, bitsPerPixel);
        const QImage picture = Pattern(QImage::Format(format));
        const QString path = m_dir.filePath(QStringLiteral("shot%1.bmp").arg(format));
        CaptureOutput::WriteBitmapFile(picture, path);

        const QByteArray bytes = ReadBytes(path);
        QVERIFY(bytes.startsWith("BM"));
        QCOMPARE(int(uchar(bytes.at(28))), bitsPerPixel);
        QImage back;
        QVERIFY(back.loadFromData(bytes, "BMP"));
        QVERIFY(SamePixels(back, picture));
    }

    void existingFileIsReplaced()
    {
        const QString path = m_dir.filePath(QStringLiteral("replace.bmp"));
        CaptureOutput::WriteBitmapFile(Pattern(QImage::Format_Indexed8), path);
        const QImage second = Pattern(QImage::Format_RGB32).mirrored();
        CaptureOutput::WriteBitmapFile(second, path);
        QVERIFY(SamePixels(QImage(path), second));
    }

    // Nothing written is reported as error 75, and what was there stays.
    void unwritablePlacesRaiseAndKeepTheOldFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("emptyPicture");
        QTest::newRow("folder that does not exist") << QStringLiteral("missing/shot.bmp") << false;
        QTest::newRow("empty picture over an existing file") << QStringLiteral("kept.bmp") << true;
    }
    void unwritablePlacesRaiseAndKeepTheOldFile()
    {
        QFETCH(QString, path);
        QFETCH(bool, emptyPicture);
        const QString full = m_dir.filePath(path);
        if (emptyPicture)
            CaptureOutput::WriteBitmapFile(Pattern(QImage::Format_RGB32), full);
        const QByteArray before = ReadBytes(full);
        try {
            CaptureOutput::WriteBitmapFile(emptyPicture ? QImage() : Pattern(QImage::Format_RGB32), full);
            QFAIL("no error raised");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), 75);
            QVERIFY(e.description().contains(full));
        }
        if (emptyPicture)
            QCOMPARE(ReadBytes(full), before);
    }

    // Another program reads the picture back from the clipboard, and what was there is gone.
    void clipboardHoldsOnlyThePicture()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
        const QImage picture = Pattern(QImage::Format_RGB32);
        CaptureOutput::PutOnClipboard(picture);
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data->hasImage());
        QVERIFY(!data->hasText());

        QProcess xclip;
        xclip.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                               QStringLiteral("-t"), QStringLiteral("image/png"), QStringLiteral("-o")});
        // The clipboard is served by this process: keep its event loop running while xclip reads.
        QTRY_VERIFY_WITH_TIMEOUT(xclip.state() == QProcess::NotRunning, 10000);
        QImage read;
        QVERIFY(read.loadFromData(xclip.readAllStandardOutput(), "PNG"));
        QVERIFY(SamePixels(read, picture));
    }
};

QTEST_MAIN(CaptureOutputTest)
#include "CaptureOutputTest.moc"
