// The INI file class: its cuts and lists, numbers, and window positions restored into the screen;
// and the tools it shares with the capture: the folder part of a path, a text cut at its first NUL.
#include "localisation/cInifile.h"
#include "localisation/mdlTools.h"

#include "base/RuntimeError.h"
#include "localisation/FormWindow.h"
#include "support/TestFiles.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// A window at 1500, 1500 twips, 6000 x 4500, on an 800 x 600 pixel screen; reading its Width or
// moving it fails when failAt names it.
class FakeWindow : public FormWindow
{
public:
    QString failAt;
    QRect moved;
    bool maximised = false;

    qint32 WindowState() const override { return Normal; }
    double Left() const override { return 1500; }
    double Top() const override { return 1500; }
    double Width() const override { Fail("Width"); return 6000; }
    double Height() const override { return 4500; }
    void Move(qint32 left, qint32 top, qint32 width, qint32 height) override { Fail("Move"); moved = QRect(left, top, width, height); }
    void Maximise() override { maximised = true; }
    double ScreenWidth() const override { return 12000; }
    double ScreenHeight() const override { return 9000; }
    double TwipsPerPixelX() const override { return 15; }
    double TwipsPerPixelY() const override { return 15; }

private:
    void Fail(const char *property) const
    {
        if (failAt == QLatin1String(property))
            RaiseError(438, QStringLiteral("Object doesn't support this property or method"));
    }
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
        QVERIFY(m_ini.Success());
        QCOMPARE(ReadBytes(m_path), "[s]\nk=" + QByteArray(40000, 'x') + "y\n");

        // An empty name and 1,100 of seven characters outgrow 8,192 characters; the 1,024th is cut.
        QByteArray file("[]\n=1\n[t]\n[s]\n=2\n");
        QStringList kept{QString()};
        for (int i = 0; i < 1100; ++i) {
            file += QByteArray::number(1000000 + i) + "=x\n";
            if (i < 1023)
                kept << QString::number(1000000 + i);
        }
        QVERIFY(WriteBytes(m_path, file));
        QStringList names;
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

    // Stored rectangles are kept 60 twips (4 pixels) inside the 12000 x 9000 twip screen.
    void loadPosition_data()
    {
        QTest::addColumn<QByteArray>("entries");
        QTest::addColumn<int>("minWidth");
        QTest::addColumn<QRect>("moved");  // null: not moved
        QTest::addColumn<bool>("maximised");
        QTest::newRow("none: the window's own") << QByteArray() << 0 << QRect(1500, 1500, 6000, 4500) << false;
        QTest::newRow("beyond the right edge") << QByteArray("Left=11000\nTop=600\nWidth=3000\nHeight=3000\n") << 0 << QRect(8940, 600, 3000, 3000) << false;
        QTest::newRow("wider than the screen") << QByteArray("Left=0\nTop=600\nWidth=20000\nHeight=3000\n") << 11880 << QRect(60, 600, 11880, 3000) << false;
        QTest::newRow("too wide for the minimum") << QByteArray("Left=0\nTop=600\nWidth=20000\nHeight=3000\n") << 11881 << QRect() << false;
    }
    void loadPosition()
    {
        QFETCH(QByteArray, entries);
        QFETCH(int, minWidth);
        QFETCH(QRect, moved);
        QFETCH(bool, maximised);
        QVERIFY(WriteBytes(m_path, "[s]\n" + entries));
        FakeWindow window;
        m_ini.LoadFormPosition(window, minWidth, 0);
        QCOMPARE(window.moved, moved);
        QCOMPARE(window.maximised, maximised);
    }

    // A failing window or absurd stored numbers end the operation quietly: LastReturnCode 0,
    // Key and Default as they were, the window not moved.
    void positionErrors_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("failAt");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("fileAfter");
        const QByteArray stored("[s]\nLeft=1500\nTop=1500\nWidth=6000\nHeight=4500\nMaximised=1\n");
        QTest::newRow("save: Width fails after three writes") << true << "Width" << QByteArray("[s]\n")
                                                              << QByteArray("[s]\nMaximised=0\nLeft=1500\nTop=1500\n");
        const QByteArray absurd("[s]\nLeft=2147483000\nWidth=2000\nMaximised=1\n");
        QTest::newRow("load: sum beyond 32 bits") << false << "" << absurd << absurd;
    }
    void positionErrors()
    {
        QFETCH(bool, save);
        QFETCH(QString, failAt);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, fileAfter);
        m_ini.setValue(QStringLiteral("v"));
        QVERIFY(m_ini.Success() && WriteBytes(m_path, file));
        FakeWindow window;
        window.failAt = failAt;
        save ? m_ini.SaveFormPosition(window) : m_ini.LoadFormPosition(window, 0, 0);
        QCOMPARE(m_ini.LastReturnCode(), 0);
        QCOMPARE(m_ini.Key() + m_ini.Default(), QStringLiteral("k Def ault "));
        QCOMPARE(window.moved, QRect());
        QVERIFY(!window.maximised);
        QCOMPARE(ReadBytes(m_path), fileAfter);
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
