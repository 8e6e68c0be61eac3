// BMP files of captures as Qt's reader and ImageMagick read them.
#include "capture/BitmapFile.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"

#include <QtTest>
#include <QBuffer>
#include <QImageWriter>

namespace {
QByteArray QtBitmap(const QImage &picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "bmp").write(picture);
    return bytes;
}

}

class BitmapFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readBackExactly_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("identified"); // ImageMagick: width, height, bits, class
        QTest::newRow("24-bit, odd width") << int(QImage::Format_RGB32) << 37 << "37 7 8 DirectClass";
        QTest::newRow("24-bit, rows unpadded") << int(QImage::Format_RGB32) << 40 << "40 7 8 DirectClass";
        QTest::newRow("16-bit screen, odd width") << int(QImage::Format_RGB16) << 37 << "37 7 8 DirectClass";
        QTest::newRow("8-bit palette, odd width") << int(QImage::Format_Indexed8) << 37 << "37 7 8 PseudoClass";
        QTest::newRow("8-bit palette, one column") << int(QImage::Format_Indexed8) << 1 << "1 7 8 PseudoClass";
    }
    void readBackExactly()
    {
        QFETCH(int, format);
        QFETCH(int, width);
        QFETCH(QString, identified);
        const QImage picture = PatternPicture(QImage::Format(format), width);
        const QByteArray bytes = BitmapFile::Encode(picture).view().toByteArray();
        // The same headers and colour table as Qt's own writer made before (the pixels are checked
        // below: Qt leaves the padding of 8-bit rows as it finds it in memory).
        const QByteArray qt = QtBitmap(picture);
        QCOMPARE(bytes.size(), qt.size());
        const qsizetype pixelsAt = qFromLittleEndian<quint32>(qt.constData() + 10);
        QCOMPARE(bytes.left(pixelsAt), qt.left(pixelsAt));

        QImage back;
        QVERIFY(back.loadFromData(bytes, "BMP"));
        QCOMPARE(back.convertToFormat(QImage::Format_RGB32), picture.convertToFormat(QImage::Format_RGB32));

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("shot.bmp"));
        QVERIFY(WriteBytes(file, bytes));
        QCOMPARE(AsImageMagickReadsIt(file, picture.convertToFormat(QImage::Format_RGB32)), identified + ", differing 0");
    }
};

QTEST_GUILESS_MAIN(BitmapFileTest)
#include "BitmapFileTest.moc"
