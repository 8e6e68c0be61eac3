// BMP files of captures as Qt's reader and ImageMagick read them.
#include "capture/BitmapFile.h"
#include "support/TestFiles.h"

#include <QtTest>
#include <QBuffer>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
// Every pixel different from its neighbours, so a row or channel out of place shows.
QImage Pattern(QImage::Format format, int width)
{
    QImage image(width, 7, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 37 % 256, y * 71 % 256, (x * 13 + y * 29) % 256));
    if (format != QImage::Format_Indexed8)
        return image.convertToFormat(format);
    QImage indexed(image.size(), QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i)
        table << qRgb(i, 255 - i, i * 7 % 256);
    indexed.setColorTable(table);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            indexed.setPixel(x, y, uint(x * 11 + y * 3) % 256);
    return indexed;
}

QByteArray QtBitmap(const QImage &picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "bmp").write(picture);
    return bytes;
}

QString Run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(20000);
    return QString::fromUtf8(process.readAll()).trimmed();
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
        const QImage picture = Pattern(QImage::Format(format), width);
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

        const QString identify = QStandardPaths::findExecutable(QStringLiteral("identify"));
        const QString compare = QStandardPaths::findExecutable(QStringLiteral("compare"));
        QVERIFY2(!identify.isEmpty() && !compare.isEmpty(), "ImageMagick is not installed");
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("shot.bmp"));
        const QString reference = dir.filePath(QStringLiteral("reference.png"));
        QVERIFY(WriteBytes(file, bytes));
        QVERIFY(picture.save(reference, "PNG"));
        QCOMPARE(Run(identify, {QStringLiteral("-format"), QStringLiteral("%w %h %z %r"), file})
                     .section(QLatin1Char(' '), 0, 3),
                 identified);
        // The number of pixels that differ at all.
        QCOMPARE(Run(compare, {QStringLiteral("-metric"), QStringLiteral("AE"), file, reference,
                               QStringLiteral("null:")}),
                 QStringLiteral("0"));
    }
};

QTEST_GUILESS_MAIN(BitmapFileTest)
#include "BitmapFileTest.moc"
