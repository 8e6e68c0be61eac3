// The zoom view: the pointer's own pixel at the centre, the red cross, a capture fitted into it.
#include "app/PictureFit.h"
#include "app/ZoomView.h"

#include <QtTest>

namespace {
// A picture of the screen rectangle r in which every pixel names its offset from the pointer.
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
    // Whatever the zoom view's size, its centre shows the pixel under the pointer.
    void centreShowsThePointersPixel()
    {
        std::vector<int> columns;
        for (const int width : {16, 100, 212, 213, 214, 426, 640}) {
            for (int height = 8; height <= 200; ++height) {
                const QSize inner(width, height);
                const QRect source = ZoomView::SourceRect(inner, QPoint(-7, 51));
                QImage zoom(inner, QImage::Format_RGB32);
                ZoomView::StretchNearest(OffsetPicture(source, QPoint(-7, 51)), zoom, columns);
                const QRgb centre = zoom.pixel(ZoomView::CentrePixel(inner));
                QVERIFY2(qRed(centre) == 128 && qGreen(centre) == 128, qPrintable(QStringLiteral("%1x%2").arg(width).arg(height)));
            }
        }
    }

    void cross()
    {
        QImage zoom(213, 85, QImage::Format_RGB32);
        zoom.fill(Qt::black);
        ZoomView::DrawCross(zoom);
        const QRegion cross = QRegion(105, 32, 2, 20) + QRegion(96, 41, 20, 2);
        for (int y = 0; y < zoom.height(); ++y)
            for (int x = 0; x < zoom.width(); ++x)
                QCOMPARE(zoom.pixel(x, y) == qRgb(255, 0, 0), cross.contains(QPoint(x, y)));
    }

    void pictureFittedIntoTheBox()
    {
        QCOMPARE(FitPictureRect(QSize(213, 85), QSize(100, 50)), QRectF(0, 0, 170, 85));
        QCOMPARE(FitPictureRect(QSize(213, 85), QSize(400, 50)), QRectF(0, 0, 213, 26.625));
    }
};

QTEST_APPLESS_MAIN(ZoomViewTest)
#include "ZoomViewTest.moc"
