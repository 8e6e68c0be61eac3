// The INI file class: cuts, lists, numbers, window positions; the path and NUL tools.
#include "localisation/cInifile.h"
#include "localisation/mdlTools.h"

#include "base/RuntimeError.h"
#include "localisation/FormWindow.h"
#include "support/TestFiles.h"

#include <QtTest>

namespace {
// A window at 1500, 1500 twips, 6000 x 4500, on a 12000 x 9000 twip screen; reading its Width
// fails when failWidth is set.
class FakeWindow : public FormWindow
{
public:
    bool failWidth = false;
    QRect moved;
    bool maximised = false;

    qint32 WindowState() const override { return Normal; }
    double Left() const override { return 1500; }
    double Top() const override { return 1500; }
    double Width() const override
    {
        if (failWidth)
            RaiseError(438, QStringLiteral("Object doesn't support this property or method"));
        return 6000;
    }
    double Height() const override { return 4500; }
    void Move(qint32 left, qint32 top, qint32 width, qint32 height) override { moved = QRect(left, top, width, height); }
    void Maximise() override { maximised = true; }
    double ScreenWidth() const override { return 12000; }
    double ScreenHeight() const override { return 9000; }
    double TwipsPerPixelX() const override { return 15; }
    double TwipsPerPixelY() const override { return 15; }
};
}

class cInifileTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("test.ini"));
    cInifile m_ini;

private Q_SLOTS:
    void init()
    {
        QFile::remove(m_path);
        m_ini = cInifile();
        m_ini.setPath(m_path);
        m_ini.setSection(QStringLiteral("s"));
        m_ini.setKey(QStringLiteral("k"));
        m_ini.setDefault(QStringLiteral(" Def ault "));
    }

    // What the class adds to the profile functions: the 254-character cut, NULs dropped before a
    // write (however far in), and name lists split with empty key names kept and a cut name dropped.
    void ownRules()
    {
        QVERIFY(WriteBytes(m_path, "[s]\nk=" + QByteArray(300, 'a') + '\n'));
        QCOMPARE(m_ini.Value(), QString(254, u'a'));
        m_ini.setValue(QString(40000, u'x') + QChar(0) + QStringLiteral("y") + QChar(0));
        QCOMPARE(ReadBytes(m_path), "[s]\nk=" + QByteArray(40000, 'x') + "y\n");

        // An empty name and 1,100 of seven characters outgrow 8,192 characters; the 1,024th is cut.
        QByteArray file("[]\n=1\n[t]\n[s]\n=2\n");
        QStringList kept{QString()}, names;
        for (int i = 0; i < 1100; ++i) {
            file += QByteArray::number(1000000 + i) + "=x\n";
            if (i < 1023)
                kept << QString::number(1000000 + i);
        }
        QVERIFY(WriteBytes(m_path, file));
        qint32 count = -1;
        m_ini.EnumerateCurrentSection(names, count);
        QCOMPARE(names, kept);
        QCOMPARE(count, kept.size());
        m_ini.EnumerateAllSections(names, count);
        QCOMPARE(names, (QStringList{"t", "s"}));
        QCOMPARE(count, 2);
    }

    void numbers()
    {
        const QLocale saved;
        QCOMPARE(cInifile::CLngDefault(QStringLiteral(" 2.5 "), 5), 2);  // blanks allowed, halves to even
        QCOMPARE(cInifile::CLngDefault(QStringLiteral("2147483648"), 5), 5);
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        const qint32 german = cInifile::CLngDefault(QStringLiteral("7,5"), 5);
        QLocale::setDefault(saved);
        QCOMPARE(german, 8);
    }

    // Stored rectangles are kept 60 twips (4 pixels) inside the screen; none stored: the window's own.
    void loadPosition_data()
    {
        QTest::addColumn<QByteArray>("entries");
        QTest::addColumn<int>("minWidth");
        QTest::addColumn<QRect>("moved");  // null: not moved
        QTest::newRow("none stored") << QByteArray() << 0 << QRect(1500, 1500, 6000, 4500);
        QTest::newRow("beyond the right edge") << QByteArray("Left=11000\nTop=600\nWidth=3000\nHeight=3000\n") << 0 << QRect(8940, 600, 3000, 3000);
        QTest::newRow("wider than the screen") << QByteArray("Left=0\nTop=600\nWidth=20000\nHeight=3000\n") << 11880 << QRect(60, 600, 11880, 3000);
        QTest::newRow("too wide for the minimum") << QByteArray("Left=0\nTop=600\nWidth=20000\nHeight=3000\n") << 11881 << QRect();
        QTest::newRow("sum beyond 32 bits") << QByteArray("Left=2147483000\nWidth=2000\nMaximised=1\n") << 0 << QRect();
    }
    void loadPosition()
    {
        QFETCH(QByteArray, entries);
        QFETCH(int, minWidth);
        QFETCH(QRect, moved);
        QVERIFY(WriteBytes(m_path, "[s]\n" + entries));
        FakeWindow window;
        m_ini.LoadFormPosition(window, minWidth, 0);
        QCOMPARE(window.moved, moved);
        QVERIFY(!window.maximised);
    }

    // A failing window ends the save quietly after three writes: LastReturnCode 0, Key and
    // Default as they were.
    void failingWindowEndsTheSave()
    {
        m_ini.setValue(QStringLiteral("v"));
        QVERIFY(WriteBytes(m_path, "[s]\n"));
        FakeWindow window;
        window.failWidth = true;
        m_ini.SaveFormPosition(window);
        QCOMPARE(m_ini.LastReturnCode(), 0);
        QCOMPARE(m_ini.Key() + m_ini.Default(), QStringLiteral("k Def ault "));
        QCOMPARE(ReadBytes(m_path), QByteArray("[s]\nMaximised=0\nLeft=1500\nTop=1500\n"));
    }

    // The folder part of a path (the root kept), and a text cut at its first NUL, beyond 16 bits too.
    void tools()
    {
        const QString d(70000, u'd');
        QCOMPARE(mdlTools::GetFolderPart(QStringLiteral("shot.bmp")), QString());
        QCOMPARE(mdlTools::GetFolderPart(QStringLiteral("/shot.bmp")), QStringLiteral("/"));
        QCOMPARE(mdlTools::GetFolderPart(u'/' + d + QStringLiteral("/shot.bmp")), u'/' + d);
        QCOMPARE(mdlTools::TrimAtNull(QStringLiteral("a%1b%1").arg(QChar(0))), QStringLiteral("a"));
        QCOMPARE(mdlTools::TrimAtNull(d + QChar(0) + QStringLiteral("rest")), d);
    }
};

QTEST_APPLESS_MAIN(cInifileTest)
#include "cInifileTest.moc"
