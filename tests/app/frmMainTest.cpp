// The main window's facts that only a real desktop shows: above other windows from the start,
// every caption readable in the design font, and the program writing its language file.
#include "app/frmMain.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "support/TestFiles.h"
#include "support/X11TestDesktop.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTemporaryDir>

class frmMainTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void aboveOtherWindowsFromTheStart()
    {
        mdlI18n::LanguageFile().setPath(m_dir.filePath(QStringLiteral("pixolva.lng")));
        frmMain window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(X11TestDesktop::IsAbove(window.winId()));
    }

    // Every caption fits its design box in the window's font.
    void noTextIsClipped()
    {
        frmMain window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int checked = 0;
        for (QWidget *w : window.findChildren<QWidget *>()) {
            const QFontMetrics fm = w->fontMetrics();
            int room = 0, text = 0;
            if (auto *label = qobject_cast<QLabel *>(w)) {
                room = label->contentsRect().width();
                text = fm.horizontalAdvance(QString(label->text()).remove(QLatin1Char('&')));
                QVERIFY2(fm.height() <= label->height(), qPrintable(w->objectName()));
            } else if (auto *radio = qobject_cast<QRadioButton *>(w)) {
                QStyleOptionButton option;
                option.initFrom(radio);
                option.text = radio->text();
                room = radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio).width();
                text = fm.horizontalAdvance(radio->text().remove(QLatin1Char('&')));
            } else if (auto *button = qobject_cast<QPushButton *>(w)) {
                room = button->width() - 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
                text = fm.horizontalAdvance(button->text().remove(QLatin1Char('&')));
            } else if (auto *frame = qobject_cast<QGroupBox *>(w)) {
                room = frame->width() - 20;
                text = fm.horizontalAdvance(frame->title());
            } else {
                continue;
            }
            QVERIFY2(text <= room, qPrintable(QStringLiteral("%1: %2 > %3").arg(w->objectName()).arg(text).arg(room)));
            ++checked;
        }
        QCOMPARE(checked, 11);
    }

    // The real program, started from a folder of its own, creates pixolva.lng beside itself.
    void firstStartWritesEveryText()
    {
        const QString program = m_dir.filePath(QStringLiteral("bin/pixolva"));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("bin")));
        QVERIFY(QFile::copy(QStringLiteral(PIXOLVA_EXECUTABLE), program));
        QProcess process;
        process.start(program, {});
        const QString lng = m_dir.filePath(QStringLiteral("bin/pixolva.lng"));
        QTRY_VERIFY_WITH_TIMEOUT(ReadBytes(lng).contains("strCaptureWindow="), 10000);
        process.terminate();
        QVERIFY(process.waitForFinished());

        const QByteArray bytes = ReadBytes(lng);
        QList<QByteArray> keys;
        for (const QByteArray &line : bytes.trimmed().split('\n'))
            keys << line.split('=').first();
        QCOMPARE(keys.join(' '),
                 QByteArray("[frmMain] lblDez.Caption lblDez.ToolTipText txtDec.ToolTipText lblHex.Caption "
                            "lblHex.ToolTipText txtHex.ToolTipText lblR.Caption lblR.ToolTipText txtR.ToolTipText "
                            "lblG.Caption lblG.ToolTipText txtG.ToolTipText lblB.Caption lblB.ToolTipText "
                            "txtB.ToolTipText cmdAbout.Caption cmdAbout.ToolTipText fraScreenShot.Caption "
                            "fraScreenShot.ToolTipText cmdWindow.Caption cmdWindow.ToolTipText cmdDesktop.Caption "
                            "cmdDesktop.ToolTipText optClipboard.Caption optClipboard.ToolTipText optFile.Caption "
                            "optFile.ToolTipText strSaveBmpFiles strCaptureScreen strCaptureWindow strCaptureWindowDialog"));
        // The built-in German texts as 8-bit text, the umlaut one byte, the line break as "\n".
        QVERIFY(bytes.contains("\nlblG.Caption=&Gr\xfcn\n"));
        QVERIFY(bytes.contains("\nstrCaptureScreen=Der Desktop wird in 2 Sekunden kopiert.\\nAktivieren Sie jetzt die "
                               "gew\xfcnschten Fenster!\n"));
    }
};

QTEST_MAIN(frmMainTest)
#include "frmMainTest.moc"
