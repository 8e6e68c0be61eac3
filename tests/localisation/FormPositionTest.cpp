// Saving and restoring the position of a real window under a window manager.
#include "localisation/QtFormWindow.h"

#include "support/TestFiles.h"
#include "localisation/cInifile.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class FormPositionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_temp->isValid());
        m_path = m_temp->filePath(QStringLiteral("positions.ini"));
        m_ini = cInifile();
        m_ini.setPath(m_path);
        m_ini.setSection(QStringLiteral("frmTest"));
        m_ini.setKey(QStringLiteral("myKey"));
        m_ini.setDefault(QStringLiteral("myDefault"));
        m_window = std::make_unique<QWidget>();
        m_window->setWindowTitle(QStringLiteral("Position"));
    }

    void cleanup()
    {
        QCOMPARE(m_ini.Key(), QStringLiteral("myKey"));
        QCOMPARE(m_ini.Default(), QStringLiteral("myDefault"));
        m_window.reset();
    }

    void saveAndLoad()
    {
        showAt(QPoint(100, 120), QSize(400, 300));
        const QRect frame = m_window->frameGeometry();
        const double tpp = PrimaryScreenMetrics().TwipsPerPixelX;
        QCOMPARE(tpp, 15.0); // Xvfb's 96 dots per inch

        { QtFormWindow w(m_window.get()); m_ini.SaveFormPosition(w); }
        QVERIFY(m_ini.Success());
        QCOMPARE(ReadBytes(m_path), QStringLiteral("[frmTest]\nMaximised=0\nLeft=%1\nTop=%2\nWidth=%3\nHeight=%4\n")
                                        .arg(frame.x() * 15).arg(frame.y() * 15).arg(frame.width() * 15).arg(frame.height() * 15)
                                        .toLatin1());

        m_window->move(500, 400);
        m_window->resize(200, 150);
        QTRY_COMPARE(m_window->frameGeometry().topLeft(), QPoint(500, 400));
        { QtFormWindow w(m_window.get()); m_ini.LoadFormPosition(w, 0, 0); }
        QTRY_COMPARE(m_window->frameGeometry(), frame);
        QVERIFY(!m_window->isMaximized());
    }

    void minimisedSavesNothing()
    {
        showAt(QPoint(100, 120), QSize(400, 300));
        m_window->showMinimized();
        QTRY_VERIFY(m_window->isMinimized());
        { QtFormWindow w(m_window.get()); m_ini.SaveFormPosition(w); }
        QVERIFY(!QFile::exists(m_path));
    }

    void maximisedSavesOnlyMaximised()
    {
        const QByteArray earlier("[frmTest]\nLeft=1\nTop=2\nWidth=3\nHeight=4\nMaximised=0\n");
        QVERIFY(WriteBytes(m_path, earlier));
        showAt(QPoint(100, 120), QSize(400, 300));
        m_window->showMaximized();
        QTRY_VERIFY(m_window->frameGeometry().width() > 1000);
        { QtFormWindow w(m_window.get()); m_ini.SaveFormPosition(w); }
        QVERIFY(m_ini.Success());
        QCOMPARE(ReadBytes(m_path), QByteArray("[frmTest]\nLeft=1\nTop=2\nWidth=3\nHeight=4\nMaximised=1\n"));
    }

    void maximisedEntry_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<bool>("maximised");
        QTest::newRow("2") << QByteArray("Maximised=2\n") << true;
        QTest::newRow("-1") << QByteArray("Maximised=-1\n") << true;
        QTest::newRow("0") << QByteArray("Maximised=0\n") << false;
        QTest::newRow("a word") << QByteArray("Maximised=ja\n") << false;
    }
    void maximisedEntry()
    {
        QFETCH(QByteArray, entry);
        QFETCH(bool, maximised);
        QVERIFY(WriteBytes(m_path, "[frmTest]\nLeft=1500\nTop=1500\nWidth=6000\nHeight=4500\n" + entry));
        showAt(QPoint(300, 200), QSize(300, 200));
        { QtFormWindow w(m_window.get()); m_ini.LoadFormPosition(w, 0, 0); }
        if (maximised) {
            QTRY_VERIFY(m_window->isMaximized() && m_window->frameGeometry().width() > 1000);
        } else {
            QTRY_COMPARE(m_window->frameGeometry(), QRect(100, 100, 400, 300));
            QVERIFY(!m_window->isMaximized());
        }
    }

    // The screen is injected so that the fitting does not depend on the test display. Frames
    // are in pixels; a width or height of 0 stands for the window's own, a null rectangle for
    // a window that is not moved.
    void fitting_data()
    {
        QTest::addColumn<QByteArray>("entries");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<int>("minWidth");
        QTest::addColumn<int>("minHeight");
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<QRect>("expected");

        const QSize screen(800, 600);
        const QPoint origin(0, 0);
        QTest::newRow("stored rectangle") << QByteArray("Left=1500\nTop=750\nWidth=6000\nHeight=4500\n") << screen << 0 << 0
                                          << origin << QRect(100, 50, 400, 300);
        QTest::newRow("no entries: own rectangle, margins, minimum size")
            << QByteArray() << screen << 7500 << 0 << origin << QRect(4, 4, 500, 0);
        QTest::newRow("left edge -500 twips") << QByteArray("Left=-500\nTop=1500\nWidth=6000\nHeight=4500\n") << screen << 0 << 0
                                              << origin << QRect(4, 100, 400, 300);
        QTest::newRow("wider than the screen") << QByteArray("Left=0\nTop=600\nWidth=20000\nHeight=3000\n") << screen << 0 << 0
                                               << origin << QRect(4, 40, 792, 200);
        QTest::newRow("wider than the screen, minimum still met")
            << QByteArray("Left=3000\nTop=600\nWidth=20000\nHeight=3000\n") << screen << 11880 << 0 << origin << QRect(4, 40, 792, 200);
        QTest::newRow("wider than the screen, minimum not met")
            << QByteArray("Left=3000\nTop=600\nWidth=20000\nHeight=3000\n") << screen << 11881 << 0 << origin << QRect();
        QTest::newRow("past the right edge") << QByteArray("Left=11000\nTop=600\nWidth=3000\nHeight=3000\n") << screen << 0 << 0
                                             << origin << QRect(596, 40, 200, 200);
        QTest::newRow("taller than the screen") << QByteArray("Left=600\nTop=-50\nWidth=3000\nHeight=90000\n") << screen << 0 << 0
                                                << origin << QRect(40, 4, 200, 592);
        QTest::newRow("screen too small for the minimum")
            << QByteArray("Left=600\nTop=600\nWidth=3000\nHeight=3000\n") << QSize(200, 150) << 4000 << 0 << origin << QRect();
        QTest::newRow("raised to the minimum size") << QByteArray("Left=600\nTop=600\nWidth=300\nHeight=300\n") << screen << 3000 << 1500
                                                    << origin << QRect(40, 40, 200, 100);
        QTest::newRow("words fall back one by one") << QByteArray("Left=links\nTop=900\nWidth=breit\nHeight=1500\n") << screen << 0 << 0
                                                    << QPoint(300, 300) << QRect(300, 60, 0, 100);
    }
    void fitting()
    {
        QFETCH(QByteArray, entries);
        QFETCH(QSize, screen);
        QFETCH(int, minWidth);
        QFETCH(int, minHeight);
        QFETCH(QPoint, start);
        QFETCH(QRect, expected);
        QVERIFY(WriteBytes(m_path, "[frmTest]\n" + entries));
        showAt(start, QSize(300, 200));
        const QRect before = m_window->frameGeometry();

        QtFormWindow window(m_window.get(), ScreenMetrics{screen.width() * 15.0, screen.height() * 15.0, 15, 15});
        m_ini.LoadFormPosition(window, minWidth, minHeight);

        if (expected.isNull()) {
            QTest::qWait(200);
            QCOMPARE(m_window->frameGeometry(), before);
        } else {
            if (expected.width() == 0)
                expected.setWidth(before.width());
            if (expected.height() == 0)
                expected.setHeight(before.height());
            QTRY_COMPARE(m_window->frameGeometry(), expected);
        }
        QVERIFY(!m_window->isMaximized());
    }

    void maximisedWindowIsNotMoved()
    {
        QVERIFY(WriteBytes(m_path, "[frmTest]\nLeft=1500\nTop=1500\nWidth=6000\nHeight=4500\nMaximised=1\n"));
        m_ini.setValue(QStringLiteral("x"));
        QVERIFY(m_ini.Success());
        QVERIFY(WriteBytes(m_path, "[frmTest]\nLeft=1500\nTop=1500\nWidth=6000\nHeight=4500\nMaximised=1\n"));
        showAt(QPoint(100, 120), QSize(400, 300));
        m_window->showMaximized();
        QTRY_VERIFY(m_window->frameGeometry().width() > 1000);
        { QtFormWindow w(m_window.get()); m_ini.LoadFormPosition(w, 0, 0); }
        QCOMPARE(m_ini.Success(), false);
        QVERIFY(m_window->isMaximized());
    }

private:
    // Shows the test window with its frame's top-left corner at pos, once the window manager
    // has framed it.
    void showAt(QPoint pos, QSize clientSize)
    {
        m_window->resize(clientSize);
        m_window->move(pos);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QTRY_VERIFY(m_window->frameGeometry() != m_window->geometry());
        m_window->move(pos);
        QTRY_COMPARE(m_window->frameGeometry().topLeft(), pos);
    }

    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_path;
    cInifile m_ini;
    std::unique_ptr<QWidget> m_window;
};

QTEST_MAIN(FormPositionTest)
#include "FormPositionTest.moc"
