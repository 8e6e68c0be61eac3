// The profile file functions: reads, byte-exact writes, safe replacement, random files.
#include "localisation/ProfileFile.h"

#include "support/TestFiles.h"
#include "localisation/AnsiText.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

using ProfileFile::GetPrivateProfileStringA;
using ProfileFile::OptionalText;
using ProfileFile::WritePrivateProfileStringA;

namespace {

// Table rows mark an absent argument with this text.
const QString Absent = QStringLiteral("<absent>");
const QString Nul(QChar(0));

OptionalText Arg(const QString &text)
{
    return text == Absent ? OptionalText() : OptionalText(text);
}

QString Read(const QString &path, const OptionalText &section, const OptionalText &key, qint32 size = 255)
{
    QString buffer;
    GetPrivateProfileStringA(section, key, QStringLiteral("dflt"), buffer, size, path);
    return buffer;
}

qint32 Write(const QString &path, const char *section, const char *key, const char *text)
{
    const auto arg = [](const char *s) { return s ? OptionalText(QString::fromUtf8(s)) : OptionalText(); };
    return WritePrivateProfileStringA(arg(section), arg(key), arg(text), path);
}

QStringList FolderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class ProfileFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_temp->isValid());
        m_path = m_temp->filePath(QStringLiteral("test.lng"));
    }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: no file
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("expected");
        const QString s = QStringLiteral("s"), k = QStringLiteral("k");
        QTest::newRow("entry") << QByteArray("[s]\nk=v\n") << s << k << 255 << "v";
        QTest::newRow("names ignore case") << QByteArray("[Sec]\nKey=v\n") << "sEC" << "kEY" << 255 << "v";
        QTest::newRow("umlaut names ignore case") << QByteArray("[\xc4rger]\n\xd6l=v\n") << "ärger" << "öL" << 255 << "v";
        QTest::newRow("blanks around") << QByteArray(" [ s ] \n \t k \t= \t v w \t\n") << " s " << "k " << 255 << "v w";
        QTest::newRow("first key wins") << QByteArray("[s]\nk=1\nk=2\n") << s << k << 255 << "1";
        QTest::newRow("repeated section") << QByteArray("[s]\na=1\n[t]\nk=0\n[S]\nk=2\n") << s << k << 255 << "2";
        QTest::newRow("other section") << QByteArray("[t]\nk=v\n") << s << k << 255 << "dflt";
        QTest::newRow("before any section") << QByteArray("k=v\n[s]\n") << s << k << 255 << "dflt";
        QTest::newRow("comment") << QByteArray("[s]\n;k=v\n") << s << k << 255 << "dflt";
        QTest::newRow("no =") << QByteArray("[s]\nk\n") << s << k << 255 << "dflt";
        QTest::newRow("empty value") << QByteArray("[s]\nk=\n") << s << k << 255 << "";
        QTest::newRow("= in value") << QByteArray("[s]\nk=a=b\n") << s << k << 255 << "a=b";
        QTest::newRow("missing file") << QByteArray() << s << k << 255 << "dflt";
        QTest::newRow("CR LF") << QByteArray("[s]\r\nk=v\r\n") << s << k << 255 << "v";
        QTest::newRow("8-bit text") << QByteArray("[s]\nk=\xe4\xf6\xfc\xdf\x80\x81") << s << k << 255 << "äöüß€\u0081";
        QTest::newRow("NUL ends value") << QByteArray("[s]\nk=ab\0cd\n", 12) << s << k << 255 << "ab";
        QTest::newRow("NUL ends key") << QByteArray("[s]\nk\0x=v\n", 10) << s << k << 255 << "v";
        QTest::newRow("value cut") << QByteArray("[s]\nk=abcdef\n") << s << k << 4 << "abc";
        QTest::newRow("default cut") << QByteArray() << s << k << 3 << "df";
        QTest::newRow("size 0") << QByteArray("[s]\nk=v\n") << s << k << 0 << "";
        QTest::newRow("3 MB line") << "[s]\nk=" + QByteArray(3 << 20, 'v') << s << k << 255 << QString(254, u'v');
        QTest::newRow("keys") << QByteArray("[s]\na=1\n;c=2\nb=2\n[t]\nc=3\n") << s << Absent << 255 << "a" + Nul + "b" + Nul;
        QTest::newRow("keys once") << QByteArray("[s]\nKey=1\nkey=2\n[S]\nKEY=3\nx=4\n") << s << Absent << 255 << "Key" + Nul + "x" + Nul;
        QTest::newRow("keys, empty name") << QByteArray("[s]\n=1\nb=2\n") << s << Absent << 255 << Nul + "b" + Nul;
        QTest::newRow("keys, no section") << QByteArray("[t]\nk=1\n") << s << Absent << 255 << "";
        QTest::newRow("sections") << QByteArray("x=0\n[a]\nk=1\n[]\n[A]\n") << Absent << Absent << 255 << "a" + Nul + Nul;
        QTest::newRow("sections, key given") << QByteArray("[a]\n") << Absent << k << 255 << "a" + Nul;
        QTest::newRow("list fits") << QByteArray("[abc]\n[def]\n") << Absent << Absent << 9 << "abc" + Nul + "def" + Nul;
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
        QString buffer = QStringLiteral("stale");
        QCOMPARE(GetPrivateProfileStringA(Arg(section), Arg(key), QStringLiteral("dflt"), buffer, size, m_path), expected.size());
        QCOMPARE(buffer, expected);
        QCOMPARE(Read(m_path, QStringLiteral("x"), QStringLiteral("y")), QStringLiteral("dflt"));
        QCOMPARE(ReadBytes(m_path), file);
    }

    // A write changes only what it must; refused writes (a text that would not stay one entry on
    // one line) return 0 and change nothing.
    void writes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("after"); // null: refused
        const QString s = QStringLiteral("s"), k = QStringLiteral("k");
        const QByteArray file("[s]\nk=old\n");
        QTest::newRow("replace") << file << s << k << "new" << QByteArray("[s]\nk=new\n");
        QTest::newRow("replace, spelling kept") << QByteArray("[S]\n Key = old \n") << s << "KEY" << "new" << QByteArray("[S]\n Key = new\n");
        QTest::newRow("replace blank") << QByteArray("[s]\nk =  \t\nj=1\n") << s << k << "v" << QByteArray("[s]\nk =v\nj=1\n");
        QTest::newRow("replace first") << QByteArray("[s]\nk=1\nk=2\n") << s << k << "3" << QByteArray("[s]\nk=3\nk=2\n");
        QTest::newRow("repeated section") << QByteArray("[s]\na=1\n[t]\n[s]\nk=2\n") << s << k << "3" << QByteArray("[s]\na=1\n[t]\n[s]\nk=3\n");
        QTest::newRow("same value") << QByteArray("[s]\nk =  v  \n") << s << k << "v" << QByteArray("[s]\nk =  v  \n");
        QTest::newRow("everything else kept")
            << QByteArray("; head\n\n[a]\n; note\nx = 1\n\n[Unknown]\nfoo\n\xff\x01 junk\n[s]\r\nk=old\n\n[b]\ny=2") << s << k << "new"
            << QByteArray("; head\n\n[a]\n; note\nx = 1\n\n[Unknown]\nfoo\n\xff\x01 junk\n[s]\r\nk=new\n\n[b]\ny=2");
        QTest::newRow("new key at end of section")
            << QByteArray("[a]\nx=1\njunk\n\n; about b\n[b]\n") << "a" << "z" << "3" << QByteArray("[a]\nx=1\njunk\nz=3\n\n; about b\n[b]\n");
        QTest::newRow("new key, empty section") << QByteArray("[a]\n[b]\n") << "a" << k << "v" << QByteArray("[a]\nk=v\n[b]\n");
        QTest::newRow("new key, first occurrence") << QByteArray("[a]\n[b]\n[a]\ny=2\n") << "a" << k << "v" << QByteArray("[a]\nk=v\n[b]\n[a]\ny=2\n");
        QTest::newRow("new key, no final line end") << QByteArray("[a]\nx=1") << "a" << "y" << "2" << QByteArray("[a]\nx=1\ny=2\n");
        QTest::newRow("new key, CR LF") << QByteArray("[a]\r\nx=1\r\n") << "a" << "y" << "2" << QByteArray("[a]\r\nx=1\r\ny=2\r\n");
        QTest::newRow("new section") << QByteArray("; top\n[a]\n") << "b" << k << "v" << QByteArray("; top\n[a]\n[b]\nk=v\n");
        QTest::newRow("new section, no final line end") << QByteArray("[a]\nx=1") << "b" << k << "v" << QByteArray("[a]\nx=1\n[b]\nk=v\n");
        QTest::newRow("new section, CR LF") << QByteArray("[a]\r\n") << "b" << k << "v" << QByteArray("[a]\r\n[b]\r\nk=v\r\n");
        QTest::newRow("new file") << QByteArray() << " b " << " k " << " v" << QByteArray("[b]\nk= v\n");
        QTest::newRow("8-bit text") << QByteArray() << "Größe" << "Ä" << "Übel €" << QByteArray("[Gr\xf6\xdf" "e]\n\xc4=\xdc" "bel \x80\n");
        QTest::newRow("beyond the code page") << QByteArray() << s << k << "a\u65e5\u672cb\U0001F600c" << QByteArray("[s]\nk=a??b?c\n");
        QTest::newRow("delete key") << QByteArray("[a]\nx=1\ny=2\n[b]\nx=3\n") << "a" << "x" << Absent << QByteArray("[a]\ny=2\n[b]\nx=3\n");
        QTest::newRow("delete key everywhere") << QByteArray("[a]\nx=1\nX=2\n[a]\nx=3\ny=4\n") << "A" << "x" << Absent << QByteArray("[a]\n[a]\ny=4\n");
        QTest::newRow("delete last key") << QByteArray("[a]\ny=2\nx=1") << "a" << "x" << Absent << QByteArray("[a]\ny=2\n");
        QTest::newRow("delete section") << QByteArray("; c\n[a]\nx=1\n; in a\n\n[b]\n") << "a" << Absent << Absent << QByteArray("; c\n[b]\n");
        QTest::newRow("delete section everywhere") << QByteArray("[a]\nx=1\n[b]\n[A]\nx=2") << "a" << Absent << "t" << QByteArray("[b]\n");
        QTest::newRow("absent section") << file << Absent << k << "v" << QByteArray();
        QTest::newRow("LF in text") << file << s << k << "a\nb" << QByteArray();
        QTest::newRow("NUL in text") << file << s << k << "a" + Nul << QByteArray();
        QTest::newRow("line break in key") << file << s << "k\n[x]" << "v" << QByteArray();
        QTest::newRow("= in key") << file << s << "a=b" << "v" << QByteArray();
        QTest::newRow("key like a section") << file << s << "[k" << "v" << QByteArray();
        QTest::newRow("] in section") << file << "s]x" << k << "v" << QByteArray();
        QTest::newRow("line break in section") << file << "s\n" << Absent << Absent << QByteArray();
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
        QCOMPARE(WritePrivateProfileStringA(Arg(section), Arg(key), Arg(text), m_path) != 0, !after.isNull());
        QCOMPARE(ReadBytes(m_path), after.isNull() ? before : after);
        if (!after.isNull() && key != Absent && text != Absent)
            QCOMPARE(Read(m_path, section, key), AnsiText::ToUnicode(AnsiText::FromUnicode(text)).trimmed());
    }

    void deletingFromNoFileCreatesNone()
    {
        QCOMPARE(Write(m_path, "s", "k", nullptr), 1);
        QCOMPARE(Write(m_path, "s", nullptr, nullptr), 1);
        QVERIFY(!QFile::exists(m_path));
        QCOMPARE(Write(m_path, "s", "k", "v"), 1);
        QCOMPARE(Write(QString(), "s", "k", "v"), 0);
    }

    void replacementKeepsPermissionsAndLinks()
    {
        const QString target = m_temp->filePath(QStringLiteral("target.lng"));
        QVERIFY(WriteBytes(target, "[s]\nk=old\n"));
        QVERIFY(QFile::link(target, m_path));
        for (const int permissions : {0640, 0666, 0604}) {
            QCOMPARE(::chmod(QFile::encodeName(target).constData(), mode_t(permissions)), 0);
            const QStringList entries = FolderEntries(m_temp->path());
            QCOMPARE(Write(m_path, "s", "k", QByteArray::number(permissions).constData()), 1);
            struct stat info {};
            QCOMPARE(::stat(QFile::encodeName(target).constData(), &info), 0);
            QCOMPARE(int(info.st_mode & 0777), permissions);
            QVERIFY(QFileInfo(m_path).isSymLink());
            QCOMPARE(ReadBytes(target), "[s]\nk=" + QByteArray::number(permissions) + '\n');
            QCOMPARE(FolderEntries(m_temp->path()), entries);
        }
    }

    // Whatever stops a write, the old file stays as it was, no temporary file is left, and reads
    // give the default.
    void failedWriteKeepsOldFile_data()
    {
        QTest::addColumn<QString>("failure");
        for (const char *failure : {"disk full", "folder not writable", "file not writable", "file not readable",
                                    "directory in place of the file", "parent is a file", "pipe in place of the file"})
            QTest::newRow(failure) << QString::fromLatin1(failure);
    }
    void failedWriteKeepsOldFile()
    {
        QFETCH(QString, failure);
        const QByteArray before = "; keep me\n" + QByteArray(4096, 'x') + "\n[s]\nk=old\n";
        const bool byPermissions = failure.contains(QLatin1String(" not "));
        if (byPermissions && RunningAsRoot())
            QSKIP("permission bits do not stop root");
        QTemporaryDir folder(m_temp->filePath(QStringLiteral("inner-XXXXXX")));
        QString path = folder.filePath(QStringLiteral("test.lng"));
        QString kept = path; // where the old content lies
        rlimit oldLimit{};
        if (failure == QLatin1String("directory in place of the file")) {
            QVERIFY(QDir().mkdir(path));
            kept = path + QStringLiteral("/inside");
        } else if (failure == QLatin1String("pipe in place of the file")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            kept.clear();
        }
        if (!kept.isEmpty())
            QVERIFY(WriteBytes(kept, before));
        if (failure == QLatin1String("parent is a file"))
            path += QStringLiteral("/test.lng");
        else if (failure == QLatin1String("folder not writable"))
            QCOMPARE(::chmod(QFile::encodeName(folder.path()).constData(), 0500), 0);
        else if (byPermissions)
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), failure.contains(QLatin1String("writable")) ? 0400 : 0200), 0);
        if (failure == QLatin1String("disk full")) {
            // A file size limit fails the write as a full disk would, for root too.
            std::signal(SIGXFSZ, SIG_IGN);
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
            rlimit small = oldLimit;
            small.rlim_cur = 1024;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        const QStringList entries = FolderEntries(folder.path());

        const qint32 replaced = Write(path, "s", "k", "new");
        const qint32 added = Write(path, "t", "k", "new");
        const qint32 deleted = Write(path, "s", nullptr, nullptr);
        if (failure == QLatin1String("disk full"))
            setrlimit(RLIMIT_FSIZE, &oldLimit);
        ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
        if (byPermissions && failure != QLatin1String("folder not writable"))
            ::chmod(QFile::encodeName(path).constData(), 0600);

        QCOMPARE(replaced, 0);
        QCOMPARE(added, 0);
        // Deleting from a file that is not there has nothing to do.
        QCOMPARE(deleted, failure == QLatin1String("parent is a file") ? 1 : 0);
        QCOMPARE(FolderEntries(folder.path()), entries);
        if (!kept.isEmpty())
            QCOMPARE(ReadBytes(kept), before);
        if (!byPermissions && failure != QLatin1String("disk full"))
            QCOMPARE(Read(path, QStringLiteral("s"), QStringLiteral("k")), QStringLiteral("dflt"));
    }

    // Random files and random edits: never a crash, every write reads back, and bytes outside
    // the edited line stay where they were.
    void randomFiles()
    {
        QRandomGenerator random(20240611);
        const QByteArray alphabet("ab AB[]=;\t\r\n\n\0\xe4\xc4\xff", 18);
        const QStringList names = {"a", "B", "ab", "", "ä", " a "};
        const char16_t valueCharacters[] = u"xyz äÄ€\u65e5";
        for (int round = 0; round < 400; ++round) {
            QByteArray file;
            for (int i = random.bounded(round % 50 == 0 ? 20000 : 200); i > 0; --i)
                file.append(random.bounded(4) == 0 ? char(random.bounded(256)) : alphabet.at(random.bounded(alphabet.size())));
            QVERIFY(WriteBytes(m_path, file));
            const QString section = names.at(random.bounded(names.size()));
            const QString key = names.at(random.bounded(names.size()));
            QString value;
            for (int i = random.bounded(8); i > 0; --i)
                value.append(QChar(valueCharacters[random.bounded(8)]));
            const QByteArray context = QStringLiteral("round %1, [%2] %3=%4").arg(round).arg(section, key, value).toUtf8();
            (void)Read(m_path, std::nullopt, std::nullopt, 64);
            (void)Read(m_path, section, std::nullopt, 8192);

            switch (random.bounded(4)) {
            case 0: {
                QVERIFY2(WritePrivateProfileStringA(section, key, value, m_path), context);
                const QByteArray after = ReadBytes(m_path);
                qsizetype prefix = 0, suffix = 0;
                while (prefix < file.size() && prefix < after.size() && file[prefix] == after[prefix])
                    ++prefix;
                while (suffix < file.size() - prefix && suffix < after.size() - prefix
                       && file[file.size() - 1 - suffix] == after[after.size() - 1 - suffix])
                    ++suffix;
                QVERIFY2(!file.mid(prefix, file.size() - prefix - suffix).contains('\n'), context);
                QCOMPARE(Read(m_path, section, key), value.replace(u'\u65e5', u'?').trimmed());
                break;
            }
            case 1:
                QVERIFY2(WritePrivateProfileStringA(section, key, std::nullopt, m_path), context);
                QCOMPARE(Read(m_path, section, key), QStringLiteral("dflt"));
                break;
            case 2:
                QVERIFY2(WritePrivateProfileStringA(section, std::nullopt, std::nullopt, m_path), context);
                QCOMPARE(Read(m_path, section, std::nullopt), QString());
                break;
            default:
                QCOMPARE(WritePrivateProfileStringA(section, key, value + QStringLiteral("\n[x]"), m_path), 0);
                QCOMPARE(ReadBytes(m_path), file);
            }
        }
    }

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_path;
};

QTEST_APPLESS_MAIN(ProfileFileTest)
#include "ProfileFileTest.moc"
