// One eyedropper sample on a fake desktop: what is copied, what the zoom view shows, what the
// fields read.
#include "app/ColourFields.h"
#include "app/ColourPicker.h"
#include "app/ZoomView.h"
#include "support/FakeDesktop.h"

#include <QtTest>

#include <array>

namespace {
// The five fields as the window holds them, none of them with the focus (as during a drag).
class SampledFields : public ColourFieldControls
{
public:
    SampledFields() : fields(*this, lastSelStart)
    {
        text = {QStringLiteral("0"), QStringLiteral("#000000"), QStringLiteral("0"), QStringLiteral("0"),
                QStringLiteral("0")};
    }

    QString Text(ColourFieldId f) const override { return text[int(f)]; }
    void SetText(ColourFieldId f, const QString &t) override
    {
        if (t == text[int(f)])
            return;
        text[int(f)] = t;
        fields.Change(f);
    }
    qint32 SelStart(ColourFieldId) const override { return 0; }
    void SetSelStart(ColourFieldId, qint32) override {}
    bool IsActiveControl(ColourFieldId) const override { return false; }
    void SetColourBoxColour(qint32 colour) override { box = colour; }

    QStringList Texts() const { return QStringList(text.begin(), text.end()); }

    std::array<QString, ColourFieldCount> text;
    qint32 box = 0;
    qint32 lastSelStart = 0;
    ColourFields fields;
};

// Two monitors, the left one at negative coordinates; the screen is grey with a white, a red and
// a blue row of pixels on each monitor, and a green pixel at either far corner.
void PaintDesktop(FakeDesktop &desktop)
{
    desktop.AddMonitor(QRect(-1280, 0, 1280, 1024));
    desktop.AddMonitor(QRect(0, 0, 1280, 1024), true);
    QImage screen(2560, 1024, QImage::Format_RGB32);
    screen.fill(qRgb(128, 128, 128));
    for (int x = 0; x < screen.width(); ++x) {
        screen.setPixel(x, 500, qRgb(255, 255, 255));
        screen.setPixel(x, 501, qRgb(255, 0, 0));
        screen.setPixel(x, 502, qRgb(0, 0, 255));
    }
    screen.setPixel(0, 0, qRgb(0, 255, 0));
    screen.setPixel(2559, 1023, qRgb(0, 255, 0));
    desktop.SetScreenImage(screen, QPoint(-1280, 0));
}
}

class ColourPickerTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sample_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QStringList>("texts"); // txtDec, txtHex, txtR, txtG, txtB
        const QStringList white{"16777215", "#FFFFFF", "255", "255", "255"};
        const QStringList red{"255", "#FF0000", "255", "0", "0"};
        const QStringList blue{"16711680", "#0000FF", "0", "0", "255"};
        const QStringList green{"65280", "#00FF00", "0", "255", "0"};
        QTest::newRow("white on the primary") << QPoint(640, 500) << white;
        QTest::newRow("white on the left monitor") << QPoint(-1, 500) << white;
        QTest::newRow("red on the left monitor") << QPoint(-640, 501) << red;
        QTest::newRow("blue at the left edge") << QPoint(-1280, 502) << blue;
        QTest::newRow("top-left corner of the virtual screen") << QPoint(-1280, 0) << green;
        QTest::newRow("bottom-right corner of the virtual screen") << QPoint(1279, 1023) << green;
        QTest::newRow("grey") << QPoint(0, 0) << QStringList{"8421504", "#808080", "128", "128", "128"};
    }
    void sample()
    {
        QFETCH(QPoint, pointer);
        QFETCH(QStringList, texts);
        FakeDesktop desktop;
        PaintDesktop(desktop);
        SampledFields fields;
        ColourPicker picker(fields.fields);
        QImage zoom(213, 85, QImage::Format_RGB32);

        const qint32 colour = picker.Tick(pointer, zoom);
        QCOMPARE(fields.Texts(), texts);
        QCOMPARE(colour, texts[0].toInt());
        QCOMPARE(fields.box, colour);
        // One copy of 27 x 11 pixels round the pointer, whatever lies outside the screen.
        QCOMPARE(desktop.Copies(), QList<QRect>{QRect(pointer.x() - 13, pointer.y() - 5, 27, 11)});
        QCOMPARE(picker.Picture().size(), QSize(27, 11));
        // The block round the centre shows the sampled pixel; the cross lies on it in red.
        QCOMPARE(zoom.pixel(103, 39), PixelOf(colour));
        QCOMPARE(zoom.pixel(109, 45), PixelOf(colour));
        QCOMPARE(zoom.pixel(106, 42), qRgb(255, 0, 0));
        QCOMPARE(zoom.pixel(106, 32), qRgb(255, 0, 0));
        QCOMPARE(zoom.pixel(96, 41), qRgb(255, 0, 0));
    }

    // Consecutive ticks replace the zoom image and the picture; nothing of the last one stays.
    void nextTickReplacesTheLast()
    {
        FakeDesktop desktop;
        PaintDesktop(desktop);
        SampledFields fields;
        ColourPicker picker(fields.fields);
        QImage zoom(213, 85, QImage::Format_RGB32);
        picker.Tick(QPoint(100, 500), zoom);
        picker.Tick(QPoint(100, 200), zoom);
        QCOMPARE(fields.text[int(ColourFieldId::Dec)], QStringLiteral("8421504"));
        for (int y = 0; y < zoom.height(); ++y)
            for (int x = 0; x < zoom.width(); ++x)
                QVERIFY(zoom.pixel(x, y) == qRgb(128, 128, 128) || zoom.pixel(x, y) == qRgb(255, 0, 0));
        QCOMPARE(desktop.Copies().size(), 2);
    }

    // On a palette display the copy is an 8-bit picture with a colour map.
    void palettePicture()
    {
        FakeDesktop desktop;
        desktop.AddMonitor(QRect(0, 0, 64, 64), true);
        QImage screen(64, 64, QImage::Format_Indexed8);
        QList<QRgb> colours(256, qRgb(0, 0, 0));
        colours[7] = qRgb(255, 136, 0);
        screen.setColorTable(colours);
        screen.fill(7);
        desktop.SetScreenImage(screen, QPoint(0, 0));
        SampledFields fields;
        ColourPicker picker(fields.fields);
        QImage zoom(213, 85, QImage::Format_RGB32);
        QCOMPARE(picker.Tick(QPoint(30, 30), zoom), 35071);
        QCOMPARE(fields.text[int(ColourFieldId::Hex)], QStringLiteral("#FF8800"));
    }
};

QTEST_GUILESS_MAIN(ColourPickerTest)
#include "ColourPickerTest.moc"
