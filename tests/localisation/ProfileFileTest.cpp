// The profile file functions: reads, writes, byte-exact edits, safe replacement, random files.
#include "localisation/ProfileFile.h"

#include "localisation/AnsiText.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using ProfileFile::GetPrivateProfileStringA;
using ProfileFile::OptionalText;
using ProfileFile::WritePrivateProfileStringA;

namespace {

// Table rows mark an absent argument with this text.
const QString Absent = QStringLiteral("<absent>");

OptionalText Arg(const QString &text)
{
    return text == Absent ? OptionalText() : OptionalText(text);
}

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Read(const QString &path, const QString &section, const QString &key, qint32 size = 255)
{
    QString buffer;
    GetPrivateProfileStringA(section, key, QString(), buffer, size, path);
    return buffer;
}

QStringList FolderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

bool RunningAsRoot()
{
    return ::geteuid() == 0;
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
        m_path = m_dir().filePath(QStringLiteral("test.lng"));
    }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("expected");

        const QString s = QStringLiteral("s");
        const QString k = QStringLiteral("k");
        const QString d = QStringLiteral("dflt");
        QTest::newRow("entry") << QByteArray("[s]\nk=v\n") << s << k << d << 255 << "v";
        QTest::newRow("names ignore case") << QByteArray("[Sec]\nKey=v\n") << "sEC" << "kEY" << d << 255 << "v";
        QTest::newRow("umlaut names ignore case") << QByteArray("[\xc4rger]\n\xd6l=v\n") << "ärger" << "öL" << d << 255 << "v";
        QTest::newRow("blanks around names and value") << QByteArray(" [ s ] \n \t k \t= \t v w \t\n") << " s " << "k " << d << 255 << "v w";
        QTest::newRow("first key wins") << QByteArray("[s]\nk=1\nk=2\n") << s << k << d << 255 << "1";
        QTest::newRow("repeated section is one section") << QByteArray("[s]\na=1\n[t]\nk=0\n[S]\nk=2\n") << s << k << d << 255 << "2";
        QTest::newRow("other section") << QByteArray("[t]\nk=v\n") << s << k << d << 255 << "dflt";
        QTest::newRow("entry before any section") << QByteArray("k=v\n[s]\n") << s << k << d << 255 << "dflt";
        QTest::newRow("comment is no entry") << QByteArray("[s]\n;k=v\n") << s << k << d << 255 << "dflt";
        QTest::newRow("line without =") << QByteArray("[s]\nk\n") << s << k << d << 255 << "dflt";
        QTest::newRow("empty value") << QByteArray("[s]\nk=\n") << s << k << d << 255 << "";
        QTest::newRow("= in value") << QByteArray("[s]\nk=a=b\n") << s << k << d << 255 << "a=b";
        QTest::newRow("absent default") << QByteArray("[s]\n") << s << k << Absent << 255 << "";
        QTest::newRow("missing file") << QByteArray() << s << k << d << 255 << "dflt";
        QTest::newRow("CR LF") << QByteArray("[s]\r\nk=v\r\n") << s << k << d << 255 << "v";
        QTest::newRow("last line without end") << QByteArray("[s]\nk=v") << s << k << d << 255 << "v";
        QTest::newRow("8-bit text") << QByteArray("[s]\nk=\xe4\xf6\xfc\xdf\x80\x81") << s << k << d << 255
                                    << QStringLiteral("äöüß€\u0081");
        QTest::newRow("NUL ends value") << QByteArray("[s]\nk=ab\0cd\n", 12) << s << k << d << 255 << "ab";
        QTest::newRow("NUL ends key") << QByteArray("[s]\nk\0x=v\n", 10) << s << k << d << 255 << "v";
        QTest::newRow("value cut to size") << QByteArray("[s]\nk=abcdef\n") << s << k << d << 4 << "abc";
        QTest::newRow("default cut to size") << QByteArray() << s << k << d << 3 << "df";
        QTest::newRow("size 1") << QByteArray("[s]\nk=v\n") << s << k << d << 1 << "";
        QTest::newRow("size 0") << QByteArray("[s]\nk=v\n") << s << k << d << 0 << "";

        const QString nul(QChar(0));
        QTest::newRow("keys") << QByteArray("[s]\na=1\n;c=2\nb=2\n[t]\nc=3\n") << s << Absent << d << 255
                              << "a" + nul + "b" + nul;
        QTest::newRow("keys once, first spelling") << QByteArray("[s]\nKey=1\nkey=2\n[S]\nKEY=3\nx=4\n") << s << Absent << d << 255
                                                   << "Key" + nul + "x" + nul;
        QTest::newRow("keys with empty name") << QByteArray("[s]\n=1\nb=2\n") << s << Absent << d << 255
                                              << nul + "b" + nul;
        QTest::newRow("keys of empty section") << QByteArray("[s]\n[t]\nk=1\n") << s << Absent << d << 255 << "";
        QTest::newRow("keys of missing section") << QByteArray("[t]\nk=1\n") << s << Absent << d << 255 << "";
        QTest::newRow("sections") << QByteArray("x=0\n[a]\nk=1\n[b]\n[A]\n") << Absent << Absent << d << 255
                                  << "a" + nul + "b" + nul;
        QTest::newRow("sections with empty name") << QByteArray("[]\n[b]\n") << Absent << Absent << d << 255
                                                  << nul + "b" + nul;
        QTest::newRow("sections, key given") << QByteArray("[a]\n") << Absent << k << d << 255 << "a" + nul;
        QTest::newRow("list fits exactly") << QByteArray("[abc]\n[def]\n") << Absent << Absent << d << 9
                                           << "abc" + nul + "def" + nul;
        QTest::newRow("list cut") << QByteArray("[abc]\n[def]\n") << Absent << Absent << d << 8
                                  << "abc" + nul + "de";
        QTest::newRow("list cut after a name") << QByteArray("[abc]\n[def]\n") << Absent << Absent << d << 6
                                               << "abc" + nul;
    }
    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, defaultText);
        QFETCH(int, size);
        QFETCH(QString, expected);
        if (!file.isNull())
            QVERIFY(WriteBytes(m_path, file));

        QString buffer = QStringLiteral("stale");
        const qint32 n = GetPrivateProfileStringA(Arg(section), Arg(key), Arg(defaultText), buffer, size, m_path);
        QCOMPARE(buffer, expected);
        QCOMPARE(n, expected.size());
        QCOMPARE(ReadBytes(m_path), file);
    }

    void writes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("replace") << QByteArray("[s]\nk=old\n") << "s" << "k" << "new" << QByteArray("[s]\nk=new\n");
        QTest::newRow("replace keeps the spelling before the value")
            << QByteArray("[S]\n  Key = old  \n") << "s" << "KEY" << "new" << QByteArray("[S]\n  Key = new\n");
        QTest::newRow("replace empty value") << QByteArray("[s]\nk=\nj=1\n") << "s" << "k" << "v" << QByteArray("[s]\nk=v\nj=1\n");
        QTest::newRow("replace blank value") << QByteArray("[s]\nk =  \t\n") << "s" << "k" << "v" << QByteArray("[s]\nk =v\n");
        QTest::newRow("replace first of two") << QByteArray("[s]\nk=1\nk=2\n") << "s" << "k" << "3" << QByteArray("[s]\nk=3\nk=2\n");
        QTest::newRow("replace in repeated section")
            << QByteArray("[s]\na=1\n[t]\n[s]\nk=2\n") << "s" << "k" << "3" << QByteArray("[s]\na=1\n[t]\n[s]\nk=3\n");
        QTest::newRow("same value leaves the file alone")
            << QByteArray("[s]\nk =  v  \n") << "s" << "k" << "v" << QByteArray("[s]\nk =  v  \n");
        QTest::newRow("everything else kept")
            << QByteArray("; head\n\n[a]\n; note\nx = 1\n\n[Unknown]\nfoo\n\xff\x01 junk\n[s]\r\nk=old\n\n[b]\ny=2")
            << "s" << "k" << "new"
            << QByteArray("; head\n\n[a]\n; note\nx = 1\n\n[Unknown]\nfoo\n\xff\x01 junk\n[s]\r\nk=new\n\n[b]\ny=2");
        QTest::newRow("new key at end of section")
            << QByteArray("[a]\nx=1\n\n; about b\n[b]\ny=2\n") << "a" << "z" << "3"
            << QByteArray("[a]\nx=1\nz=3\n\n; about b\n[b]\ny=2\n");
        QTest::newRow("new key after garbage of its section")
            << QByteArray("[a]\nx=1\njunk\n[b]\n") << "a" << "z" << "3" << QByteArray("[a]\nx=1\njunk\nz=3\n[b]\n");
        QTest::newRow("new key in empty section") << QByteArray("[a]\n[b]\n") << "a" << "k" << "v" << QByteArray("[a]\nk=v\n[b]\n");
        QTest::newRow("new key goes to first occurrence")
            << QByteArray("[a]\nx=1\n[b]\n[a]\ny=2\n") << "a" << "z" << "3" << QByteArray("[a]\nx=1\nz=3\n[b]\n[a]\ny=2\n");
        QTest::newRow("new key, last line without end")
            << QByteArray("[a]\nx=1") << "a" << "y" << "2" << QByteArray("[a]\nx=1\ny=2\n");
        QTest::newRow("new key, CR LF file")
            << QByteArray("[a]\r\nx=1\r\n") << "a" << "y" << "2" << QByteArray("[a]\r\nx=1\r\ny=2\r\n");
        QTest::newRow("new section at end") << QByteArray("; top\n[a]\nx=1\n") << "b" << "k" << "v"
                                            << QByteArray("; top\n[a]\nx=1\n[b]\nk=v\n");
        QTest::newRow("new section, last line without end")
            << QByteArray("[a]\nx=1") << "b" << "k" << "v" << QByteArray("[a]\nx=1\n[b]\nk=v\n");
        QTest::newRow("new section, CR LF file")
            << QByteArray("[a]\r\nx=1\r\n") << "b" << "k" << "v" << QByteArray("[a]\r\nx=1\r\n[b]\r\nk=v\r\n");
        QTest::newRow("new section in empty file") << QByteArray("") << "b" << "k" << "v" << QByteArray("[b]\nk=v\n");
        QTest::newRow("names written without blanks") << QByteArray("") << " b " << " k " << " v" << QByteArray("[b]\nk= v\n");
        QTest::newRow("8-bit text") << QByteArray("") << "Größe" << "Ä" << "Übel €" << QByteArray("[Gr\xf6\xdf" "e]\n\xc4=\xdc" "bel \x80\n");
        QTest::newRow("characters the code page lacks") << QByteArray("") << "s" << "k" << QStringLiteral("a\u65e5\u672cb\U0001F600c")
                                                        << QByteArray("[s]\nk=a??b?c\n");

        QTest::newRow("delete key") << QByteArray("[a]\nx=1\ny=2\n[b]\nx=3\n") << "a" << "x" << Absent
                                    << QByteArray("[a]\ny=2\n[b]\nx=3\n");
        QTest::newRow("delete key and its duplicates")
            << QByteArray("[a]\nx=1\nX=2\n[a]\nx=3\ny=4\n") << "A" << "x" << Absent << QByteArray("[a]\n[a]\ny=4\n");
        QTest::newRow("delete last key without end") << QByteArray("[a]\ny=2\nx=1") << "a" << "x" << Absent << QByteArray("[a]\ny=2\n");
        QTest::newRow("delete missing key") << QByteArray("[a]\ny=2\n") << "a" << "x" << Absent << QByteArray("[a]\ny=2\n");
        QTest::newRow("delete section")
            << QByteArray("; c\n[a]\nx=1\n; inside a\n\n[b]\ny=2\n") << "a" << Absent << Absent << QByteArray("; c\n[b]\ny=2\n");
        QTest::newRow("delete last section") << QByteArray("[b]\ny=2\n[a]\nx=1") << "a" << Absent << Absent << QByteArray("[b]\ny=2\n");
        QTest::newRow("delete repeated section")
            << QByteArray("[a]\nx=1\n[b]\n[A]\nx=2\n") << "a" << Absent << Absent << QByteArray("[b]\n");
        QTest::newRow("delete missing section") << QByteArray("[b]\n") << "a" << Absent << Absent << QByteArray("[b]\n");
        QTest::newRow("delete section, text given") << QByteArray("[a]\nx=1\n[b]\n") << "a" << Absent << "t" << QByteArray("[b]\n");
    }
    void writes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QByteArray, after);
        QVERIFY(WriteBytes(m_path, before));

        QVERIFY(WritePrivateProfileStringA(Arg(section), Arg(key), Arg(text), m_path) != 0);
        QCOMPARE(ReadBytes(m_path), after);
        if (key != Absent && text != Absent)
            QCOMPARE(Read(m_path, section, key), AnsiText::ToUnicode(AnsiText::FromUnicode(text)).trimmed());
    }

    // Arguments that would not stay one entry on one line are refused and change nothing.
    void refusedWrites_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("absent section") << Absent << "k" << "v";
        QTest::newRow("LF in text") << "s" << "k" << "a\nb";
        QTest::newRow("CR in text") << "s" << "k" << "a\rb";
        QTest::newRow("NUL in text") << "s" << "k" << QStringLiteral("a") + QChar(0) + "b";
        QTest::newRow("line break in key") << "s" << "k\n[x]" << "v";
        QTest::newRow("= in key") << "s" << "a=b" << "v";
        QTest::newRow("key like a section") << "s" << "[k" << "v";
        QTest::newRow("key like a comment") << "s" << ";k" << "v";
        QTest::newRow("] in section") << "s]x" << "k" << "v";
        QTest::newRow("line break in section") << "s\n" << "k" << "v";
        QTest::newRow("line break in section to delete") << "s\nx" << Absent << Absent;
    }
    void refusedWrites()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, text);
        const QByteArray before("[s]\nk=old\n");
        QVERIFY(WriteBytes(m_path, before));
        QCOMPARE(WritePrivateProfileStringA(Arg(section), Arg(key), Arg(text), m_path), 0);
        QCOMPARE(ReadBytes(m_path), before);
        QCOMPARE(WritePrivateProfileStringA(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v"), QString()), 0);
    }

    void missingFile()
    {
        QCOMPARE(WritePrivateProfileStringA(QStringLiteral("s"), QStringLiteral("k"), std::nullopt, m_path), 1);
        QCOMPARE(WritePrivateProfileStringA(QStringLiteral("s"), std::nullopt, std::nullopt, m_path), 1);
        QVERIFY2(!QFile::exists(m_path), "deleting from a missing file creates none");
        QCOMPARE(WritePrivateProfileStringA(QStringLiteral("s"), QStringLiteral("k"), QString(), m_path), 1);
        QCOMPARE(ReadBytes(m_path), QByteArray("[s]\nk=\n"));
    }

    void replacementKeepsPermissions_data()
    {
        QTest::addColumn<int>("permissions");
        QTest::newRow("rw-r-----") << int(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QTest::newRow("rw-rw-rw-") << int(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup
                                          | QFile::ReadOther | QFile::WriteOther);
    }
    void replacementKeepsPermissions()
    {
        QFETCH(int, permissions);
        QVERIFY(WriteBytes(m_path, "[s]\nk=old\n"));
        QVERIFY(QFile::setPermissions(m_path, QFile::Permissions(permissions)));
        const QStringList entries = FolderEntries(m_dir().path());

        QCOMPARE(WritePrivateProfileStringA(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("new"), m_path), 1);
        QCOMPARE(ReadBytes(m_path), QByteArray("[s]\nk=new\n"));
        const QFile::Permissions mask = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
            | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(int(QFile::permissions(m_path) & mask), permissions);
        QCOMPARE(FolderEntries(m_dir().path()), entries);
    }

    void linkStaysALink()
    {
        const QString target = m_dir().filePath(QStringLiteral("target.lng"));
        QVERIFY(WriteBytes(target, "[s]\nk=old\n"));
        QVERIFY(QFile::link(target, m_path));
        QCOMPARE(WritePrivateProfileStringA(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("new"), m_path), 1);
        QVERIFY(QFileInfo(m_path).isSymLink());
        QCOMPARE(ReadBytes(target), QByteArray("[s]\nk=new\n"));
    }

    // Whatever stops a write, the old file stays as it was and no temporary file is left.
    void failedWriteKeepsOldFile_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("disk full") << "fsize";
        QTest::newRow("folder not writable") << "folder";
        QTest::newRow("file not writable") << "readonly";
        QTest::newRow("file not readable") << "unreadable";
        QTest::newRow("directory in place of the file") << "directory";
        QTest::newRow("parent is a file") << "parent";
    }
    void failedWriteKeepsOldFile()
    {
        QFETCH(QString, failure);
        const QByteArray before = "; keep me\n" + QByteArray(4096, 'x') + "\n[s]\nk=old\n";
        QString path = m_path;
        QString folder = m_dir().path();
        QTemporaryDir inner(m_dir().filePath(QStringLiteral("inner-XXXXXX")));
        bool restoreLimit = false;
        rlimit oldLimit{};

        if (failure == QLatin1String("folder") || failure == QLatin1String("readonly")
            || failure == QLatin1String("unreadable")) {
            if (RunningAsRoot())
                QSKIP("permission bits do not stop root");
            folder = inner.path();
            path = inner.filePath(QStringLiteral("test.lng"));
            QVERIFY(WriteBytes(path, before));
            if (failure == QLatin1String("folder"))
                QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
            else if (failure == QLatin1String("readonly"))
                QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
            else
                QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
        } else if (failure == QLatin1String("fsize")) {
            QVERIFY(WriteBytes(path, before));
            // A file size limit fails the write as a full disk would, for root too.
            std::signal(SIGXFSZ, SIG_IGN);
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
            rlimit small = oldLimit;
            small.rlim_cur = 1024;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
            restoreLimit = true;
        } else if (failure == QLatin1String("directory")) {
            QVERIFY(QDir().mkdir(path));
            QVERIFY(WriteBytes(path + QStringLiteral("/inside"), before));
        } else if (failure == QLatin1String("parent")) {
            QVERIFY(WriteBytes(path, before));
            path += QStringLiteral("/test.lng");
        }
        const QStringList entries = FolderEntries(folder);

        const qint32 written = WritePrivateProfileStringA(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("new"), path);
        const qint32 added = WritePrivateProfileStringA(QStringLiteral("t"), QStringLiteral("k"), QStringLiteral("new"), path);
        const qint32 deleted = WritePrivateProfileStringA(QStringLiteral("s"), std::nullopt, std::nullopt, path);
        if (restoreLimit)
            setrlimit(RLIMIT_FSIZE, &oldLimit);
        if (folder == inner.path()) {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        }

        QCOMPARE(written, 0);
        QCOMPARE(added, 0);
        // Deleting from a file that is not there has nothing to do.
        QCOMPARE(deleted, failure == QLatin1String("parent") ? 1 : 0);
        QCOMPARE(FolderEntries(folder), entries);
        if (failure == QLatin1String("directory"))
            QCOMPARE(ReadBytes(path + QStringLiteral("/inside")), before);
        else if (failure == QLatin1String("parent"))
            QCOMPARE(ReadBytes(m_path), before);
        else
            QCOMPARE(ReadBytes(path), before);
    }

    void unusableFilesReadAsEmpty_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("directory") << "directory";
        QTest::newRow("pipe") << "pipe";
        QTest::newRow("parent is a file") << "parent";
    }
    void unusableFilesReadAsEmpty()
    {
        QFETCH(QString, kind);
        QString path = m_path;
        if (kind == QLatin1String("directory")) {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == QLatin1String("pipe")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else {
            QVERIFY(WriteBytes(path, "[s]\nk=v\n"));
            path += QStringLiteral("/x");
        }
        QString buffer;
        QCOMPARE(GetPrivateProfileStringA(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("d"), buffer, 255, path), 1);
        QCOMPARE(buffer, QStringLiteral("d"));
        QCOMPARE(GetPrivateProfileStringA(std::nullopt, std::nullopt, QStringLiteral("d"), buffer, 255, path), 0);
        QCOMPARE(WritePrivateProfileStringA(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v"), path), 0);
    }

    void longLines()
    {
        const QByteArray longValue(3 * 1024 * 1024, 'v');
        QVERIFY(WriteBytes(m_path, "[s]\nlong=" + longValue + "\nk=1\n"));
        QCOMPARE(Read(m_path, QStringLiteral("s"), QStringLiteral("long")), QString(254, QLatin1Char('v')));
        QCOMPARE(WritePrivateProfileStringA(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("2"), m_path), 1);
        QCOMPARE(ReadBytes(m_path), "[s]\nlong=" + longValue + "\nk=2\n");
    }

    // Random files and random edits: never a crash, every write reads back, and bytes outside
    // the edited line stay where they were.
    void randomFiles()
    {
        QRandomGenerator random(20240611);
        const QByteArray alphabet("ab AB[]=;\t\r\n\n\0\xe4\xc4\xff", 18);
        const QStringList names = {QStringLiteral("a"), QStringLiteral("B"), QStringLiteral("ab"), QStringLiteral(""),
                                   QStringLiteral("ä"), QStringLiteral(" a ")};
        for (int round = 0; round < 400; ++round) {
            QByteArray file;
            const int size = random.bounded(round % 50 == 0 ? 20000 : 200);
            for (int i = 0; i < size; ++i)
                file.append(random.bounded(4) == 0 ? char(random.bounded(256)) : alphabet.at(random.bounded(alphabet.size())));
            QVERIFY(WriteBytes(m_path, file));

            const QString section = names.at(random.bounded(names.size()));
            const QString key = names.at(random.bounded(names.size()));
            QString value;
            for (int i = random.bounded(8); i > 0; --i)
                value.append(QChar(u"xyz äÄ€\u65e5"[random.bounded(8)]));
            const int operation = random.bounded(4);
            const QString context = QStringLiteral("round %1, [%2] %3=%4, file %5")
                                        .arg(round).arg(section, key, value, QString::fromLatin1(file.toHex()));

            QString buffer;
            GetPrivateProfileStringA(section, key, std::nullopt, buffer, 255, m_path);
            GetPrivateProfileStringA(section, std::nullopt, std::nullopt, buffer, 8192, m_path);
            GetPrivateProfileStringA(std::nullopt, std::nullopt, std::nullopt, buffer, 64, m_path);

            if (operation == 0) {
                QVERIFY2(WritePrivateProfileStringA(section, key, value, m_path), qPrintable(context));
                const QByteArray after = ReadBytes(m_path);
                qsizetype prefix = 0;
                while (prefix < file.size() && prefix < after.size() && file[prefix] == after[prefix])
                    ++prefix;
                qsizetype suffix = 0;
                while (suffix < file.size() - prefix && suffix < after.size() - prefix
                       && file[file.size() - 1 - suffix] == after[after.size() - 1 - suffix])
                    ++suffix;
                const QByteArray removed = file.mid(prefix, file.size() - prefix - suffix);
                QVERIFY2(!removed.contains('\n'), qPrintable(context));
                QCOMPARE(Read(m_path, section, key), QString(value).replace(QChar(u'\u65e5'), QLatin1Char('?')).trimmed());
            } else if (operation == 1) {
                QVERIFY2(WritePrivateProfileStringA(section, key, std::nullopt, m_path), qPrintable(context));
                QCOMPARE(Read(m_path, section, key), QString());
            } else if (operation == 2) {
                QVERIFY2(WritePrivateProfileStringA(section, std::nullopt, std::nullopt, m_path), qPrintable(context));
                GetPrivateProfileStringA(section, std::nullopt, std::nullopt, buffer, 8192, m_path);
                QCOMPARE(buffer, QString());
            } else {
                QCOMPARE(WritePrivateProfileStringA(section, key, value + QStringLiteral("\n[x]"), m_path), 0);
                QCOMPARE(ReadBytes(m_path), file);
            }
        }
    }

private:
    QTemporaryDir &m_dir() { return *m_temp; }

    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_path;
};

QTEST_APPLESS_MAIN(ProfileFileTest)
#include "ProfileFileTest.moc"
