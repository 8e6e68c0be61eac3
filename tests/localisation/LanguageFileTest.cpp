// Where the language file lives, and a window's lookups read and completing it in one go.
#include "localisation/mdlI18n.h"

#include "localisation/ProfileFile.h"
#include "localisation/cInifile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
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

} // namespace

class LanguageFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_temp->isValid());
        m_path = m_temp->filePath(QStringLiteral("pixolva.lng"));
        LanguageFile().setPath(m_path);
    }

    // An installed program's folder cannot take the file: it goes to the user's data folder.
    void location_data()
    {
        QTest::addColumn<QString>("folder"); // "missing", "read-only" or "writable"
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<bool>("beside");
        QTest::newRow("writable folder") << "writable" << false << true;
        QTest::newRow("folder that is not there") << "missing" << false << false;
        if (!RunningAsRoot()) {
            QTest::newRow("read-only folder") << "read-only" << false << false;
            QTest::newRow("read-only folder with a file there") << "read-only" << true << true;
        }
    }
    void location()
    {
        QFETCH(QString, folder);
        QFETCH(bool, fileThere);
        QFETCH(bool, beside);
        const QString app = m_temp->filePath(QStringLiteral("bin/"));
        if (folder != QLatin1String("missing"))
            QVERIFY(QDir().mkdir(app));
        if (fileThere)
            QVERIFY(WriteBytes(app + QStringLiteral("pixolva.lng"), "[frmMain]\n"));
        if (folder == QLatin1String("read-only"))
            QCOMPARE(::chmod(QFile::encodeName(app).constData(), 0555), 0);
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_temp->filePath(QStringLiteral("data"))));
        const QString location = LanguageFileLocation(app, QStringLiteral("pixolva"));
        ::chmod(QFile::encodeName(app).constData(), 0755);
        QCOMPARE(location, beside ? app + QStringLiteral("pixolva.lng")
                                  : m_temp->filePath(QStringLiteral("data/pixolva/pixolva.lng")));
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
        const QString byText = m_temp->filePath(QStringLiteral("by-text.lng"));
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

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_path;
};

QTEST_GUILESS_MAIN(LanguageFileTest)
#include "LanguageFileTest.moc"
