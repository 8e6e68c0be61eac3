// The zoom view: which screen pixels it shows, the hard eightfold enlargement, the red cross.
#include "app/ZoomView.h"

#include <QtTest>

#include <set>

namespace {
// A picture of the screen rectangle r in which every pixel names its own offset from the pointer.
QImage OffsetPicture(const QRect &r, QPoint pointer)
{
    QImage picture(r.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(128 + r.x() + x - pointer.x(), 128 + r.y() + y - pointer.y(), 7));
    return picture;
}
}

class ZoomViewTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sourceRect_data()
    {
        QTest::addColumn<QSize>("inner");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QRect>("source");
        QTest::newRow("213x85") << QSize(213, 85) << QPoint(500, 300) << QRect(487, 295, 27, 11);
        QTest::newRow("213x85 at the primary's corner") << QSize(213, 85) << QPoint(0, 0) << QRect(-13, -5, 27, 11);
        QTest::newRow("213x85 left of the primary") << QSize(213, 85) << QPoint(-1280, -3) << QRect(-1293, -8, 27, 11);
        QTest::newRow("half width rounds to even") << QSize(212, 84) << QPoint(100, 100) << QRect(87, 95, 26, 10);
        QTest::newRow("twice the size") << QSize(426, 170) << QPoint(100, 100) << QRect(74, 90, 53, 21);
        QTest::newRow("too small for a pixel") << QSize(3, 3) << QPoint(10, 10) << QRect(10, 10, 0, 0);
    }
    void sourceRect()
    {
        QFETCH(QSize, inner);
        QFETCH(QPoint, pointer);
        QFETCH(QRect, source);
        QCOMPARE(ZoomView::SourceRect(inner, pointer), source);
    }

    // Whatever the size of the zoom view, its centre shows the pixel under the pointer.
    void centreShowsThePointersPixel_data()
    {
        QTest::addColumn<int>("width");
        for (int w : {16, 100, 200, 212, 213, 214, 216, 300, 426, 640})
            QTest::newRow(qPrintable(QString::number(w))) << w;
    }
    void centreShowsThePointersPixel()
    {
        QFETCH(int, width);
        std::vector<int> columns;
        for (int height = 8; height <= 200; ++height) {
            for (const QPoint pointer : {QPoint(100, 50), QPoint(101, 51), QPoint(-7, -4)}) {
                const QSize inner(width, height);
                const QRect source = ZoomView::SourceRect(inner, pointer);
                QImage zoom(inner, QImage::Format_RGB32);
                ZoomView::StretchNearest(OffsetPicture(source, pointer), zoom, columns);
                const QRgb centre = zoom.pixel(ZoomView::CentrePixel(inner));
                if (qRed(centre) != 128 || qGreen(centre) != 128)
                    QFAIL(qPrintable(QStringLiteral("%1x%2 at %3,%4 shows offset %5,%6")
                                         .arg(width).arg(height).arg(pointer.x()).arg(pointer.y())
                                         .arg(qRed(centre) - 128).arg(qGreen(centre) - 128)));
            }
        }
    }

    // Every copied pixel becomes a solid block of 7 or 8 pixels each way, in order, and no other
    // colour appears.
    void enlargementIsHardBlocks()
    {
        const QRect source(0, 0, 27, 11);
        const QImage picture = OffsetPicture(source, QPoint(0, 0));
        QImage zoom(213, 85, QImage::Format_RGB32);
        std::vector<int> columns;
        ZoomView::StretchNearest(picture, zoom, columns);

        std::vector<int> runs;
        int run = 1;
        for (int x = 1; x < zoom.width(); ++x) {
            const int step = qRed(zoom.pixel(x, 0)) - qRed(zoom.pixel(x - 1, 0));
            QVERIFY(step == 0 || step == 1);
            if (step == 1) {
                runs.push_back(run);
                run = 1;
            } else {
                ++run;
            }
        }
        runs.push_back(run);
        QCOMPARE(int(runs.size()), 27);
        for (int r : runs)
            QVERIFY2(r == 7 || r == 8, qPrintable(QString::number(r)));

        std::set<QRgb> inPicture;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                inPicture.insert(picture.pixel(x, y));
        std::set<QRgb> rows;
        for (int y = 0; y < zoom.height(); ++y) {
            rows.insert(zoom.pixel(0, y));
            for (int x = 0; x < zoom.width(); ++x)
                QVERIFY(inPicture.count(zoom.pixel(x, y)));
        }
        QCOMPARE(int(rows.size()), 11);
    }

    void cross()
    {
        QImage zoom(213, 85, QImage::Format_RGB32);
        zoom.fill(Qt::black);
        ZoomView::DrawCross(zoom);
        const QRgb red = qRgb(255, 0, 0);
        const QRect vertical(105, 32, 2, 20);
        const QRect horizontal(96, 41, 20, 2);
        for (int y = 0; y < zoom.height(); ++y) {
            for (int x = 0; x < zoom.width(); ++x) {
                const bool onCross = vertical.contains(x, y) || horizontal.contains(x, y);
                QCOMPARE(zoom.pixel(x, y) == red, onCross);
            }
        }
        QImage tiny(6, 6, QImage::Format_RGB32);
        tiny.fill(Qt::black);
        ZoomView::DrawCross(tiny);
        QCOMPARE(tiny.pixel(0, 2), red);
    }
};

QTEST_APPLESS_MAIN(ZoomViewTest)
#include "ZoomViewTest.moc"
