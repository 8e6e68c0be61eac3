// KWin's report of its windows, read into rectangles, and the window found at a point.
#include "platform/KWinWindows.h"

#include <QtTest>

class KWinWindowsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each report lists windows bottom first; the expected window at the point is given by its
    // id and frame (an empty id: none there).
    void windowAt_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QRect>("frame");
        const QString two = QStringLiteral("{a} 4194352 0 0 1280 1024 0 0 1280 1024\n"
                                           "{b} 0 100 150 320 277 100 187 320 240\n");
        QTest::newRow("the upper of two") << two << QPoint(200, 200) << "{b}" << QRect(100, 150, 320, 277);
        QTest::newRow("on the upper one's title bar") << two << QPoint(100, 150) << "{b}" << QRect(100, 150, 320, 277);
        QTest::newRow("just outside the upper one") << two << QPoint(420, 200) << "{a}" << QRect(0, 0, 1280, 1024);
        QTest::newRow("no window there") << two << QPoint(1280, 5) << QString() << QRect();
        // KWin places native windows at fractional positions on scaled outputs: each edge goes
        // to the nearest pixel.
        QTest::newRow("fractional frame") << QStringLiteral("{c} 0 10.5 20.25 99.5 50 10.5 40 99.5 30.25") << QPoint(12, 21)
                                          << "{c}" << QRect(QPoint(11, 20), QPoint(109, 69));
        QTest::newRow("lines that cannot be read")
            << QStringLiteral("{d} 0 0 0 100 100 0 0 100 100\n{e} 0 NaN 0 100 100 0 0 100 100\n{f} 0 0 0 100\n{g} 0 0 0 0 0 0 0 0 0")
            << QPoint(50, 50) << "{d}" << QRect(0, 0, 100, 100);
        QTest::newRow("nothing listed") << QString() << QPoint(0, 0) << QString() << QRect();
    }
    void windowAt()
    {
        QFETCH(QString, report);
        QFETCH(QPoint, point);
        QFETCH(QString, id);
        QFETCH(QRect, frame);
        const QList<KWinWindows::Window> windows = KWinWindows::ParseReport(report);
        const KWinWindows::Window *found = KWinWindows::WindowAt(windows, point);
        QCOMPARE(found ? found->id : QString(), id);
        if (found)
            QCOMPARE(found->frame, frame);
    }

    // An X window keeps its X id; the client rectangle is the window's own surface.
    void fields()
    {
        const QList<KWinWindows::Window> windows = KWinWindows::ParseReport(QStringLiteral("{a} 4194352 5 6 70 80 5 43 70 43\n"));
        QCOMPARE(windows.size(), 1);
        QCOMPARE(windows[0].xWindow, 4194352u);
        QCOMPARE(windows[0].client, QRect(5, 43, 70, 43));
    }
};

QTEST_GUILESS_MAIN(KWinWindowsTest)
#include "KWinWindowsTest.moc"
