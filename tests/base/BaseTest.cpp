// Whole-file replacement: what the new file keeps, what a failure leaves, which temporaries go;
// error numbers and their German texts, or the language file's; the pointers at every scale; the
// lowered priority of a thread that works on spare time.
#include "base/Cursors.h"
#include "base/ErrorTexts.h"
#include "base/FileReplace.h"
#include "base/RuntimeError.h"
#include "base/SpareTime.h"

#include "support/TestFiles.h"

#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <thread>

using FileReplace::Temporary;

namespace {

struct stat Stat(const QString &path)
{
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info;
}

// A process id that no process has any more.
pid_t EndedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

} // namespace

class BaseTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_temp->isValid());
        m_path = m_temp->filePath(QStringLiteral("file.bin"));
    }

    // Root's replacement used to turn 0444 into 0644 and hand the file to root.
    void replacementKeepsModeAndOwner_data()
    {
        QTest::addColumn<Temporary>("temporary");
        QTest::addColumn<int>("mode");
        QTest::newRow("0604") << Temporary::Unnamed << 0604;
        QTest::newRow("0640, named temporary") << Temporary::Named << 0640;
        if (RunningAsRoot()) {
            QTest::newRow("0444") << Temporary::Unnamed << 0444;
        }
    }
    void replacementKeepsModeAndOwner()
    {
        QFETCH(Temporary, temporary);
        QFETCH(int, mode);
        QVERIFY(WriteBytes(m_path, "old"));
        const QByteArray name = QFile::encodeName(m_path);
        // Root keeps someone else's file theirs; others keep their own.
        const uid_t owner = RunningAsRoot() ? 65534 : ::geteuid();
        const gid_t group = RunningAsRoot() ? 65534 : ::getegid();
        QCOMPARE(::chown(name.constData(), owner, group), 0);
        QCOMPARE(::chmod(name.constData(), mode_t(mode)), 0);
        QVERIFY(FileReplace::Replace(m_path, "new", temporary));
        const struct stat info = Stat(m_path);
        QCOMPARE(int(info.st_mode & 07777), mode);
        QCOMPARE(info.st_uid, owner);
        QCOMPARE(info.st_gid, group);
        ::chmod(name.constData(), 0600);
        QCOMPARE(ReadBytes(m_path), QByteArray("new"));
        QCOMPARE(Entries(m_temp->path()), QStringList{QStringLiteral("file.bin")});
    }

    void linkStaysALink()
    {
        const QString target = m_temp->filePath(QStringLiteral("target.bin"));
        QVERIFY(WriteBytes(target, "old") && QFile::link(target, m_path));
        QVERIFY(FileReplace::Replace(m_path, "new"));
        QVERIFY(QFileInfo(m_path).isSymLink());
        QCOMPARE(ReadBytes(target), QByteArray("new"));
    }

    // A named temporary on a full disk goes again; the old file stays.
    void failedReplacementLeavesNoTemporary()
    {
        QVERIFY(WriteBytes(m_path, QByteArray(5000, 'o')));
        {
            const FileSizeLimit limit(4096);
            errno = 0;
            QVERIFY(!FileReplace::Replace(m_path, QByteArray(10000, 'n'), Temporary::Named));
            QCOMPARE(errno, EFBIG);
        }
        QCOMPARE(Entries(m_temp->path()), QStringList{QStringLiteral("file.bin")});
        QCOMPARE(ReadBytes(m_path), QByteArray(5000, 'o'));
    }

    // A crash between linking and renaming used to leave its temporary for ever.
    void staleTemporariesCleared()
    {
        QVERIFY(WriteBytes(m_path, "old"));
        const QString prefix = m_path + QStringLiteral(".tmp-");
        const QString ended = prefix + QString::number(EndedProcess());
        const QString living = prefix + QStringLiteral("1");
        const QString livingButOld = prefix + QString::number(::getppid());
        const QString notOurs = prefix + QStringLiteral("12a");
        for (const QString &path : {ended, living, livingButOld, notOurs})
            QVERIFY(WriteBytes(path, "stale"));
        const utimbuf twoHoursAgo{::time(nullptr) - 7200, ::time(nullptr) - 7200};
        QCOMPARE(::utime(QFile::encodeName(livingButOld).constData(), &twoHoursAgo), 0);

        FileReplace::ClearStaleTemporaries(m_path);
        QVERIFY(!QFile::exists(ended) && !QFile::exists(livingButOld));
        QVERIFY(QFile::exists(living) && QFile::exists(notOurs));
        QCOMPARE(ReadBytes(m_path), QByteArray("old"));
    }

    // Every error keeps its number and tells in German, in one line, what happened and what to do.
    void errorsInGerman()
    {
        const QRegularExpression english(QStringLiteral("\\b(the|not|error|invalid|file|access|picture|screen|object|"
                                                        "window|cannot|overflow)\\b"), QRegularExpression::CaseInsensitiveOption);
        for (const auto &[kind, number] : QList<std::pair<ErrorKind, int>>{
                 {ErrorKind::Overflow, 6}, {ErrorKind::NoScreen, 5}, {ErrorKind::WindowGone, 91}, {ErrorKind::WindowNotMovable, 384},
                 {ErrorKind::FileNotWritten, 75}, {ErrorKind::NoActiveWindow, 481}, {ErrorKind::MonitorGone, 481},
                 {ErrorKind::EmptyCapture, 481}}) {
            try {
                RaiseError(kind, QStringLiteral("/home/anna/bild.bmp"));
                QFAIL("nothing raised");
            } catch (const RuntimeError &e) {
                const QString text = e.description();
                QVERIFY2(e.number() == number && text.size() > 60 && !text.contains(QLatin1Char('\n'))
                             && !english.match(text).hasMatch() && text.contains(QRegularExpression(QStringLiteral("\\b\\w+ Sie\\b"))),
                         qPrintable(QStringLiteral("%1: %2").arg(e.number()).arg(text)));
                QVERIFY(kind != ErrorKind::FileNotWritten
                        || text.startsWith(QString::fromUtf8("Die Datei „/home/anna/bild.bmp“ konnte nicht geschrieben werden")));
            }
        }
    }

    // The pointers drawn for the screen's scale: as many pixels as the scale asks, the eyedropper's
    // hot spot on its (transparent) tip with the drawing reaching it, the hand's just under the
    // outline at the top of the finger.
    void pointersAtEveryScale_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("size");
        QTest::newRow("1x") << 1.0 << 32;
        QTest::newRow("1.5x") << 1.5 << 48;
        QTest::newRow("2x") << 2.0 << 64;
    }
    void pointersAtEveryScale()
    {
        QFETCH(qreal, ratio);
        QFETCH(int, size);
        const QImage eyedropper = Cursors::EyedropperImage(ratio);
        const QImage hand = Cursors::PointingHandImage(ratio);
        for (const QImage &image : {eyedropper, hand}) {
            QCOMPARE(image.size(), QSize(size, size));
            QCOMPARE(image.devicePixelRatio(), ratio);
        }
        const QPoint tip = Cursors::EyedropperHotSpotAt(ratio);
        QCOMPARE(tip, QPoint(0, size - 1));
        QCOMPARE(eyedropper.pixelColor(tip).alpha(), 0);
        QVERIFY(qAlpha(eyedropper.pixel(tip + QPoint(1, -1))) > 0);

        const QPoint fingertip = Cursors::PointingHandHotSpotAt(ratio);
        QCOMPARE(hand.pixelColor(fingertip), QColor(Qt::white));
        int top = 0;
        while (qAlpha(hand.pixel(fingertip.x(), top)) == 0)
            ++top;
        QVERIFY2(fingertip.y() - top <= qCeil(ratio) + 1 && qGray(hand.pixel(fingertip.x(), top)) < 128,
                 qPrintable(QStringLiteral("outline at %1, hot spot at %2").arg(top).arg(fingertip.y())));
        QCOMPARE(Cursors::WindowIconImage(ratio).width(), qRound(16 * ratio));
    }

    // A kind without a row used to read past the table's end; a source installed gives each
    // description as the language file has it, with the path filled in.
    void errorTextsFromTheLanguageFile()
    {
        const ErrorKind rowless = ErrorKind(999);
        QCOMPARE(ErrorNumberOf(rowless), 51);
        QVERIFY(ErrorDescription(rowless).startsWith(QStringLiteral("Interner Fehler")));
        SetTextSource([](const QString &section, const QString &key, const QString &) {
            return section + u'/' + key + QStringLiteral(" %1");
        });
        const QString translated = ErrorDescription(ErrorKind::FileNotWritten, QStringLiteral("/tmp/a.bmp"));
        SetTextSource(nullptr);
        QCOMPARE(translated, QStringLiteral("Messages/strErrorFileNotWritten /tmp/a.bmp"));
        QCOMPARE(StandardErrorText(RuntimeError(75, translated)), translated + QStringLiteral("\r\n(Runtime-Error: 75)"));
    }

    // Only the thread that asks gives way: a lowering of the whole process would slow the window
    // along with the work meant to wait for it.
    void spareTimeLowersOnlyTheCallingThread()
    {
        const int before = getpriority(PRIO_PROCESS, 0);
        int lowered = before;
        std::thread([&lowered] {
            SpareTime::LowerThisThread();
            lowered = getpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)));
        }).join();
        QVERIFY2(lowered == qMin(before + 10, 19), qPrintable(QStringLiteral("niceness %1 after %2").arg(lowered).arg(before)));
        QCOMPARE(getpriority(PRIO_PROCESS, 0), before);
        QCOMPARE(getpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid))), before);
    }

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_path;
};

QTEST_GUILESS_MAIN(BaseTest)
#include "BaseTest.moc"
