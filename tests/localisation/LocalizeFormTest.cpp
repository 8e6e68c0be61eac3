// Localising a real window: every kind of control, the keys, their order, plain-text display.
#include "localisation/LocalizeForm.h"
#include "localisation/mdlI18n.h"

#include "support/TestFiles.h"
#include "localisation/cInifile.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

class BigButton : public QPushButton
{
public:
    using QPushButton::QPushButton;
};

template<typename T>
T *Named(QWidget *parent, const char *name, const QString &text = QString())
{
    auto *control = new T(parent);
    control->setObjectName(QLatin1String(name));
    if constexpr (std::is_base_of_v<QAbstractButton, T> || std::is_same_v<T, QLabel>)
        control->setText(text);
    else if constexpr (std::is_same_v<T, QGroupBox>)
        control->setTitle(text);
    return control;
}

// A window with every kind of control the localiser knows, and some it must leave alone.
struct TestForm
{
    QWidget form;
    QLabel *lblTitle;
    QPushButton *cmdOK;
    BigButton *cmdBig;
    QGroupBox *fraOptions;
    QRadioButton *optA;
    QCheckBox *chkB;
    QLineEdit *txtValue;
    QLabel *lblInner;
    QLabel *lblNoLoc;
    QTabWidget *tbsAbout;
    QTabBar *tbsBar;
    QMenu *mnuFile;
    QAction *mnuOpen;

    TestForm()
    {
        form.setObjectName(QStringLiteral("frmTest"));
        auto *menuBar = new QMenuBar(&form);
        mnuFile = menuBar->addMenu(QStringLiteral("&Datei"));
        mnuFile->setObjectName(QStringLiteral("mnuFile"));
        mnuOpen = mnuFile->addAction(QStringLiteral("Ö&ffnen"));
        mnuOpen->setObjectName(QStringLiteral("mnuOpen"));

        lblTitle = Named<QLabel>(&form, "lblTitle", QStringLiteral("Farbwähler"));
        lblTitle->setToolTip(QStringLiteral("Der Titel"));
        cmdOK = Named<QPushButton>(&form, "cmdOK", QStringLiteral("OK"));
        cmdBig = Named<BigButton>(&form, "cmdBig", QStringLiteral("Groß"));
        fraOptions = Named<QGroupBox>(&form, "fraOptions", QStringLiteral("Ziel"));
        optA = Named<QRadioButton>(fraOptions, "optA", QStringLiteral("Zwischenablage"));
        chkB = Named<QCheckBox>(fraOptions, "chkB", QStringLiteral("Datei"));
        txtValue = Named<QLineEdit>(fraOptions, "txtValue");
        txtValue->setText(QStringLiteral("not a caption"));
        txtValue->setToolTip(QStringLiteral("Wert"));
        auto *container = new QWidget(&form); // no name: passed over, its children visited
        lblInner = Named<QLabel>(container, "lblInner", QStringLiteral("Innen\nZeile"));
        lblNoLoc = Named<QLabel>(&form, "lblNoLoc", QStringLiteral("1.01"));
        lblNoLoc->setProperty("Tag", QStringLiteral("NOLOC"));
        new QLabel(QStringLiteral("nameless"), &form);
        auto *picZoom = Named<QLabel>(&form, "picZoom");
        QPixmap pixmap(8, 8);
        pixmap.fill(Qt::red);
        picZoom->setPixmap(pixmap);
        Named<QToolButton>(&form, "tlbUnknown")->setText(QStringLiteral("unknown kind"));

        tbsAbout = Named<QTabWidget>(&form, "tbsAbout");
        const int app = tbsAbout->addTab(Named<QWidget>(tbsAbout, "pagApplication"), QStringLiteral("Anwendung"));
        Named<QPushButton>(tbsAbout->widget(app), "cmdOnPage", QStringLiteral("Auf der Seite"));
        tbsAbout->addTab(new QWidget, QStringLiteral("Autor"));
        tbsAbout->tabBar()->setTabData(0, QStringLiteral("Application"));
        tbsAbout->tabBar()->setTabData(1, QStringLiteral("Author"));
        tbsAbout->setTabToolTip(1, QStringLiteral("Wer"));
        tbsBar = Named<QTabBar>(&form, "tbsBar");
        tbsBar->addTab(QStringLiteral("Eins"));
        tbsBar->setTabData(0, QStringLiteral("One"));

        // Another window below this one is not part of it.
        auto *dialog = new QDialog(&form);
        Named<QPushButton>(dialog, "cmdInDialog", QStringLiteral("Dialog"));
    }
};

QString PlainTextOf(const QString &toolTip)
{
    if (!Qt::mightBeRichText(toolTip))
        return toolTip;
    QTextDocument document;
    document.setHtml(toolTip);
    return document.toPlainText().replace(QChar::LineSeparator, QLatin1Char('\n'));
}

} // namespace

class LocalizeFormTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_temp->isValid());
        m_path = m_temp->filePath(QStringLiteral("Pixolva.lng"));
        mdlI18n::LanguageFile().setPath(m_path);
    }

    // A fresh file holds every text of the window with its design text (a line break as "\n"),
    // in walk order, and the same bytes on every run.
    void freshFile()
    {
        const QByteArray expected = QByteArrayLiteral("[frmTest]\n"
                                                      "mnuFile.Caption=&Datei\n"
                                                      "mnuOpen.Caption=\xd6&ffnen\n"
                                                      "lblTitle.Caption=Farbw\xe4hler\n"
                                                      "lblTitle.ToolTipText=Der Titel\n"
                                                      "cmdOK.Caption=OK\n"
                                                      "cmdOK.ToolTipText=\n"
                                                      "cmdBig.Caption=Gro\xdf\n"
                                                      "cmdBig.ToolTipText=\n"
                                                      "fraOptions.Caption=Ziel\n"
                                                      "fraOptions.ToolTipText=\n"
                                                      "optA.Caption=Zwischenablage\n"
                                                      "optA.ToolTipText=\n"
                                                      "chkB.Caption=Datei\n"
                                                      "chkB.ToolTipText=\n"
                                                      "txtValue.ToolTipText=Wert\n"
                                                      "lblInner.Caption=Innen\\nZeile\n"
                                                      "lblInner.ToolTipText=\n"
                                                      "tbsApplication.Caption=Anwendung\n"
                                                      "tbsApplication.ToolTipText=\n"
                                                      "tbsAuthor.Caption=Autor\n"
                                                      "tbsAuthor.ToolTipText=Wer\n"
                                                      "cmdOnPage.Caption=Auf der Seite\n"
                                                      "cmdOnPage.ToolTipText=\n"
                                                      "tbsOne.Caption=Eins\n"
                                                      "tbsOne.ToolTipText=\n");
        for (int run = 0; run < 2; ++run) {
            QFile::remove(m_path);
            TestForm test;
            mdlI18n::LocalizeForm(&test.form);
            QCOMPARE(ReadBytes(m_path), expected);
            QCOMPARE(test.lblTitle->text(), QStringLiteral("Farbwähler"));
            QCOMPARE(test.lblInner->text(), QStringLiteral("Innen\nZeile"));
        }
    }

    void noLocInAnyCase_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("translated");
        QTest::newRow("NOLOC") << "NOLOC" << false;
        QTest::newRow("noloc") << "noloc" << false;
        QTest::newRow("NoLoc") << "NoLoc" << false;
        QTest::newRow("other tag") << "keep" << true;
    }
    void noLocInAnyCase()
    {
        QFETCH(QString, tag);
        QFETCH(bool, translated);
        QVERIFY(WriteBytes(m_path, "[frmTest]\ncmdOK.Caption=Okay\nmnuOpen.Caption=Open\ntbsOne.Caption=One\n"));
        TestForm test;
        test.cmdOK->setProperty("Tag", tag);
        test.mnuOpen->setProperty("Tag", tag);
        test.tbsBar->setProperty("Tag", tag);
        mdlI18n::LocalizeForm(&test.form);
        QCOMPARE(test.cmdOK->text(), translated ? QStringLiteral("Okay") : QStringLiteral("OK"));
        QCOMPARE(test.mnuOpen->text(), translated ? QStringLiteral("Open") : QStringLiteral("Ö&ffnen"));
        QCOMPARE(test.tbsBar->tabText(0), translated ? QStringLiteral("One") : QStringLiteral("Eins"));
        QVERIFY(!ReadBytes(m_path).contains("lblNoLoc"));
    }

    // Translations reach every kind of control as plain text; "\n" shows as a second line.
    void translations()
    {
        QVERIFY(WriteBytes(m_path, "[frmTest]\n"
                                   "lblTitle.Caption=<b>Fett</b> & <i>schr\xe4g</i>\n"
                                   "lblTitle.ToolTipText=<b>Tipp</b>\\nZeile zwei\n"
                                   "cmdOK.Caption=Zeile eins\\nZeile zwei\n"
                                   "cmdOK.ToolTipText=Klick\n"
                                   "cmdBig.Caption=Big\n"
                                   "fraOptions.Caption=<u>Target</u>\n"
                                   "optA.Caption=Clipboard\n"
                                   "chkB.Caption=File\n"
                                   "txtValue.ToolTipText=Value\n"
                                   "tbsApplication.Caption=Application\n"
                                   "tbsAuthor.ToolTipText=Who\n"
                                   "mnuFile.Caption=&File\n"
                                   "mnuOpen.Caption=&Open\n"));
        TestForm test;
        const int oneLine = test.cmdOK->sizeHint().height();
        mdlI18n::LocalizeForm(&test.form);

        QCOMPARE(test.lblTitle->text(), QStringLiteral("<b>Fett</b> & <i>schräg</i>"));
        QCOMPARE(test.lblTitle->textFormat(), Qt::PlainText);
        QCOMPARE(PlainTextOf(test.lblTitle->toolTip()), QStringLiteral("<b>Tipp</b>\nZeile zwei"));
        QCOMPARE(test.cmdOK->text(), QStringLiteral("Zeile eins\nZeile zwei"));
        QVERIFY(test.cmdOK->sizeHint().height() >= oneLine + test.cmdOK->fontMetrics().height() - 1);
        QCOMPARE(test.cmdOK->toolTip(), QStringLiteral("Klick"));
        QCOMPARE(test.cmdBig->text(), QStringLiteral("Big"));
        QCOMPARE(test.fraOptions->title(), QStringLiteral("<u>Target</u>"));
        QCOMPARE(test.optA->text(), QStringLiteral("Clipboard"));
        QCOMPARE(test.chkB->text(), QStringLiteral("File"));
        QCOMPARE(test.txtValue->toolTip(), QStringLiteral("Value"));
        QCOMPARE(test.txtValue->text(), QStringLiteral("not a caption"));
        QCOMPARE(test.tbsAbout->tabText(0), QStringLiteral("Application"));
        QCOMPARE(test.tbsAbout->tabToolTip(1), QStringLiteral("Who"));
        QCOMPARE(test.mnuFile->title(), QStringLiteral("&File"));
        QCOMPARE(test.mnuOpen->text(), QStringLiteral("&Open"));
        QCOMPARE(test.lblNoLoc->text(), QStringLiteral("1.01"));
    }

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_path;
};

QTEST_MAIN(LocalizeFormTest)
#include "LocalizeFormTest.moc"
