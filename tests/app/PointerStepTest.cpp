// Moving the pointer by keyboard while the eyedropper is held.
#include "app/PointerStep.h"

#include <QtTest>

class PointerStepTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void steps_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        const QPoint p(100, 100);
        QTest::newRow("left") << int(Qt::Key_Left) << false << p << QPoint(99, 100);
        QTest::newRow("right") << int(Qt::Key_Right) << false << p << QPoint(101, 100);
        QTest::newRow("up") << int(Qt::Key_Up) << false << p << QPoint(100, 99);
        QTest::newRow("down") << int(Qt::Key_Down) << false << p << QPoint(100, 101);
        QTest::newRow("shift left") << int(Qt::Key_Left) << true << p << QPoint(90, 100);
        QTest::newRow("shift down") << int(Qt::Key_Down) << true << p << QPoint(100, 110);
        QTest::newRow("other key") << int(Qt::Key_A) << false << p << p;
        QTest::newRow("into the left monitor") << int(Qt::Key_Left) << false << QPoint(0, 5) << QPoint(-1, 5);
        QTest::newRow("stops at the left edge") << int(Qt::Key_Left) << true << QPoint(-1275, 5) << QPoint(-1280, 5);
        QTest::newRow("stops at the right edge") << int(Qt::Key_Right) << false << QPoint(1279, 5) << QPoint(1279, 5);
        QTest::newRow("stops at the bottom") << int(Qt::Key_Down) << true << QPoint(9, 1020) << QPoint(9, 1023);
        QTest::newRow("stops at the top") << int(Qt::Key_Up) << false << QPoint(9, 0) << QPoint(9, 0);
    }
    void steps()
    {
        QFETCH(int, key);
        QFETCH(bool, shift);
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        const QRect virtualScreen(-1280, 0, 2560, 1024);
        QCOMPARE(StepPointer(from, ArrowKeyStep(key, shift), virtualScreen), to);
    }
};

QTEST_APPLESS_MAIN(PointerStepTest)
#include "PointerStepTest.moc"
