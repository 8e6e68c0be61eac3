// The profile file functions: reads, byte-exact writes, refusals, failed writes keeping the old file.
#include "localisation/ProfileFile.h"

#include "support/TestFiles.h"

#include <QtTest>

#include <sys/stat.h>

using ProfileFile::OptionalText;

namespace {
const QString Absent = QStringLiteral("<absent>");  // a table's mark for an absent argument
const QString Nul(QChar(0));

OptionalText Arg(const QString &text) { return text == Absent ? OptionalText() : OptionalText(text); }

QString Read(const QString &path, const QString &section, const QString &key, qint32 size = 255)
{
    QString buffer = QStringLiteral("stale");
    ProfileFile::GetPrivateProfileStringA(Arg(section), Arg(key), QStringLiteral("dflt"), buffer, size, path);
    return buffer;
}

// A text as a "Unicode" file of Notepad: UTF-16 LE with byte order mark.
QByteArray Utf16(const QString &text)
{
    return "\xff\xfe" + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

qint32 Write(const QString &path, const QString &section, const QString &key, const QString &text)
{
    return ProfileFile::WritePrivateProfileStringA(Arg(section), Arg(key), Arg(text), path);
}
}

class ProfileFileTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("test.lng"));

private Q_SLOTS:
    void init() { QFile::remove(m_path); }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");  // null: no file
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("expected");
        const QString s = QStringLiteral("s"), k = QStringLiteral("k");
        QTest::newRow("names ignore case") << QByteArray("[\xc4rger]\n\xd6l=v\n") << "ärger" << "öL" << 255 << "v";
        QTest::newRow("blanks around") << QByteArray(" [ s ] \n \t k \t= \t v w \t\n") << " s " << "k " << 255 << "v w";
        QTest::newRow("a section twice is one") << QByteArray("[s]\na=1\n[t]\nk=0\n[S]\nk=2\n") << s << k << 255 << "2";
        QTest::newRow("before any section") << QByteArray("k=v\n[s]\n") << s << k << 255 << "dflt";
        QTest::newRow("8-bit text") << QByteArray("[s]\nk=\xe4\xdf\x80\x81") << s << k << 255 << "äß€\u0081";
        QTest::newRow("NUL ends value") << QByteArray("[s]\nk=ab\0cd\n", 12) << s << k << 255 << "ab";
        QTest::newRow("line beyond 16 bits") << "[s]\nk=" + QByteArray(70000, 'v') << s << k << 255 << QString(254, u'v');
        QTest::newRow("keys, each once") << QByteArray("[s]\nKey=1\n;c=2\n=3\nkey=4\n[S]\nx=5\n") << s << Absent << 255
                                         << "Key" + Nul + Nul + "x" + Nul;
        QTest::newRow("sections") << QByteArray("x=0\n[a]\nk=1\n[]\n[A]\n") << Absent << Absent << 255 << "a" + Nul + Nul;
        // As Windows reads them, and as editors of both worlds save them.
        QTest::newRow("quotes removed") << QByteArray("[s]\nk = \"Hallo\" \n") << s << k << 255 << "Hallo";
        QTest::newRow("single quotes removed") << QByteArray("[s]\nk='Hallo'") << s << k << 255 << "Hallo";
        QTest::newRow("blanks inside quotes kept") << QByteArray("[s]\nk=\" a \"\n") << s << k << 255 << " a ";
        QTest::newRow("quotes that do not match") << QByteArray("[s]\nk=\"Hallo'\n") << s << k << 255 << "\"Hallo'";
        QTest::newRow("^Z, VT, FF are blanks") << QByteArray("\x1a[s]\x0c\nk=\x1ax\x0b\n") << s << k << 255 << "x";
        QTest::newRow("bare CR ends a line") << QByteArray("[F]\rk=1\r") << "F" << k << 255 << "1";
        QTest::newRow("CR CR LF ends a line") << QByteArray("[s]\r\nk=1\r\r\n") << s << k << 255 << "1";
        QTest::newRow("mixed line ends") << QByteArray("[a]\r\nx=1\n[s]\rj=2\r\r\nk=3\n\rl=4") << s << "l" << 255 << "4";
        QTest::newRow("UTF-16 LE") << Utf16("[s]\r\nk=Grün \u65e5\U0001F600\r\n") << s << k << 255 << "Grün \u65e5\U0001F600";
        QTest::newRow("UTF-16 LE, keys") << Utf16("[s]\r\nÄ=1\r\n[t]\r\n[S]\r\nb=2\r") << s << Absent << 255 << "Ä" + Nul + "b" + Nul;
        QTest::newRow("UTF-16 LE, odd last byte") << Utf16("[s]\nk=1") + 'x' << s << k << 255 << "1";
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xef\xbb\xbf[s]\nk=Gr\xc3\xbcn\n") << s << k << 255 << "Grün";
        QTest::newRow("UTF-8 as typed") << QByteArray("[Gr\xc3\xb6\xc3\x9f" "e]\nk=Gr\xc3\xbcn \xe2\x82\xac\n") << "größe" << k << 255 << "Grün €";
        QTest::newRow("not all UTF-8: Windows-1252") << QByteArray("[s]\nk=Gr\xc3\xbcn\nj=\xfc\n") << s << k << 255 << "GrÃ¼n";
        QTest::newRow("list cut") << QByteArray("[abc]\n[def]\n") << Absent << Absent << 8 << "abc" + Nul + "de";
    }
    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(int, size);
        QFETCH(QString, expected);
        if (!file.isNull())
            QVERIFY(WriteBytes(m_path, file));
        QCOMPARE(Read(m_path, section, key, size), expected);
        QCOMPARE(ReadBytes(m_path), file);
    }

    // A write changes only the line it must; one whose text would not stay one entry on one line
    // is refused with 0 and changes nothing.
    void writes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("after");  // null: refused
        const QString s = QStringLiteral("s"), k = QStringLiteral("k");
        const QByteArray file("[s]\nk=old\n");
        QTest::newRow("replace, spelling kept") << QByteArray("[S]\n Key = old \n") << s << "KEY" << "new" << QByteArray("[S]\n Key = new\n");
        QTest::newRow("same value, bytes kept") << QByteArray("[s]\nk =  v  \n") << s << k << "v" << QByteArray("[s]\nk =  v  \n");
        QTest::newRow("everything else kept")
            << QByteArray("; head\n\n[a]\n; note\nx = 1\n\n[Unknown]\nfoo\n\xff\x01 junk\n[s]\r\nk=old\n\n[b]\ny=2") << s << k << "new"
            << QByteArray("; head\n\n[a]\n; note\nx = 1\n\n[Unknown]\nfoo\n\xff\x01 junk\n[s]\r\nk=new\n\n[b]\ny=2");
        QTest::newRow("new key after the section's last entry")
            << QByteArray("[a]\nx=1\njunk\n\n; about b\n[b]\n") << "a" << "z" << "3" << QByteArray("[a]\nx=1\njunk\nz=3\n\n; about b\n[b]\n");
        QTest::newRow("new key, first of a twice section") << QByteArray("[a]\n[b]\n[a]\ny=2\n") << "a" << k << "v" << QByteArray("[a]\nk=v\n[b]\n[a]\ny=2\n");
        QTest::newRow("new section") << QByteArray("; top\n[a]\n") << "b" << k << "v" << QByteArray("; top\n[a]\n[b]\nk=v\n");
        QTest::newRow("8-bit text") << QByteArray() << "Größe" << "Ä" << "Übel €" << QByteArray("[Gr\xf6\xdf" "e]\n\xc4=\xdc" "bel \x80\n");
        QTest::newRow("beyond the code page: ?") << QByteArray() << s << k << "a\u65e5b\U0001F600c" << QByteArray("[s]\nk=a?b?c\n");
        QTest::newRow("delete key everywhere") << QByteArray("[a]\nx=1\nX=2\n[a]\nx=3\ny=4\n") << "A" << "x" << Absent << QByteArray("[a]\n[a]\ny=4\n");
        QTest::newRow("delete section everywhere") << QByteArray("; c\n[a]\nx=1\n; in a\n\n[b]\n[A]\nx=2") << "a" << Absent << Absent << QByteArray("; c\n[b]\n");
        QTest::newRow("quotes of its own kept") << QByteArray("[s]\r\nk=\r\n") << s << k << "\"a\"" << QByteArray("[s]\r\nk=\"\"a\"\"\r\n");
        QTest::newRow("blanks around kept") << QByteArray() << s << k << " a" << QByteArray("[s]\nk=\" a\"\n");
        QTest::newRow("bare CR line ends") << QByteArray("[s]\rk=old\r[t]\r") << s << "j" << "neu" << QByteArray("[s]\rk=old\rj=neu\r[t]\r");
        QTest::newRow("bare CR before LF: CR LF") << QByteArray("[s]\rk=1\n\n") << s << "j" << "2" << QByteArray("[s]\rk=1\nj=2\r\n\n");
        QTest::newRow("CR CR LF line ends") << QByteArray("[s]\r\r\nk=old\r\r\n") << "t" << k << "v" << QByteArray("[s]\r\r\nk=old\r\r\n[t]\r\r\nk=v\r\r\n");
        QTest::newRow("UTF-16 LE") << Utf16("[s]\r\nk=alt\r\n; Grün") << s << k << "Grün \u65e5" << Utf16("[s]\r\nk=Grün \u65e5\r\n; Grün");
        QTest::newRow("UTF-16 LE, new section") << Utf16("[s]\r\nk=alt") << "t" << k << "\u65e5" << Utf16("[s]\r\nk=alt\r\n[t]\r\nk=\u65e5\r\n");
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xef\xbb\xbf[s]\nk=\n") << s << k << "Grün \u65e5" << QByteArray("\xef\xbb\xbf[s]\nk=Gr\xc3\xbcn \xe6\x97\xa5\n");
        QTest::newRow("UTF-8") << QByteArray("; \xc3\xa4\n[s]\n") << s << k << "\u65e5" << QByteArray("; \xc3\xa4\n[s]\nk=\xe6\x97\xa5\n");
        QTest::newRow("UTF-16 LE, delete key") << Utf16("[a]\r\nx=1\r\n[b]\r\nx=2") << "a" << "x" << Absent << Utf16("[a]\r\n[b]\r\nx=2");
        QTest::newRow("Windows-1252 cannot hold the key") << file << s << "\u65e5" << "v" << QByteArray();
        QTest::newRow("absent section") << file << Absent << k << "v" << QByteArray();
        QTest::newRow("LF in text") << file << s << k << "a\nb" << QByteArray();
        QTest::newRow("NUL in text") << file << s << k << "a" + Nul << QByteArray();
        QTest::newRow("line break in key") << file << s << "k\r[x]" << "v" << QByteArray();
        QTest::newRow("= in key") << file << s << "a=b" << "v" << QByteArray();
        QTest::newRow("key like a section") << file << s << "[k" << "v" << QByteArray();
        QTest::newRow("] in section") << file << "s]x" << k << "v" << QByteArray();
    }
    void writes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QByteArray, after);
        if (!before.isNull())
            QVERIFY(WriteBytes(m_path, before));
        QCOMPARE(Write(m_path, section, key, text) != 0, !after.isNull());
        QCOMPARE(ReadBytes(m_path), after.isNull() ? before : after);
    }

    void nothingToDeleteCreatesNoFile()
    {
        QCOMPARE(Write(m_path, QStringLiteral("s"), QStringLiteral("k"), Absent), 1);
        QCOMPARE(Write(m_path, QStringLiteral("s"), Absent, Absent), 1);
        QVERIFY(!QFile::exists(m_path));
    }

    // Whatever stops a write, every write gives 0, the old file stays as it was and no temporary
    // file is left. A file that cannot be read is never written over; a pipe is not waited on.
    void failedWriteKeepsOldFile_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("disk full") << "disk full";
        if (!RunningAsRoot())
            QTest::newRow("file not readable") << "file not readable";
        QTest::newRow("pipe in place of the file") << "pipe";
    }
    void failedWriteKeepsOldFile()
    {
        QFETCH(QString, failure);
        const QByteArray before = "; keep me\n" + QByteArray(4096, 'x') + "\n[s]\nk=old\n";
        QTemporaryDir folder(m_dir.filePath(QStringLiteral("inner-XXXXXX")));
        const QString path = folder.filePath(QStringLiteral("test.lng"));
        const QByteArray name = QFile::encodeName(path);
        if (failure == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(name.constData(), 0600), 0);
        else
            QVERIFY(WriteBytes(path, before));
        if (failure == QLatin1String("file not readable"))
            QCOMPARE(::chmod(name.constData(), 0200), 0);
        const QStringList entries = Entries(folder.path());
        const QString s = QStringLiteral("s"), k = QStringLiteral("k"), v = QStringLiteral("new");
        std::optional<FileSizeLimit> limit;
        if (failure == QLatin1String("disk full"))
            limit.emplace(1024);
        const QList<qint32> results{Write(path, s, k, v), Write(path, QStringLiteral("t"), k, v), Write(path, s, Absent, Absent)};
        limit.reset();
        ::chmod(name.constData(), 0600);
        QCOMPARE(results, (QList<qint32>{0, 0, 0}));
        QCOMPARE(Entries(folder.path()), entries);
        if (failure != QLatin1String("pipe"))
            QCOMPARE(ReadBytes(path), before);
    }
};

QTEST_APPLESS_MAIN(ProfileFileTest)
#include "ProfileFileTest.moc"
