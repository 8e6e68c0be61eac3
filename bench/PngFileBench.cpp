// PNG file benchmark: a 3840 x 2160 photo-like capture written into a PNG file (encoded, written,
// synced, renamed into place) against its floor, the project's PNG encoding of the same picture
// alone, in the same run. Run alone or through run-all.sh:
//   build/bench/bench_png_file [FOLDER]
// The files go to FOLDER (default: the current folder), which should be on a real disk.
#include "capture/CaptureOutput.h"
#include "capture/FastPng.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

namespace {
constexpr int Rounds = 7;

// Soft light and shade under a sensor's grain, in the format a screen copy comes in.
QImage Photo()
{
    QImage image(3840, 2160, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(image.rect(), QColor(70, 90, 120));
    QRandomGenerator random(11);
    for (int i = 0; i < 40; ++i) {
        const QPointF centre(random.bounded(3840), random.bounded(2160));
        QRadialGradient light(centre, 200 + random.bounded(900));
        light.setColorAt(0, QColor::fromHsv(random.bounded(360), 80 + random.bounded(150), 120 + random.bounded(135), 200));
        light.setColorAt(1, Qt::transparent);
        p.fillRect(image.rect(), light);
    }
    p.end();
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grain = int(random.bounded(9)) - 4;
            const QRgb c = line[x];
            line[x] = qRgb(qBound(0, qRed(c) + grain, 255), qBound(0, qGreen(c) + grain, 255),
                           qBound(0, qBlue(c) + grain, 255));
        }
    }
    return image;
}

double MedianMs(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
}

int main(int argc, char **argv)
{
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir dir(QDir(folder).filePath(QStringLiteral("bench-png-XXXXXX")));
    if (!dir.isValid()) {
        std::fprintf(stderr, "bench_png_file: cannot write into %s\n", qPrintable(folder));
        return 1;
    }
    const QImage picture = Photo();
    const QString path = dir.filePath(QStringLiteral("shot.png"));
    const int bands = QThread::idealThreadCount();
    std::vector<double> file, floor, cpu;
    qint64 bytes = 0;
    for (int round = 0; round < Rounds; ++round) {
        QElapsedTimer t;
        t.start();
        bytes = FastPng::Encode(picture, bands).size();
        floor.push_back(double(t.nsecsElapsed()) / 1e6);
        const std::clock_t cpuStart = std::clock();
        t.start();
        CaptureOutput::WritePngFile(picture, path);
        file.push_back(double(t.nsecsElapsed()) / 1e6);
        cpu.push_back(double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC);
    }
    const double ms = MedianMs(file), floorMs = MedianMs(floor);
    const bool met = ms <= 1.5 * floorMs && ms < 500;
    std::printf("png file: %.2fx floor (pixolva %.1f ms, encoding alone %.1f ms; 3840 x 2160 photo-like, %.1f MB, "
                "zlib level 1, Up filter, %d bands, CPU %.0f ms; target 1.5x and 500 ms: %s)\n",
                ms / floorMs, ms, floorMs, double(QFileInfo(path).size()) / 1e6, bands, MedianMs(cpu), met ? "met" : "MISSED");
    return bytes > 0 && QFileInfo(path).size() == bytes ? 0 : 1;
}
