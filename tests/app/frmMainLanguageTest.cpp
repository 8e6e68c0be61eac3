// The main window and its language file: the first start writes every text, later starts show
// the translation, blank entries are filled in again, and a broken file costs nothing.
#include "app/frmMain.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "support/TestFiles.h"

#include <QtTest>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

namespace {
// Every key the main window produces, in the order a fresh file receives them.
QStringList ExpectedKeys()
{
    QStringList keys;
    const auto withTip = [&keys](const char *name) {
        keys << QLatin1String(name) + QStringLiteral(".Caption") << QLatin1String(name) + QStringLiteral(".ToolTipText");
    };
    const auto tipOnly = [&keys](const char *name) { keys << QLatin1String(name) + QStringLiteral(".ToolTipText"); };
    withTip("lblDez");
    tipOnly("txtDec");
    withTip("lblHex");
    tipOnly("txtHex");
    withTip("lblR");
    tipOnly("txtR");
    withTip("lblG");
    tipOnly("txtG");
    withTip("lblB");
    tipOnly("txtB");
    withTip("cmdAbout");
    withTip("fraScreenShot");
    withTip("cmdWindow");
    withTip("cmdDesktop");
    withTip("optClipboard");
    withTip("optFile");
    keys << QStringLiteral("strSaveBmpFiles") << QStringLiteral("strCaptureScreen") << QStringLiteral("strCaptureWindow");
    return keys;
}
}

class frmMainLanguageTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_files = 0;

    // A window whose lookups go to a language file holding the given bytes (none: no file).
    std::unique_ptr<frmMain> Open(const QByteArray *content, QString *path = nullptr)
    {
        const QString file = m_dir.filePath(QStringLiteral("lang%1.lng").arg(++m_files));
        if (content && !WriteBytes(file, *content))
            qFatal("cannot write %s", qPrintable(file));
        mdlI18n::LanguageFile().setPath(file);
        if (path)
            *path = file;
        return std::make_unique<frmMain>();
    }

private Q_SLOTS:
    // The real program, started from a folder of its own, creates pixolva.lng beside itself.
    void firstStartWritesEveryText()
    {
        const QString program = m_dir.filePath(QStringLiteral("pixolva"));
        QVERIFY(QFile::copy(QStringLiteral(PIXOLVA_EXECUTABLE), program));
        QProcess process;
        process.start(program, {});
        QVERIFY(process.waitForStarted());
        const QString lng = m_dir.filePath(QStringLiteral("pixolva.lng"));
        QTRY_VERIFY_WITH_TIMEOUT(ReadBytes(lng).contains("strCaptureWindow="), 10000);
        process.terminate();
        process.waitForFinished();

        const QByteArray bytes = ReadBytes(lng);
        const QList<QByteArray> lines = bytes.trimmed().split('\n');
        QCOMPARE(lines.first(), QByteArray("[frmMain]"));
        QStringList keys;
        for (const QByteArray &line : lines.mid(1))
            keys << QString::fromLatin1(line.left(line.indexOf('=')));
        QCOMPARE(keys, ExpectedKeys());
        // The built-in German texts, as 8-bit text with the umlaut as one byte.
        QVERIFY(bytes.contains("\nlblG.Caption=&Gr\xfcn\n"));
        QVERIFY(bytes.contains("\nstrCaptureScreen=Der Desktop wird in 2 Sekunden kopiert.\\nAktivieren Sie jetzt die "
                               "gew\xfcnschten Fenster!\n"));
        QVERIFY(bytes.contains("\noptClipboard.Caption=&Zwischenablage\n"));
        QVERIFY(bytes.contains("\ncmdAbout.ToolTipText=\n"));
    }

    void translationIsShownAndKept()
    {
        const QByteArray content = "; Englisch\n[frmMain]\ncmdAbout.Caption=About\nlblR.Caption=&Red\n"
                                   "cmdAbout.ToolTipText=Who made <b>this</b>\n";
        QString path;
        auto window = Open(&content, &path);
        QCOMPARE(window->findChild<QPushButton *>(QStringLiteral("cmdAbout"))->text(), QStringLiteral("About"));
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("lblR"))->text(), QStringLiteral("&Red"));
        QVERIFY(ReadBytes(path).startsWith(content));
        // The other texts are completed behind the translated ones.
        QVERIFY(ReadBytes(path).contains("\nlblG.Caption=&Gr\xfcn\n"));
    }

    void blankEntryIsWrittenAgain()
    {
        const QByteArray content = "[frmMain]\nlblB.Caption=   \n";
        QString path;
        auto window = Open(&content, &path);
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("lblB"))->text(), QStringLiteral("&Blau"));
        QVERIFY(ReadBytes(path).startsWith("[frmMain]\nlblB.Caption=&Blau\n"));
    }

    // Whatever is wrong with the file, the window opens with its built-in texts.
    void brokenFilesShowTheBuiltInTexts_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("garbage bytes") << 0;
        QTest::newRow("NULs and a very long line") << 1;
        QTest::newRow("a directory in its place") << 2;
    }
    void brokenFilesShowTheBuiltInTexts()
    {
        QFETCH(int, kind);
        QByteArray content;
        QString path = m_dir.filePath(QStringLiteral("broken%1.lng").arg(kind));
        if (kind == 0) {
            for (int i = 0; i < 4096; ++i)
                content.append(char((i * 7919 + 13) % 256));
        } else if (kind == 1) {
            content = QByteArray("[frmMain]\n\0\0cmdWindow.Caption=\0x\n", 32) + QByteArray(200000, 'x') + "\n";
        }
        if (kind == 2)
            QVERIFY(QDir().mkpath(path));
        else
            QVERIFY(WriteBytes(path, content));
        mdlI18n::LanguageFile().setPath(path);
        frmMain window;
        QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("cmdDesktop"))->text(), QStringLiteral("Desk&top"));
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblG"))->text(), QString::fromUtf8("&Grün"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Pixolva v1.01"));
        if (kind != 2) // what was in the file is still there
            QVERIFY(ReadBytes(path).startsWith(content.left(1000)));
    }
};

QTEST_MAIN(frmMainLanguageTest)
#include "frmMainLanguageTest.moc"
