// The colour fields' texts and refusals, and what the zoom view shows.
#include "app/ColourFields.h"
#include "app/ColourText.h"
#include "app/PictureFit.h"
#include "app/ZoomView.h"

#include <QtTest>

namespace {
// The fields as far as a refusal asks them.
struct Fields : ColourFieldControls
{
    QString Text(ColourFieldId) const override { return QStringLiteral("0"); }
    void SetText(ColourFieldId, const QString &) override {}
    qint32 SelStart(ColourFieldId) const override { return 0; }
    void SetSelStart(ColourFieldId, qint32) override {}
    bool IsActiveControl(ColourFieldId) const override { return false; }
    void SetColourBoxColour(qint32) override {}
    qint32 lastSelStart = 0;
    ColourFields fields{*this, lastSelStart};
};

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

class ColourAndZoomTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A number as a long, a byte and a colour: hex with &H, clamped, refused as -1 and 0.
    void numbersNormalFormsAndRefusals()
    {
        const auto read = [](const QString &text) { return QList<int>{TextToLong(text), TextToByte(text), TextToColour(text)}; };
        QCOMPARE(read(QString()), (QList<int>{0, 0, 0}));
        QCOMPARE(read(QStringLiteral("&HFF")), (QList<int>{255, 255, 255}));
        QCOMPARE(read(QStringLiteral("99999999")), (QList<int>{99999999, 255, 16777215}));
        for (const QString &refused : {QStringLiteral("2147483648"), QStringLiteral("-5"), QString(QChar(0x0663))})
            QCOMPARE(read(refused), (QList<int>{-1, 0, 0}));
        QCOMPARE(QStringList({NormalizeHex("#F8"), NormalizeHex("#12345678"), NormalizeHex("#G1"), NormalizeHex("#\u00df1")}),
                 QStringList({"#F80000", "#123456", "#100000", "#100000"}));  // sharp s is no SS
        Fields c;
        const auto refused = [&c](ColourFieldId field, const QString &text) { return c.fields.IsRefused(field, text); };
        const ColourFieldId r = ColourFieldId::R, hex = ColourFieldId::Hex, dec = ColourFieldId::Dec;
        QVERIFY(!refused(r, "255") && refused(r, "256") && refused(r, "&HF") && refused(dec, "16777216"));
        QVERIFY(!refused(hex, "#") && refused(hex, "#1234567") && refused(hex, QString(QChar(0xff11))));
    }

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

    void crossAndFittedPicture()
    {
        QImage zoom(213, 85, QImage::Format_RGB32);
        zoom.fill(Qt::black);
        ZoomView::DrawCross(zoom);
        const QRegion cross = QRegion(105, 32, 2, 20) + QRegion(96, 41, 20, 2);
        for (int y = 0; y < zoom.height(); ++y)
            for (int x = 0; x < zoom.width(); ++x)
                QCOMPARE(zoom.pixel(x, y) == qRgb(255, 0, 0), cross.contains(QPoint(x, y)));
        QCOMPARE(FitPictureRect(QSize(213, 85), QSize(100, 50)), QRectF(0, 0, 170, 85));
        QCOMPARE(FitPictureRect(QSize(213, 85), QSize(400, 50)), QRectF(0, 0, 213, 26.625));
    }
};

QTEST_APPLESS_MAIN(ColourAndZoomTest)
#include "ColourAndZoomTest.moc"
