// Saving and restoring a real window's position under openbox: the frame is part of it, and a
// minimised or maximised window keeps its stored rectangle.
#include "localisation/QtFormWindow.h"
#include "localisation/cInifile.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

class FormPositionTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("positions.ini"));
    cInifile m_ini;
    QWidget m_window;

    void Save() { QtFormWindow w(&m_window); m_ini.SaveFormPosition(w); }
    void Load() { QtFormWindow w(&m_window); m_ini.LoadFormPosition(w, 0, 0); }

private Q_SLOTS:
    void initTestCase()
    {
        m_ini.setPath(m_path);
        m_ini.setSection(QStringLiteral("frmTest"));
        m_window.setGeometry(101, 140, 400, 300);  // client area: the frame is 1 left, 20 above
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
        QTRY_COMPARE(m_window.frameGeometry(), QRect(100, 120, 402, 325));
    }

    void savedAndLoadedWithTheFrame()
    {
        Save();
        QVERIFY(m_ini.Success());
        QCOMPARE(ReadBytes(m_path), QByteArray("[frmTest]\nMaximised=0\nLeft=1500\nTop=1800\nWidth=6030\nHeight=4875\n"));
        m_window.setGeometry(500, 400, 200, 150);
        QTRY_COMPARE(m_window.geometry(), QRect(500, 400, 200, 150));
        Load();
        QTRY_COMPARE(m_window.frameGeometry(), QRect(100, 120, 402, 325));
    }

    void maximisedSavesOnlyThatAndIsNotMoved()
    {
        m_window.showMaximized();
        QTRY_VERIFY(m_window.frameGeometry().width() > 1000);
        Save();
        QVERIFY(m_ini.Success());
        QCOMPARE(ReadBytes(m_path), QByteArray("[frmTest]\nMaximised=1\nLeft=1500\nTop=1800\nWidth=6030\nHeight=4875\n"));
        Load();
        QVERIFY(!m_ini.Success());
        QVERIFY(m_window.isMaximized());
    }

    void minimisedSavesNothing()
    {
        QVERIFY(QFile::remove(m_path));
        m_window.showMinimized();
        QTRY_VERIFY(m_window.isMinimized());
        Save();
        QVERIFY(!QFile::exists(m_path));
    }
};

QTEST_MAIN(FormPositionTest)
#include "FormPositionTest.moc"
