// Text lookups in the language file: what is shown, what is written, and unusable files.
#include "localisation/mdlI18n.h"

#include "localisation/cInifile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace mdlI18n;

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
        QTest::newRow("missing file: default written") << QByteArray() << "Farbe" << "Farbe" << QByteArray("[frmTest]\nkey=Farbe\n");
        QTest::newRow("missing entry: default written") << QByteArray("; mine\n[frmTest]\nother=1\n") << "Farbe" << "Farbe"
                                                        << QByteArray("; mine\n[frmTest]\nother=1\nkey=Farbe\n");
        QTest::newRow("translation") << QByteArray("[frmTest]\nkey=Colour\n") << "Farbe" << "Colour" << QByteArray();
        QTest::newRow("spaces only count as missing") << QByteArray("[frmTest]\nkey=   \n") << "Farbe" << "Farbe" << QByteArray("[frmTest]\nkey=Farbe\n");
        QTest::newRow("empty entry stays") << QByteArray("[frmTest]\nkey=\n") << "" << "" << QByteArray();
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
    void unusableFileGivesDefaults_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("parent is a file") << "parent";
        QTest::newRow("directory in place of the file") << "directory";
    }
    void unusableFileGivesDefaults()
    {
        QFETCH(QString, kind);
        if (kind == QLatin1String("directory"))
            QVERIFY(QDir().mkdir(m_path));
        else
            QVERIFY(WriteBytes(m_path, "[frmTest]\nother=x\n"));
        if (kind == QLatin1String("parent"))
            LanguageFile().setPath(m_path + QStringLiteral("/Pixolva.lng"));
        QCOMPARE(GetLngText(QStringLiteral("frmTest"), QStringLiteral("key"), QStringLiteral("a\\nb")), QStringLiteral("a\r\nb"));
        if (kind == QLatin1String("directory"))
            QVERIFY(QDir().rmdir(m_path));
        else
            QCOMPARE(ReadBytes(m_path), QByteArray("[frmTest]\nother=x\n"));
    }
};

QTEST_GUILESS_MAIN(mdlI18nTest)
#include "mdlI18nTest.moc"
