// The INI file class (cuts, lists, numbers, window positions), the path and NUL tools; text
// lookups in the language file, where it lives, and a window's lookups in one write.
#include "base/RuntimeError.h"
#include "localisation/FormWindow.h"
#include "localisation/ProfileFile.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "localisation/mdlTools.h"
#include "support/TestFiles.h"

#include <QtTest>

#include <sys/stat.h>

using namespace mdlI18n;

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

QStringList Lookups(const QStringList &keys)
{
    QStringList texts;
    for (const QString &key : keys)
        texts.append(GetLngText(QStringLiteral("frmMain"), key, key + QStringLiteral(" für\\nheute")));
    return texts;
}
}

class IniTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("Pixolva.lng"));
    cInifile m_ini;

private Q_SLOTS:
    void init()
    {
        QFile::remove(m_path);
        LanguageFile().setPath(m_path);
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

    void numbersAndTools()
    {
        const QLocale saved;
        QCOMPARE(cInifile::CLngDefault(QStringLiteral(" 2.5 "), 5), 2);  // blanks allowed, halves to even
        QCOMPARE(cInifile::CLngDefault(QStringLiteral("2147483648"), 5), 5);
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        const qint32 german = cInifile::CLngDefault(QStringLiteral("7,5"), 5);
        QLocale::setDefault(saved);
        QCOMPARE(german, 8);
        // The folder part of a path (the root kept), and a text cut at its first NUL, beyond 16 bits too.
        const QString d(70000, u'd');
        QCOMPARE(mdlTools::GetFolderPart(QStringLiteral("shot.bmp")), QString());
        QCOMPARE(mdlTools::GetFolderPart(QStringLiteral("/shot.bmp")), QStringLiteral("/"));
        QCOMPARE(mdlTools::GetFolderPart(u'/' + d + QStringLiteral("/shot.bmp")), u'/' + d);
        QCOMPARE(mdlTools::TrimAtNull(QStringLiteral("a%1b%1").arg(QChar(0))), QStringLiteral("a"));
        QCOMPARE(mdlTools::TrimAtNull(d + QChar(0) + QStringLiteral("rest")), d);
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

    void lookups_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QByteArray>("fileAfter");  // null: unchanged
        QTest::newRow("missing entry: default written") << QByteArray("; mine\n[frmTest]\nother=1\n") << "Farbe" << "Farbe"
                                                        << QByteArray("; mine\n[frmTest]\nother=1\nkey=Farbe\n");
        QTest::newRow("spaces only count as missing") << QByteArray("[frmTest]\nkey=   \n") << "Farbe" << "Farbe" << QByteArray("[frmTest]\nkey=Farbe\n");
        QTest::newRow("\\n and \\N give CR LF") << QByteArray("[frmTest]\nkey=1\\n2\\N3\n") << "x" << "1\r\n2\r\n3" << QByteArray();
        QTest::newRow("default's line breaks written as \\n") << QByteArray() << "a\nb\r\nc\\nd" << "a\r\nb\r\nc\r\nd"
                                                             << QByteArray("[frmTest]\nkey=a\\nb\\nc\\nd\n");
        // A message longer than 254 characters used to be cut from the second start on.
        const QByteArray longText = "[frmTest]\nkey=" + QByteArray(300, 'a') + '\n';
        QTest::newRow("cut at 254") << longText << "x" << QString(254, u'a') << QByteArray();
        QTest::newRow("as long as twice the built-in") << longText << QString(140, u'b') << QString(280, u'a') << QByteArray();
        QTest::newRow("garbage around the entry") << QByteArray("\x01\xff\xfe\0\0\n[frmTest]\n\x01\x02\n key = Wert \n\xff", 33) << "x" << "Wert" << QByteArray();
    }
    void lookups()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, defaultText);
        QFETCH(QString, expected);
        QFETCH(QByteArray, fileAfter);
        if (!file.isNull())
            QVERIFY(WriteBytes(m_path, file));
        QCOMPARE(GetLngText(QStringLiteral("frmTest"), QStringLiteral("key"), defaultText), expected);
        QCOMPARE(ReadBytes(m_path), fileAfter.isNull() ? file : fileAfter);
    }

    // A language file that cannot be used (a directory in its place) costs the built-in texts nothing.
    void unusableFileGivesDefaults()
    {
        QVERIFY(QDir().mkdir(m_path));
        QCOMPARE(GetLngText(QStringLiteral("frmTest"), QStringLiteral("key"), QStringLiteral("a\\nb")), QStringLiteral("a\r\nb"));
        QVERIFY(QDir().rmdir(m_path));
    }

    // An installed program's folder cannot take the file: it goes to the user's data folder.
    void location()
    {
        QTemporaryDir temp;
        const QString app = temp.filePath(QStringLiteral("bin/")), data = temp.filePath(QStringLiteral("data/pixolva/pixolva.lng"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(temp.filePath(QStringLiteral("data"))));
        const auto location = [&] { return LanguageFileLocation(app, QStringLiteral("pixolva")); };
        QCOMPARE(location(), data);  // the folder is not there
        QVERIFY(QDir().mkdir(app));
        QCOMPARE(location(), app + QStringLiteral("pixolva.lng"));
        if (RunningAsRoot())
            return;  // permission bits do not stop root
        QCOMPARE(::chmod(QFile::encodeName(app).constData(), 0555), 0);
        const QString readOnly = location();
        ::chmod(QFile::encodeName(app).constData(), 0755);
        QVERIFY(WriteBytes(app + QStringLiteral("pixolva.lng"), "[frmMain]\n"));
        QCOMPARE(::chmod(QFile::encodeName(app).constData(), 0555), 0);
        const QString withFile = location();
        ::chmod(QFile::encodeName(app).constData(), 0755);
        QCOMPARE(readOnly, data);
        QCOMPARE(withFile, app + QStringLiteral("pixolva.lng"));  // a file already there stays in use
    }

    // Every missing text used to rewrite the whole file: a 200 MB file took minutes to start.
    void batchWritesOnceAsTextByTextWould_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("CR LF, some texts there")
            << QByteArray("; mine\r\n[frmMain]\r\nb=Übersetzt\r\nc=   \r\n\r\n[frmAbout]\r\nCaption=Info\r");
        const QString notepad = QStringLiteral("[frmMain]\r\nb=\u65e5\u672c\r\n[frmAbout]\r\n");
        QTest::newRow("UTF-16 LE") << "\xff\xfe" + QByteArray(reinterpret_cast<const char *>(notepad.utf16()), notepad.size() * 2);
        QTest::newRow("UTF-8, bare CR") << QByteArray("[frmMain]\rb=Gr\xc3\xbcn\r");
    }
    void batchWritesOnceAsTextByTextWould()
    {
        QFETCH(QByteArray, file);
        const QStringList keys{"a", "b", "c", "a", "d.ToolTipText"};
        const QString byText = m_dir.filePath(QStringLiteral("by-text.lng"));
        if (!file.isNull()) {
            QVERIFY(WriteBytes(m_path, file));
            QVERIFY(WriteBytes(byText, file));
        }
        LanguageFile().setPath(byText);
        const QStringList expected = Lookups(keys);
        LanguageFile().setPath(m_path);

        QStringList texts;
        {
            TextBatch batch;
            texts = Lookups(keys);
            QCOMPARE(ReadBytes(m_path), file.isNull() ? QByteArray() : file);
        }
        QCOMPARE(texts, expected);
        QCOMPARE(ReadBytes(m_path), ReadBytes(byText));
    }

    // Two instances starting at once used to lose texts: what the other wrote while this one
    // loaded stays, and this one adds only what is still missing.
    void batchKeepsWhatAnotherInstanceWrote()
    {
        QVERIFY(WriteBytes(m_path, "[frmMain]\na=1\n"));
        {
            TextBatch batch;
            QCOMPARE(Lookups({"a", "b"}), QStringList({"1", "b für\r\nheute"}));
            QVERIFY(ProfileFile::WritePrivateProfileStringA(QStringLiteral("frmMain"), QStringLiteral("c"),
                                                            QStringLiteral("3"), m_path));
            QVERIFY(ProfileFile::WritePrivateProfileStringA(QStringLiteral("frmMain"), QStringLiteral("b"),
                                                            QStringLiteral("2"), m_path));
        }
        QCOMPARE(ReadBytes(m_path), QByteArray("[frmMain]\na=1\nc=3\nb=2\n"));
    }
};

QTEST_GUILESS_MAIN(IniTest)
#include "IniTest.moc"
