// A write changes its own line and nothing else, whatever the file ends in; a document of many
// lookups and writes gives the bytes that the writes one by one give.
#include "localisation/ProfileFile.h"
#include "localisation/ProfileText.h"

#include "localisation/ProfileInvariant.h"
#include "support/TestFiles.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QList<QByteArray> &Endings()
{
    static const QList<QByteArray> endings{"\r", "\n", "\r\n", "", QByteArray("\0", 1), "\n[", "\r\r", "\r\n["};
    return endings;
}

QByteArray RandomFile(QRandomGenerator &random)
{
    static const QList<QByteArray> pieces{"[", "]", "=", ";", " ", "\t", "\r", "\n", "\n", "\r\n", QByteArray("\0", 1),
                                          "a", "B", "\xe4", "\xc4", "ab", "[a]\n", "[B]\r\n", "a=1\n", "b = 2\r\n"};
    QByteArray file;
    for (int i = random.bounded(40); i > 0; --i)
        file += random.bounded(5) == 0 ? QByteArray(1, char(random.bounded(256))) : pieces[random.bounded(pieces.size())];
    return file + Endings()[random.bounded(Endings().size())];
}

QByteArray RandomName(QRandomGenerator &random)
{
    static const QList<QByteArray> names{"a", "B", "ab", "", "\xe4", "A", "c"};
    return names[random.bounded(names.size())];
}

} // namespace

class ProfileFileInvariantTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A last line ending in a bare CR used to keep the CR as part of its value once a line was
    // added after it: "[frmMain]\r\ncmdAbout.Caption=Info\r" read "Info\r".
    void writeLeavesOtherLinesAlone_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        for (const QByteArray &ending : Endings()) {
            const QByteArray file = "[frmMain]\r\ncmdAbout.Caption=Info" + ending;
            const QByteArray name = ending.toPercentEncoding();
            QTest::newRow(("new section, ending " + name).constData()) << file << QByteArray("frmAbout") << QByteArray("Caption");
            QTest::newRow(("new key, ending " + name).constData()) << file << QByteArray("frmMain") << QByteArray("cmdOK");
            QTest::newRow(("same key, ending " + name).constData()) << file << QByteArray("frmMain") << QByteArray("cmdAbout.Caption");
        }
    }
    void writeLeavesOtherLinesAlone()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("pixolva.lng"));
        QVERIFY(WriteBytes(path, file));
        QVERIFY(ProfileFile::WritePrivateProfileStringA(QString::fromLatin1(section), QString::fromLatin1(key),
                                                        QStringLiteral("Neu"), path));
        QCOMPARE(ProfileInvariant::EntryWritten(file, ReadBytes(path), section, key, "Neu"), QString());
    }

    // Random files of the same family and random writes (deletions are left to the fuzz target);
    // and the same writes through one document, which must end in the same bytes and answer every
    // lookup alike.
    void randomFiles()
    {
        QRandomGenerator random(20240611);
        for (int round = 0; round < 3000; ++round) {
            QByteArray data = RandomFile(random);
            const QByteArray original = data;
            ProfileText::Document document(data);
            for (int step = random.bounded(1, 6); step > 0; --step) {
                const QByteArray section = RandomName(random);
                const QByteArray key = RandomName(random);
                const QByteArray value = random.bounded(3) == 0 ? QByteArray(" x ") : RandomName(random);
                const QByteArray context = "round " + QByteArray::number(round) + ": " + original.toPercentEncoding();
                QCOMPARE(document.Value(section, key), ProfileText::Value(data, section, key));
                const QByteArray after = ProfileText::WithEntry(data, section, key, value);
                const QString broken = ProfileInvariant::EntryWritten(data, after, section, key, value);
                QVERIFY2(broken.isEmpty(), (context + ": " + broken.toUtf8()).constData());
                document.SetEntry(section, key, value);
                data = after;
            }
            QVERIFY2(document.Bytes() == data, original.toPercentEncoding().constData());
        }
    }
};

QTEST_APPLESS_MAIN(ProfileFileInvariantTest)
#include "ProfileFileInvariantTest.moc"
