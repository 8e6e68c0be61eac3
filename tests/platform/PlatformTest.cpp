// The monitor every platform picks for a window: the one holding most of it, else the nearest.
#include "platform/Platform.h"

#include <QtTest>

class PlatformTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bestMonitor_data()
    {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<int>("expected");  // of monitor 1 at (0, 0) and 2 right of it, both 1280 x 1024
        QTest::newRow("inside the right one") << QRect(1500, 100, 300, 200) << 2;
        QTest::newRow("across both, more on the left") << QRect(1000, 100, 400, 200) << 1;
        QTest::newRow("half and half: the first listed") << QRect(1180, 100, 200, 200) << 1;
        QTest::newRow("below both: the nearest") << QRect(2000, 1100, 100, 100) << 2;
        QTest::newRow("far left: the nearest") << QRect(-900, 1500, 100, 100) << 1;
        QTest::newRow("no size, on the right one") << QRect(1500, 100, 0, 0) << 2;
    }
    void bestMonitor()
    {
        QFETCH(QRect, window);
        QFETCH(int, expected);
        QCOMPARE(BestMonitorFor(window, {{1, QRect(0, 0, 1280, 1024)}, {2, QRect(1280, 0, 1280, 1024)}}), expected);
        QCOMPARE(BestMonitorFor(window, {}), 0);
    }
};

QTEST_APPLESS_MAIN(PlatformTest)
#include "PlatformTest.moc"
