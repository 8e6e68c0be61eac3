// The About box as a user meets it: both pages, page switching, keys, links, system information.
#include "StandInPrograms.h"
#include "about/AboutLinks.h"
#include "about/frmAbout.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"

#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
// Panel places in pixels: 210 and -20000 twips at 15 twips per pixel.
constexpr int kShownLeft = 14;
constexpr int kParkedLeft = -1333;

const QString kDescription = QStringLiteral("Farbpipette und Bildschirmkopien für den Desktop");
const QString kLegalNotice = QStringLiteral("Warnung: Dieses Programm ist urheberrechtlich geschützt. "
                                            "Unerlaubte Vervielfältigung oder Weitergabe ist nicht gestattet.");
}

class frmAboutTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_languageDir;
    std::unique_ptr<frmAbout> m_dialog;
    QStringList m_opened;

    QTabBar *Tabs() const { return m_dialog->findChild<QTabBar *>(QStringLiteral("tbsAbout")); }
    QWidget *Panel(int i) const { return m_dialog->findChild<QWidget *>(QStringLiteral("picAbout%1").arg(i)); }
    template <typename T = QWidget>
    T *Control(const QString &name) const
    {
        T *control = m_dialog->findChild<T *>(name);
        if (!control)
            qFatal("no control %s", qPrintable(name));
        return control;
    }

    void ShowDialog()
    {
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
    }

    void ComparePages(int selected)
    {
        QCOMPARE(Tabs()->currentIndex(), selected);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(Panel(i)->x(), i == selected ? kShownLeft : kParkedLeft);
            QCOMPARE(Panel(i)->isEnabled(), i == selected);
        }
    }

    QString LanguageFilePath() const { return m_languageDir.filePath(QStringLiteral("pixolva.lng")); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_languageDir.isValid());
        mdlI18n::LanguageFile().setPath(LanguageFilePath());
    }

    void init()
    {
        m_opened.clear();
        frmAbout::SetAddressOpenerForTesting([this](const QString &address) { m_opened << address; });
        m_dialog = std::make_unique<frmAbout>();
    }

    void cleanup()
    {
        m_dialog.reset();
        frmAbout::SetAddressOpenerForTesting({});
    }

    void contents_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("page"); // -1: below the pages
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("noLoc");
        QTest::newRow("title") << "lblTitle" << 0 << "Pixolva" << false;
        QTest::newRow("version") << "lblVersion" << 0 << "Version 1.01" << true;
        QTest::newRow("description") << "lblDescription" << 0 << kDescription << false;
        QTest::newRow("name 1") << "Label1" << 1 << "Farbwerk Beispiel" << true;
        QTest::newRow("name 2") << "Label2" << 1 << "Softwareentwicklung" << true;
        QTest::newRow("name 3") << "Label3" << 1 << "GmbH" << true;
        QTest::newRow("web 1") << "lblLink1" << 1 << "www.example.com" << true;
        QTest::newRow("web 2") << "lblLink2" << 1 << "www.example.net" << true;
        QTest::newRow("street") << "Label11" << 1 << "Musterstraße 12" << true;
        QTest::newRow("town") << "Label12" << 1 << "12345 Musterstadt" << true;
        QTest::newRow("country") << "Label13" << 1 << "Deutschland" << true;
        QTest::newRow("telephone caption") << "Label4" << 1 << "telefon" << true;
        QTest::newRow("telephone") << "Label5" << 1 << "+49 30 1234560" << true;
        QTest::newRow("fax caption") << "Label6" << 1 << "telefax" << true;
        QTest::newRow("fax") << "Label7" << 1 << "+49 30 1234569" << true;
        QTest::newRow("mail caption") << "Label8" << 1 << "e-mail" << true;
        QTest::newRow("mail 1") << "lblMail1" << 1 << "info@example.com" << true;
        QTest::newRow("mail 2") << "lblMail2" << 1 << "hilfe@example.net" << true;
        QTest::newRow("legal notice") << "lblDisclaimer" << -1 << kLegalNotice << true;
    }
    void contents()
    {
        QFETCH(QString, control);
        QFETCH(int, page);
        QFETCH(QString, text);
        QFETCH(bool, noLoc);
        auto *label = Control<QLabel>(control);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->property("Tag").toString() == QLatin1String("NOLOC"), noLoc);
        if (page < 0)
            QCOMPARE(label->parentWidget(), m_dialog.get());
        else
            QVERIFY(Panel(page)->isAncestorOf(label));
    }

    void frame()
    {
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Info über Pixolva"));
        QCOMPARE(m_dialog->size(), QSize(362, 338));
        QCOMPARE(Tabs()->count(), 2);
        QCOMPARE(Tabs()->tabText(0), QStringLiteral("Anwendung"));
        QCOMPARE(Tabs()->tabData(0).toString(), QStringLiteral("Application"));
        QCOMPARE(Tabs()->tabText(1), QStringLiteral("Autor"));
        QCOMPARE(Tabs()->tabData(1).toString(), QStringLiteral("Author"));
        QCOMPARE(Control<QPushButton>(QStringLiteral("cmdOK"))->text(), QStringLiteral("OK"));
        QVERIFY(Control<QPushButton>(QStringLiteral("cmdOK"))->isDefault());
        QCOMPARE(Control<QPushButton>(QStringLiteral("cmdSysInfo"))->text(), QStringLiteral("&System-Info..."));
        // Opens on "Anwendung"; the "Autor" panel waits out of sight.
        ComparePages(0);
    }

    void linkLabelsLookLikeLinks()
    {
        for (const char *name : {"lblLink1", "lblLink2", "lblMail1", "lblMail2"}) {
            auto *label = Control<QLabel>(QString::fromLatin1(name));
            QCOMPARE(label->palette().color(label->foregroundRole()), QColor(128, 0, 0));
            QCOMPARE(label->cursor().shape(), Qt::BitmapCursor);
            QCOMPARE(label->cursor().hotSpot(), QPoint(11, 1));
        }
        auto *plain = Control<QLabel>(QStringLiteral("Label5"));
        QCOMPARE(plain->palette().color(plain->foregroundRole()), plain->palette().color(QPalette::Text));
    }

    // Every text shows in full in the desktop font.
    void noTextIsClipped()
    {
        for (QLabel *label : m_dialog->findChildren<QLabel *>()) {
            const QFontMetrics metrics(label->font());
            const QRect needed = metrics.boundingRect(QRect(0, 0, label->width(), 10000),
                                                      label->wordWrap() ? int(Qt::TextWordWrap) : 0, label->text());
            QVERIFY2(needed.width() <= label->width() && metrics.height() <= label->height()
                         && needed.height() <= label->height() + metrics.descent(),
                     qPrintable(label->objectName()));
        }
        for (QPushButton *button : m_dialog->findChildren<QPushButton *>())
            QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->objectName()));
        QVERIFY(Tabs()->geometry().right() < m_dialog->width());
    }

    void pageSwitchingByMouse()
    {
        ShowDialog();
        QTest::mouseClick(Tabs(), Qt::LeftButton, {}, Tabs()->tabRect(1).center());
        ComparePages(1);
        QTest::mouseClick(Tabs(), Qt::LeftButton, {}, Tabs()->tabRect(0).center());
        ComparePages(0);
    }

    void keys_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("startTab");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("expectedTab");
        QTest::addColumn<QString>("expectedFocus");

        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
        const QStringList chain = {QStringLiteral("tbsAbout"), QStringLiteral("cmdOK"), QStringLiteral("cmdSysInfo")};
        for (int f = 0; f < chain.size(); ++f) {
            const QString focus = chain[f];
            const QByteArray at = " on " + focus.toLatin1();
            QTest::newRow("Ctrl+Tab to the next" + at) << focus << 0 << int(Qt::Key_Tab) << ctrl << 1 << focus;
            QTest::newRow("Ctrl+Tab wraps to the first" + at) << focus << 1 << int(Qt::Key_Tab) << ctrl << 0 << focus;
            QTest::newRow("Ctrl+Shift+Tab wraps to the last" + at)
                << focus << 0 << int(Qt::Key_Tab) << ctrlShift << 1 << focus;
            QTest::newRow("Ctrl+Shift+Backtab" + at) << focus << 1 << int(Qt::Key_Backtab) << ctrlShift << 0 << focus;
            // Without Ctrl, Tab keeps moving the focus and leaves the page alone.
            QTest::newRow("Tab" + at) << focus << 1 << int(Qt::Key_Tab) << Qt::KeyboardModifiers() << 1
                                      << chain[(f + 1) % chain.size()];
        }
    }
    void keys()
    {
        QFETCH(QString, focus);
        QFETCH(int, startTab);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, expectedTab);
        QFETCH(QString, expectedFocus);

        ShowDialog();
        Tabs()->setCurrentIndex(startTab);
        Control(focus)->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), Control(focus));

        QTest::keyClick(m_dialog->windowHandle(), Qt::Key(key), modifiers);

        ComparePages(expectedTab);
        QCOMPARE(QApplication::focusWidget()->objectName(), expectedFocus);
        QVERIFY(m_dialog->isVisible());
    }

    void closeKeys_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::newRow("Return on tbsAbout") << "tbsAbout" << int(Qt::Key_Return);
        QTest::newRow("Enter on cmdOK") << "cmdOK" << int(Qt::Key_Enter);
        QTest::newRow("Esc on cmdSysInfo") << "cmdSysInfo" << int(Qt::Key_Escape);
    }
    void closeKeys()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        ShowDialog();
        Tabs()->setCurrentIndex(1);
        Control(focus)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(m_dialog->windowHandle(), Qt::Key(key));
        QVERIFY(!m_dialog->isVisible());
    }

    void links_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("address");
        QTest::newRow("web 1") << "lblLink1" << "http://www.example.com/";
        QTest::newRow("mail 1") << "lblMail1" << "mailto:info@example.com?subject=Pixolva";
        QTest::newRow("not a link") << "Label5" << QString();
    }
    void links()
    {
        QFETCH(QString, label);
        QFETCH(QString, address);
        ShowDialog();
        // While "Anwendung" shows, the parked page takes no clicks.
        QTest::mouseClick(Control(label), Qt::LeftButton);
        QVERIFY(m_opened.isEmpty());

        Tabs()->setCurrentIndex(1);
        QTest::mouseClick(Control(label), Qt::LeftButton);
        QCOMPARE(m_opened, address.isEmpty() ? QStringList() : QStringList{address});
        QTest::mouseClick(Control(label), Qt::RightButton);
        QCOMPARE(m_opened.size(), address.isEmpty() ? 0 : 1);
        QVERIFY(m_dialog->isVisible());
    }

    void sysInfoButton_data()
    {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("notExecutable");
        QTest::addColumn<QStringList>("brokenInterpreter");
        QTest::addColumn<QString>("expected"); // the one started, empty for none

        QTest::newRow("none") << QStringList() << QStringList() << QStringList() << QString();
        QTest::newRow("only the last candidate")
            << QStringList{"mate-system-monitor"} << QStringList() << QStringList() << "mate-system-monitor";
        QTest::newRow("first in order wins")
            << QStringList{"kinfocenter", "hardinfo", "gnome-system-monitor"} << QStringList() << QStringList()
            << "hardinfo";
        QTest::newRow("a file that cannot run is passed over")
            << QStringList{"kinfocenter"} << QStringList{"hardinfo2"} << QStringList() << "kinfocenter";
        QTest::newRow("unknown programs are not candidates")
            << QStringList{"sysinfo", "msinfo32"} << QStringList() << QStringList() << QString();
        QTest::newRow("the first found fails to start: nothing else is tried")
            << QStringList{"kinfocenter"} << QStringList() << QStringList{"hardinfo"} << QString();
    }
    void sysInfoButton()
    {
        QFETCH(QStringList, installed);
        QFETCH(QStringList, notExecutable);
        QFETCH(QStringList, brokenInterpreter);
        QFETCH(QString, expected);
        StandInPrograms programs;
        for (const QString &name : installed)
            programs.Add(name);
        for (const QString &name : notExecutable)
            programs.Add(name, false);
        for (const QString &name : brokenInterpreter)
            programs.Add(name, true, QStringLiteral("/nonexistent/sh"));
        ShowDialog();
        const QWidgetList windowsBefore = QApplication::topLevelWidgets();

        QTest::mouseClick(Control(QStringLiteral("cmdSysInfo")), Qt::LeftButton);

        if (expected.isEmpty()) {
            QTest::qWait(300);
            QCOMPARE(programs.Started(), QStringList());
        } else {
            QTRY_COMPARE(programs.Started(), QStringList{expected});
        }
        // Nothing to report either way: no message box, the box stays open as it was.
        QCOMPARE(QApplication::topLevelWidgets(), windowsBefore);
        QVERIFY(m_dialog->isVisible());
    }

    void mailSubjectKeepsSpaces()
    {
        QCOMPARE(AboutLinks::MailAddress(QStringLiteral("info@example.com"), QStringLiteral("Pixolva Pro 2")),
                 QStringLiteral("mailto:info@example.com?subject=Pixolva Pro 2"));
    }
};

QTEST_MAIN(frmAboutTest)
#include "frmAboutTest.moc"
