// The save dialog as the capture commands open it: typed names, replacing files, what it shows
// and what a cancel leaves, the chosen file type, and names in folders that do not exist.
#include "capture/mdlFileDialog.h"
#include "support/ModalWatcher.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace mdlFileDialog;
using ModalWatcher::WhenModal;

namespace {
void TypeAndConfirm(QFileDialog *dialog, const QString &name)
{
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    edit->setText(name);
    QTest::keyClick(edit, Qt::Key_Return);
}

const QString Filter = BuildDialogFilter({QStringLiteral("Bitmap"), QStringLiteral("*.bmp"), QStringLiteral("Alle"),
                                          QStringLiteral("*")});
}

class FileDialogTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    qint32 m_flags = 0;
    qint32 m_filterIndex = 1;

    QString Save(const QString &name = QString())
    {
        return ShowSaveDialog(m_flags, m_dir.path(), Filter, m_filterIndex, QStringLiteral("bmp"), name,
                              QStringLiteral("Speichern"), nullptr);
    }

private Q_SLOTS:
    void init()
    {
        m_flags = 0;
        m_filterIndex = 1;
    }
    void cleanup() { ModalWatcher::Clear(); }

    // The default extension is added; the program's current folder stays, whatever the user does.
    void typedNameGetsTheExtension()
    {
        const QString current = QDir::currentPath();
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("sub")));
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            dialog->setDirectory(m_dir.filePath(QStringLiteral("sub")));  // the user moves on
            TypeAndConfirm(dialog, QStringLiteral("shot"));
        });
        QCOMPARE(Save(), m_dir.filePath(QStringLiteral("sub/shot.bmp")));
        QCOMPARE(m_flags, DefaultSaveFlags);
        QCOMPARE(QDir::currentPath(), current);
    }

    void replacingAsks()
    {
        QFile old(m_dir.filePath(QStringLiteral("old.bmp")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        QString question;
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            WhenModal<QMessageBox>([&](QMessageBox *box) {
                question = box->text();
                box->button(QMessageBox::Yes)->click();
            }, dialog);
            TypeAndConfirm(dialog, QStringLiteral("old"));
        });
        QCOMPARE(Save(), old.fileName());
        QVERIFY2(question.contains(QLatin1String("old.bmp")), qPrintable(question));
    }

    void cancelLeavesEverything()
    {
        QString shown;
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            shown = QStringList({dialog->windowTitle(), dialog->directory().path(), dialog->selectedNameFilter(),
                                 dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text()}).join(u'|');
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        m_flags = FlagOverwritePrompt;
        m_filterIndex = 2;
        QCOMPARE(Save(QStringLiteral("bild.bmp")), QString());
        QCOMPARE(shown, QStringLiteral("Speichern|") + m_dir.path() + QStringLiteral("|Alle|bild.bmp"));
        QCOMPARE(m_flags, FlagOverwritePrompt);
        QCOMPARE(m_filterIndex, 2);
    }

    void chosenFileTypeComesBack()
    {
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))->setCurrentIndex(1);
            TypeAndConfirm(dialog, QStringLiteral("typed.bmp"));
        });
        QCOMPARE(Save(), m_dir.filePath(QStringLiteral("typed.bmp")));
        QCOMPARE(m_filterIndex, 2);
    }

    void missingFolderIsRefused()
    {
        QString warning;
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            WhenModal<QMessageBox>([&, dialog](QMessageBox *box) {
                warning = box->text();
                box->button(QMessageBox::Ok)->click();
                QVERIFY(dialog->isVisible());
                QTest::keyClick(dialog, Qt::Key_Escape);
            }, dialog);
            TypeAndConfirm(dialog, QStringLiteral("fehlt/shot"));
        });
        QCOMPARE(Save(), QString());
        QVERIFY2(warning.contains(m_dir.filePath(QStringLiteral("fehlt"))), qPrintable(warning));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("fehlt"))));
    }
};

QTEST_MAIN(FileDialogTest)
#include "FileDialogTest.moc"
