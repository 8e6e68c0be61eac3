// Layout of the monitor map: scale, boxes, captions and their pixels.
#include "monitors/MonitorMapLayout.h"

#include <QtTest>

using namespace MonitorMapLayout;

namespace {
QRectF F(const TwipRect &r)
{
    return QRectF(r.Left, r.Top, r.Width, r.Height);
}

MonitorEntry Monitor(MonitorHandle handle, qint32 left, qint32 top, qint32 width, qint32 height)
{
    return MonitorEntry{handle, ScreenRect::FromLTWH(left, top, width, height)};
}

// Twips to a thousandth: finer than any pixel, coarser than floating-point noise.
bool Near(const QRectF &a, const QRectF &b)
{
    return qAbs(a.x() - b.x()) < 1e-3 && qAbs(a.y() - b.y()) < 1e-3 && qAbs(a.width() - b.width()) < 1e-3
        && qAbs(a.height() - b.height()) < 1e-3;
}
}

class MonitorMapLayoutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layout_data()
    {
        QTest::addColumn<ScreenRect>("virtualScreen");
        QTest::addColumn<QList<MonitorEntry>>("monitors");
        QTest::addColumn<QRectF>("desktop");
        QTest::addColumn<QSizeF>("client");
        QTest::addColumn<QList<QRectF>>("boxes");

        const QList<QRectF> sideBySide{QRectF(470, 470, 2667.5, 2114), QRectF(3237.5, 470, 2667.5, 2114)};
        QTest::newRow("side by side, primary left")
            << ScreenRect::FromLTWH(0, 0, 2560, 1024)
            << QList<MonitorEntry>{Monitor(11, 0, 0, 1280, 1024), Monitor(12, 1280, 0, 1280, 1024)}
            << QRectF(120, 120, 6135, 2814) << QSizeF(6375, 3054) << sideBySide;
        QTest::newRow("side by side, primary right")
            << ScreenRect::FromLTWH(-1280, 0, 2560, 1024)
            << QList<MonitorEntry>{Monitor(12, -1280, 0, 1280, 1024), Monitor(11, 0, 0, 1280, 1024)}
            << QRectF(120, 120, 6135, 2814) << QSizeF(6375, 3054) << sideBySide;
        // The height decides: the box keeps its design height and narrows.
        QTest::newRow("stacked")
            << ScreenRect::FromLTWH(0, -1024, 1280, 2048)
            << QList<MonitorEntry>{Monitor(12, 0, -1024, 1280, 1024), Monitor(11, 0, 0, 1280, 1024)}
            << QRectF(120, 120, 2709.375, 3975) << QSizeF(2949.375, 4215)
            << QList<QRectF>{QRectF(470, 470, 2009.375, 1587.5), QRectF(470, 2157.5, 2009.375, 1587.5)};
        QTest::newRow("different sizes, offset vertically")
            << ScreenRect::FromLTWH(0, 0, 3200, 1080)
            << QList<MonitorEntry>{Monitor(1, 0, 0, 1920, 1080), Monitor(2, 1920, 56, 1280, 1024)}
            << QRectF(120, 120, 6135, 2468.0625) << QSizeF(6375, 2708.0625)
            << QList<QRectF>{QRectF(470, 470, 3221, 1768.0625), QRectF(3791, 566.8625, 2114, 1671.2)};
        QTest::newRow("no monitors")
            << ScreenRect::FromLTWH(0, 0, 2560, 1024) << QList<MonitorEntry>{}
            << QRectF(120, 120, 6135, 2814) << QSizeF(6375, 3054) << QList<QRectF>{};
        // Nothing to scale by: the design geometry stays rather than a division by zero.
        QTest::newRow("virtual screen without extent")
            << ScreenRect{} << QList<MonitorEntry>{Monitor(5, 0, 0, 0, 0)}
            << QRectF(120, 120, 6135, 3975) << QSizeF(6375, 4215)
            << QList<QRectF>{QRectF(1320, 960, 1815, 1455)};
        // 40 pixels wide at about 1.8 pixels per twip is narrower than the inset.
        QTest::newRow("monitor smaller than the inset")
            << ScreenRect::FromLTWH(0, 0, 10000, 1000)
            << QList<MonitorEntry>{Monitor(1, 0, 0, 9960, 1000), Monitor(2, 9960, 0, 40, 1000)}
            << QRectF(120, 120, 6135, 1153.5) << QSizeF(6375, 1393.5)
            << QList<QRectF>{QRectF(470, 470, 5412.86, 453.5), QRectF(5982.86, 470, 0, 453.5)};
    }
    void layout()
    {
        QFETCH(ScreenRect, virtualScreen);
        QFETCH(QList<MonitorEntry>, monitors);
        QFETCH(QRectF, desktop);
        QFETCH(QSizeF, client);
        QFETCH(QList<QRectF>, boxes);

        const MonitorMap map = LayOut(virtualScreen, monitors);
        QVERIFY2(Near(F(map.Desktop), desktop), qPrintable(QStringLiteral("desktop %1 %2 %3 %4")
                     .arg(map.Desktop.Left).arg(map.Desktop.Top).arg(map.Desktop.Width).arg(map.Desktop.Height)));
        QVERIFY(qAbs(map.ClientWidth - client.width()) < 1e-3);
        QVERIFY(qAbs(map.ClientHeight - client.height()) < 1e-3);
        QCOMPARE(map.Boxes.size(), boxes.size());
        for (int i = 0; i < boxes.size(); ++i) {
            const QRectF got = F(map.Boxes[i].Geometry);
            QVERIFY2(Near(got, boxes[i]),
                     qPrintable(QStringLiteral("box %1: %2 %3 %4 %5").arg(i).arg(got.x()).arg(got.y())
                                    .arg(got.width()).arg(got.height())));
            QCOMPARE(map.Boxes[i].Handle, monitors[i].Handle);
        }
    }

    void captions()
    {
        const MonitorMap map = LayOut(ScreenRect::FromLTWH(-1280, 0, 2560, 1024),
                                      {Monitor(65537, -1280, 0, 1280, 1024), Monitor(65539, 0, 0, 1920, 1024)});
        QCOMPARE(map.DesktopCaption, QStringLiteral("VirtualScreen: 2560 x 1024"));
        QCOMPARE(map.Boxes[0].Caption, QStringLiteral("Monitor 1: 1280 x 1024"));
        QCOMPARE(map.Boxes[1].Caption, QStringLiteral("Monitor 2: 1920 x 1024"));
    }

    void pixels_data()
    {
        QTest::addColumn<QRectF>("twips");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("virtual-screen box") << QRectF(120, 120, 6135, 2814) << QRect(8, 8, 409, 188);
        QTest::newRow("first monitor box") << QRectF(470, 470, 2667.5, 2114) << QRect(31, 31, 178, 141);
        QTest::newRow("second monitor box") << QRectF(3237.5, 470, 2667.5, 2114) << QRect(216, 31, 178, 141);
        // 22.5 and 37.5 twips are 1.5 and 2.5 pixels: halves go to the even neighbour.
        QTest::newRow("halves") << QRectF(22.5, 37.5, 22.5, 37.5) << QRect(2, 2, 2, 2);
    }
    void pixels()
    {
        QFETCH(QRectF, twips);
        QFETCH(QRect, pixels);
        QCOMPARE(ToPixels(TwipRect{twips.x(), twips.y(), twips.width(), twips.height()}), pixels);
    }
};

QTEST_APPLESS_MAIN(MonitorMapLayoutTest)
#include "MonitorMapLayoutTest.moc"
