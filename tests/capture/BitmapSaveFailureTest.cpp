// A BMP save that cannot be completed raises error 75 and leaves the user's old file as it was.
#include "capture/CaptureOutput.h"

#include "base/RuntimeError.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

class BitmapSaveFailureTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A save on a nearly full disk used to report success and leave a truncated file in place of
    // the old one.
    void failedSaveRaisesError75_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("full disk (file size limit)") << "full disk";
        QTest::newRow("folder that is not there") << "no folder";
        if (!RunningAsRoot()) {
            QTest::newRow("read-only file") << "read-only file";
            QTest::newRow("unwritable folder") << "unwritable folder";
        }
    }
    void failedSaveRaisesError75()
    {
        QFETCH(QString, failure);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString old = folder.filePath(QStringLiteral("shot.bmp"));
        const QByteArray before(20000, 'B');
        QVERIFY(WriteBytes(old, before));
        const QString path = failure == QLatin1String("no folder") ? folder.filePath(QStringLiteral("gone/shot.bmp")) : old;
        const QByteArray folderName = QFile::encodeName(folder.path());
        if (failure == QLatin1String("read-only file"))
            QCOMPARE(::chmod(QFile::encodeName(old).constData(), 0444), 0);
        if (failure == QLatin1String("unwritable folder"))
            QCOMPARE(::chmod(folderName.constData(), 0555), 0);
        QImage picture(400, 300, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);

        rlimit oldLimit{};
        if (failure == QLatin1String("full disk")) {
            std::signal(SIGXFSZ, SIG_IGN);
            QCOMPARE(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
            rlimit small = oldLimit;
            small.rlim_cur = 64 * 1024;
            QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        int number = 0;
        QString text;
        try {
            CaptureOutput::WriteBitmapFile(picture, path);
        } catch (const RuntimeError &error) {
            number = error.number();
            text = StandardErrorText(error);
        }
        if (failure == QLatin1String("full disk"))
            ::setrlimit(RLIMIT_FSIZE, &oldLimit);
        ::chmod(folderName.constData(), 0700);

        QCOMPARE(number, 75);
        QVERIFY2(text.endsWith(QLatin1String("\r\n(Runtime-Error: 75)")), qPrintable(text));
        QCOMPARE(ReadBytes(old), before);
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("shot.bmp")});
    }
};

QTEST_GUILESS_MAIN(BitmapSaveFailureTest)
#include "BitmapSaveFailureTest.moc"
