// What the capture commands copy, on a desktop made of rectangles.
#include "base/ErrorTexts.h"
#include "base/RuntimeError.h"
#include "capture/CaptureSteps.h"
#include "support/FakeDesktop.h"

#include <QtTest>

class CaptureStepsTest : public QObject
{
    Q_OBJECT

    // A secondary monitor left of the primary and one application window with a button in it.
    struct Desk
    {
        FakeDesktop desktop;
        MonitorHandle left = desktop.AddMonitor(QRect(-1280, 0, 1280, 1024));
        MonitorHandle primary = desktop.AddMonitor(QRect(0, 0, 1280, 1024), true);
        WindowHandle window = desktop.AddWindow(QRect(100, 120, 400, 300), QMargins(1, 20, 1, 5));
        WindowHandle button = desktop.AddChildWindow(window, QRect(150, 150, 80, 25));
        Desk()
        {
            QImage screen(2560, 1024, QImage::Format_RGB32);
            screen.fill(qRgb(10, 20, 30));
            desktop.SetScreenImage(screen, QPoint(-1280, 0));
            desktop.SetForegroundWindow(window);
        }
    };

private Q_SLOTS:
    void delayedCaptureCopiesWhatWasAskedFor_data()
    {
        QTest::addColumn<bool>("activeWindow");
        QTest::addColumn<int>("monitor"); // 0 all, 1 the left one, 2 the primary
        QTest::addColumn<QSize>("size");
        QTest::newRow("the foreground window with its frame") << true << 1 << QSize(402, 325);
        QTest::newRow("the whole virtual screen") << false << 0 << QSize(2560, 1024);
        QTest::newRow("the monitor left of the primary") << false << 1 << QSize(1280, 1024);
    }
    void delayedCaptureCopiesWhatWasAskedFor()
    {
        QFETCH(bool, activeWindow);
        QFETCH(int, monitor);
        QFETCH(QSize, size);
        Desk d;
        const MonitorHandle handle = monitor == 1 ? d.left : monitor == 2 ? d.primary : 0;
        const QImage picture = CaptureSteps::TakeDelayedCapture(activeWindow, handle);
        QCOMPARE(picture.size(), size);
        if (!activeWindow && monitor == 1)
            QCOMPARE(d.desktop.Copies().last(), QRect(-1280, 0, 1280, 1024));
    }

    // A monitor unplugged between the choice and the copy gives an error, not an empty capture.
    void goneMonitorIsAnError()
    {
        Desk d;
        const MonitorHandle gone = d.left + d.primary + 100;
        try {
            CaptureSteps::TakeDelayedCapture(false, gone);
            QFAIL("no error raised");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), 481);
            QCOMPARE(e.description(), ErrorDescription(ErrorKind::MonitorGone));
        }
        QVERIFY(d.desktop.Copies().isEmpty());
    }

    void nothingCapturedIsAnError()
    {
        QVERIFY_THROWS_EXCEPTION(RuntimeError, CaptureSteps::RequirePicture(QImage()));
        CaptureSteps::RequirePicture(QImage(1, 1, QImage::Format_RGB32));
    }

    void ownWindowUnderThePointer_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("own");
        QTest::newRow("title bar") << QPoint(200, 105) << true;
        QTest::newRow("a button inside") << QPoint(160, 160) << true;
        QTest::newRow("the desktop beside it") << QPoint(600, 600) << false;
    }
    void ownWindowUnderThePointer()
    {
        QFETCH(QPoint, point);
        QFETCH(bool, own);
        Desk d;
        QCOMPARE(CaptureSteps::IsWindowAt(point, d.window), own);
    }

    void centreRoundsHalvesToEven_data()
    {
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QPoint>("centre");
        QTest::newRow("even size") << QRect(10, 20, 32, 32) << QPoint(26, 36);
        QTest::newRow("odd size, half up to even") << QRect(10, 20, 33, 33) << QPoint(26, 36);
        QTest::newRow("odd size, half down to even") << QRect(11, 21, 33, 33) << QPoint(28, 38);
        QTest::newRow("negative") << QRect(-1280, -5, 1, 1) << QPoint(-1280, -4);
    }
    void centreRoundsHalvesToEven()
    {
        QFETCH(QRect, rect);
        QFETCH(QPoint, centre);
        QCOMPARE(CaptureSteps::Centre(ScreenRect::FromQRect(rect)), centre);
    }
};

QTEST_APPLESS_MAIN(CaptureStepsTest)
#include "CaptureStepsTest.moc"
