// The About box: Ctrl+Tab between its pages, links of the shown page, the system information button.
#include "about/SysInfoLauncher.h"
#include "about/TabKeys.h"
#include "about/frmAbout.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "support/TestFiles.h"

#include <QtWidgets>
#include <QtTest>

class frmAboutTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    frmAbout *m_dialog = nullptr;
    QStringList m_opened;

    template <typename T = QWidget>
    T *Control(const char *name) const { return m_dialog->findChild<T *>(QLatin1String(name)); }
    // The page whose panel is in sight and takes input; -1 when that is not exactly one.
    int ShownPage() const
    {
        const auto shown = [this](const char *page) { return Control(page)->isEnabled() && Control(page)->x() >= 0; };
        return shown("picAbout0") == shown("picAbout1") ? -1 : shown("picAbout0") ? 0 : 1;
    }

private Q_SLOTS:
    void initTestCase()
    {
        mdlI18n::LanguageFile().setPath(m_dir.filePath(QStringLiteral("pixolva.lng")));
        frmAbout::SetAddressOpenerForTesting([this](const QString &address) { m_opened << address; });
        m_dialog = new frmAbout;
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog));
    }
    void cleanupTestCase() { delete m_dialog; }

    // Ctrl+Tab, with Shift or as Backtab too, wraps round the two pages; Alt does not matter.
    void pagesAndTheirLinks()
    {
        QCOMPARE(TabKeys::TabAfterKey(Qt::Key_Backtab, Qt::ControlModifier | Qt::AltModifier, 1, 2), 0);
        QCOMPARE(TabKeys::TabAfterKey(Qt::Key_Tab, Qt::ShiftModifier, 0, 2), -1);
        auto *tabs = Control<QTabBar>("tbsAbout");
        QCOMPARE(ShownPage(), 0);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCOMPARE(ShownPage(), 1);
        Control("cmdOK")->setFocus();
        QTest::keyClick(m_dialog->windowHandle(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(ShownPage(), 0);
        QCOMPARE(QApplication::focusWidget(), Control("cmdOK"));
        // Only the shown page's links reach the address opener.
        auto *web = Control<QLabel>("lblLink1");
        auto *mail = Control<QLabel>("lblMail1");
        QTest::mouseClick(web, Qt::LeftButton);  // on the parked page
        Control<QTabBar>("tbsAbout")->setCurrentIndex(1);
        QTest::mouseClick(web, Qt::RightButton);
        QTest::mouseClick(Control("Label5"), Qt::LeftButton);  // no link
        QCOMPARE(m_opened, QStringList());
        QTest::mouseClick(web, Qt::LeftButton);
        QTest::mouseClick(mail, Qt::LeftButton);
        QCOMPARE(m_opened, QStringList({"http://" + web->text() + "/", "mailto:" + mail->text() + "?subject=Pixolva"}));
    }

    // The first candidate on the PATH that can run is the one started; Escape closes.
    void sysInfoButtonStartsTheFirstProgramFound()
    {
        QTemporaryDir bin;
        for (const char *name : {"hardinfo2", "kinfocenter", "gnome-system-monitor"}) {
            const QString path = bin.filePath(QLatin1String(name));
            QVERIFY(WriteBytes(path, "#!/bin/sh\n: > '" + QFile::encodeName(path) + ".started'\n"));
            if (qstrcmp(name, "hardinfo2") != 0)  // first in order, but cannot run
                QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner));
        }
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));
        const QString found = SysInfoLauncher::FindProgram();
        QTest::mouseClick(Control("cmdSysInfo"), Qt::LeftButton);
        qputenv("PATH", path);
        QCOMPARE(found, bin.filePath(QStringLiteral("kinfocenter")));
        QTRY_VERIFY(QFile::exists(found + QStringLiteral(".started")));
        QTest::keyClick(m_dialog->windowHandle(), Qt::Key_Escape);
        QVERIFY(!m_dialog->isVisible());
    }
};

QTEST_MAIN(frmAboutTest)
#include "frmAboutTest.moc"
