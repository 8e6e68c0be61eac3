// Test pictures, and how ImageMagick reads a picture file.
#pragma once

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

// Every pixel different from its neighbours, so a row or channel out of place shows; an 8-bit
// picture gets a colour table of its own, an ARGB32 one alpha that varies too.
inline QImage PatternPicture(QImage::Format format, int width, int height = 7)
{
    const bool alpha = format == QImage::Format_ARGB32;
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x * 37 % 256, y * 71 % 256, (x * 13 + y * 29) % 256, alpha ? 255 - (x + y) % 200 : 255));
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

inline QString RunProgram(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(20000);
    return QString::fromUtf8(process.readAll()).trimmed();
}

// ImageMagick's view of a file: width, height, bits per channel, class ("PseudoClass" for a
// palette), and the number of its pixels that differ from picture (alpha included); empty
// without ImageMagick.
inline QString AsImageMagickReadsIt(const QString &file, const QImage &picture)
{
    const QString identify = QStandardPaths::findExecutable(QStringLiteral("identify"));
    const QString compare = QStandardPaths::findExecutable(QStringLiteral("compare"));
    QTemporaryDir dir;
    const QString reference = dir.filePath(QStringLiteral("reference.png"));
    if (identify.isEmpty() || compare.isEmpty() || !picture.save(reference, "PNG"))
        return QString();
    return RunProgram(identify, {QStringLiteral("-format"), QStringLiteral("%w %h %z %r"), file}).section(u' ', 0, 3)
        + QStringLiteral(", differing ")
        + RunProgram(compare, {QStringLiteral("-metric"), QStringLiteral("AE"), file, reference, QStringLiteral("null:")});
}

// Pillow's view of a file: its width, height and mode, and the number of its pixels that differ
// from picture (alpha included).
inline QString AsPillowReadsIt(const QString &file, const QImage &picture)
{
    QTemporaryDir dir;
    const QString reference = dir.filePath(QStringLiteral("reference.png"));
    if (!picture.save(reference, "PNG"))
        return QString();
    const QString script = QStringLiteral(
        "import sys\n"
        "from PIL import Image\n"
        "f, r = Image.open(sys.argv[1]), Image.open(sys.argv[2])\n"
        "a, b = f.convert('RGBA').getdata(), r.convert('RGBA').getdata()\n"
        "print(f.width, f.height, f.mode, 'differing', sum(p != q for p, q in zip(a, b)) + abs(len(a) - len(b)))\n");
    return RunProgram(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, file, reference});
}
