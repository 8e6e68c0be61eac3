// Text lookups in the language file, where it lives, and a window's lookups in one write.
#include "localisation/mdlI18n.h"

#include "localisation/ProfileFile.h"
#include "localisation/cInifile.h"
#include "support/TestFiles.h"

#include <QtTest>

#include <sys/stat.h>

using namespace mdlI18n;

namespace {
QStringList Lookups(const QStringList &keys)
{
    QStringList texts;
    for (const QString &key : keys)
        texts.append(GetLngText(QStringLiteral("frmMain"), key, key + QStringLiteral(" für\\nheute")));
    return texts;
}
}

class mdlI18nTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("Pixolva.lng"));

private Q_SLOTS:
    void init()
    {
        QFile::remove(m_path);
        LanguageFile().setPath(m_path);
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
        QTest::newRow("garbage around the entry") << QByteArray("\xff\xfe\0\0\n[frmTest]\n\x01\x02\n key = Wert \n\xff", 32) << "x" << "Wert" << QByteArray();
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

    // A language file that cannot be used costs the built-in text nothing, and keeps what it holds.
    void unusableFileGivesDefaults()
    {
        QVERIFY(WriteBytes(m_path, "[frmTest]\nother=x\n"));
        LanguageFile().setPath(m_path + QStringLiteral("/Pixolva.lng"));  // its parent is a file
        QCOMPARE(GetLngText(QStringLiteral("frmTest"), QStringLiteral("key"), QStringLiteral("a\\nb")), QStringLiteral("a\r\nb"));
        QCOMPARE(ReadBytes(m_path), QByteArray("[frmTest]\nother=x\n"));
        QVERIFY(QFile::remove(m_path) && QDir().mkdir(m_path));  // a directory in its place
        LanguageFile().setPath(m_path);
        QCOMPARE(GetLngText(QStringLiteral("frmTest"), QStringLiteral("key"), QStringLiteral("x")), QStringLiteral("x"));
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

QTEST_GUILESS_MAIN(mdlI18nTest)
#include "mdlI18nTest.moc"
