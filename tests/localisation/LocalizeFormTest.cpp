// Localising a window: controls visited, keys written, design texts kept, translations as plain text.
#include "localisation/LocalizeForm.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"

#include "support/TestFiles.h"

#include <QtWidgets>
#include <QtTest>

namespace {
class BigButton : public QPushButton
{
public:
    using QPushButton::QPushButton;
};

template <typename T, typename... Args>
T *Named(QWidget *parent, const char *name, Args... args)
{
    auto *control = new T(args..., parent);
    control->setObjectName(QLatin1String(name));
    return control;
}

// Every kind of control the windows use, and some the localiser must pass over.
struct TestForm
{
    QWidget form;
    QLabel *lblTitle = Named<QLabel>(&form, "lblTitle", QStringLiteral("Farbwähler"));
    BigButton *cmdBig = Named<BigButton>(&form, "cmdBig", QStringLiteral("Groß"));
    QGroupBox *fraOptions = Named<QGroupBox>(&form, "fraOptions", QStringLiteral("Ziel"));
    QRadioButton *optA = Named<QRadioButton>(fraOptions, "optA", QStringLiteral("Datei"));
    QLineEdit *txtValue = Named<QLineEdit>(new QWidget(&form), "txtValue", QStringLiteral("no caption"));  // in a nameless one
    QLabel *lblNoLoc = Named<QLabel>(&form, "lblNoLoc", QStringLiteral("1.01"));
    QTabBar *tbsAbout = Named<QTabBar>(&form, "tbsAbout");

    TestForm()
    {
        form.setObjectName(QStringLiteral("frmTest"));
        txtValue->setToolTip(QStringLiteral("Wert"));
        lblNoLoc->setProperty("Tag", QStringLiteral("noloc"));
        Named<QLabel>(&form, "picZoom")->setPixmap(QPixmap(4, 4));
        Named<QToolButton>(&form, "tlbUnknown")->setText(QStringLiteral("unknown kind"));
        tbsAbout->addTab(QStringLiteral("Autor"));
        tbsAbout->setTabData(0, QStringLiteral("Author"));
        Named<QPushButton>(new QDialog(&form), "cmdInDialog", QStringLiteral("Dialog"));  // another window
    }
};
}

class LocalizeFormTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("Pixolva.lng"));

private Q_SLOTS:
    void init()
    {
        QFile::remove(m_path);
        mdlI18n::LanguageFile().setPath(m_path);
    }

    void freshFileInWalkOrder()
    {
        TestForm test;
        mdlI18n::LocalizeForm(&test.form);
        QCOMPARE(ReadBytes(m_path), QByteArray("[frmTest]\nlblTitle.Caption=Farbw\xe4hler\nlblTitle.ToolTipText=\n"
                                               "cmdBig.Caption=Gro\xdf\ncmdBig.ToolTipText=\nfraOptions.Caption=Ziel\n"
                                               "fraOptions.ToolTipText=\noptA.Caption=Datei\noptA.ToolTipText=\n"
                                               "txtValue.ToolTipText=Wert\ntbsAuthor.Caption=Autor\ntbsAuthor.ToolTipText=\n"));
    }

    // Translations, markup in them too, show as plain text; a tag keeps the design text.
    void translationsShowAsPlainText()
    {
        QVERIFY(WriteBytes(m_path, "[frmTest]\nlblTitle.Caption=<b>Fett</b>\nlblTitle.ToolTipText=<b>Tipp</b>\\nzwei\n"
                                   "cmdBig.Caption=eins\\nzwei\nfraOptions.Caption=Target\noptA.Caption=File\n"
                                   "txtValue.ToolTipText=Value\ntbsAuthor.Caption=Author\nlblNoLoc.Caption=x\n"));
        TestForm test;
        mdlI18n::LocalizeForm(&test.form);
        QTextDocument toolTip;
        toolTip.setHtml(test.lblTitle->toolTip());
        QCOMPARE(test.lblTitle->textFormat(), Qt::PlainText);
        const QStringList shown{test.lblTitle->text(), toolTip.toPlainText().replace(QChar::LineSeparator, u'\n'),
                                test.cmdBig->text(), test.fraOptions->title(), test.optA->text(), test.txtValue->toolTip(),
                                test.txtValue->text(), test.tbsAbout->tabText(0), test.lblNoLoc->text()};
        QCOMPARE(shown, (QStringList{"<b>Fett</b>", "<b>Tipp</b>\nzwei", "eins\nzwei", "Target", "File", "Value", "no caption",
                                     "Author", "1.01"}));
    }
};

QTEST_MAIN(LocalizeFormTest)
#include "LocalizeFormTest.moc"
