// The save dialog as a user meets it: typed names, replacing files, cancel, file types, folders.
#include "capture/mdlFileDialog.h"
#include "support/ModalWatcher.h"

#include <QtTest>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

using namespace mdlFileDialog;
using ModalWatcher::WhenModal;

namespace {

QLineEdit *FileNameEdit(QFileDialog *dialog)
{
    return dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
}

void TypeAndConfirm(QFileDialog *dialog, const QString &name)
{
    QLineEdit *edit = FileNameEdit(dialog);
    QVERIFY(edit);
    edit->setText(name);
    QTest::keyClick(edit, Qt::Key_Return);
}

void Cancel(QFileDialog *dialog)
{
    QTest::keyClick(dialog, Qt::Key_Escape);
}

QString BitmapFilter()
{
    return BuildDialogFilter({QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("*.bmp")});
}

// The save dialog as the capture commands open it.
QString SaveCapture(const QString &folder, qint32 *flagsOut = nullptr, qint32 flags = 0)
{
    qint32 filterIndex = 1;
    const QString path = ShowSaveDialog(flags, folder, BitmapFilter(), filterIndex, QStringLiteral("bmp"), QString(),
                                        QString(), nullptr);
    if (flagsOut)
        *flagsOut = flags;
    return path;
}

void Touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("old");
}

}

class FileDialogTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
    }

    void cleanup()
    {
        ModalWatcher::Clear();
    }

    void typedName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("without extension") << "shot" << "shot.bmp";
        QTest::newRow("other extension kept") << "shot.png" << "shot.png";
    }
    void typedName()
    {
        QFETCH(QString, typed);
        QFETCH(QString, chosen);

        // The dialog opens elsewhere and the user moves on to a third folder: none of it
        // moves the program's current folder.
        QTemporaryDir elsewhere;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        QDir(m_dir.path()).mkdir(QStringLiteral("sub"));
        const QString sub = m_dir.filePath(QStringLiteral("sub"));

        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            dialog->setDirectory(sub);
            TypeAndConfirm(dialog, typed);
        });
        qint32 flags = 0;
        const QString path = SaveCapture(m_dir.path(), &flags);
        const QString current = QDir::currentPath();
        QDir::setCurrent(previous);

        QCOMPARE(path, sub + QLatin1Char('/') + chosen);
        QCOMPARE(flags, 0x0038082E);
        QCOMPARE(current, elsewhere.path());
    }

    void existingFileAsksBeforeReplacing()
    {
        Touch(m_dir.filePath(QStringLiteral("old.bmp")));

        QString question;
        // First answer No: the dialog stays open; then Yes.
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            WhenModal<QMessageBox>([&, dialog](QMessageBox *box) {
                question = box->text();
                WhenModal<QMessageBox>([&](QMessageBox *again) { again->button(QMessageBox::Yes)->click(); });
                box->button(QMessageBox::No)->click();
                QVERIFY(dialog->isVisible());
                TypeAndConfirm(dialog, QStringLiteral("old"));
            });
            TypeAndConfirm(dialog, QStringLiteral("old"));
        });
        const QString path = SaveCapture(m_dir.path());

        QCOMPARE(path, m_dir.filePath(QStringLiteral("old.bmp")));
        QVERIFY2(question.contains(QStringLiteral("old.bmp")), qPrintable(question));
    }

    void withoutPromptFlagReplacesSilently()
    {
        Touch(m_dir.filePath(QStringLiteral("quiet.bmp")));
        bool asked = false;
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            WhenModal<QMessageBox>([&](QMessageBox *box) {
                asked = true;
                box->button(QMessageBox::Yes)->click();
            }, dialog);
            TypeAndConfirm(dialog, QStringLiteral("quiet"));
        });
        const QString path = SaveCapture(m_dir.path(), nullptr, DefaultSaveFlags & ~FlagOverwritePrompt);
        QTest::qWait(100);
        QCOMPARE(path, m_dir.filePath(QStringLiteral("quiet.bmp")));
        QVERIFY(!asked);
    }

    void cancelGivesEmptyText_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("flagsAfter");
        QTest::newRow("default flags") << 0 << 0x0038082E;
        QTest::newRow("caller's flags") << int(FlagOverwritePrompt | FlagEnableHook) << int(FlagOverwritePrompt | FlagEnableHook);
    }
    void cancelGivesEmptyText()
    {
        QFETCH(int, flags);
        QFETCH(int, flagsAfter);
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            FileNameEdit(dialog)->setText(QStringLiteral("typed but cancelled"));
            Cancel(dialog);
        });
        qint32 f = flags;
        qint32 filterIndex = 3;
        const QString path = ShowSaveDialog(f, m_dir.path(), BitmapFilter(), filterIndex, QStringLiteral("bmp"),
                                            QString(), QString(), nullptr);
        QCOMPARE(path, QString());
        QCOMPARE(f, flagsAfter);
        QCOMPARE(filterIndex, 3);
    }

    // What the dialog shows when it opens.
    void opening_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("shownName");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shownTitle");
        const QString longName = QString(300, QLatin1Char('n'));
        QTest::newRow("capture") << BitmapFilter() << QStringList{"Bitmap (*.bmp)"} << "" << "" << "" << "Save As";
        QTest::newRow("empty filter shows all files")
            << "" << QStringList{"AlleDateien (*.*)"} << "bild.bmp" << "bild.bmp" << "Bild speichern" << "Bild speichern";
    }
    void opening()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, types);
        QFETCH(QString, fileName);
        QFETCH(QString, shownName);
        QFETCH(QString, title);
        QFETCH(QString, shownTitle);

        QStringList shownTypes;
        QString shownFolder, shown, shownCaption;
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; combo && i < combo->count(); ++i)
                shownTypes << combo->itemText(i);
            shownFolder = dialog->directory().path();
            shown = FileNameEdit(dialog)->text();
            shownCaption = dialog->windowTitle();
            Cancel(dialog);
        });
        qint32 flags = 0;
        qint32 filterIndex = 1;
        ShowSaveDialog(flags, m_dir.path(), filter, filterIndex, QStringLiteral("bmp"), fileName, title, nullptr);

        QCOMPARE(shownTypes, types);
        QCOMPARE(shownFolder, m_dir.path());
        QCOMPARE(shown, shownName);
        QCOMPARE(shownCaption, shownTitle);
    }

    void chosenFileTypeComesBack_data()
    {
        QTest::addColumn<int>("initialIndex");
        QTest::addColumn<int>("choose");
        QTest::addColumn<int>("index");
        QTest::newRow("second as given") << 2 << -1 << 2;
        QTest::newRow("user picks the first") << 2 << 0 << 1;
        QTest::newRow("out of range shows the first") << 9 << -1 << 1;
    }
    void chosenFileTypeComesBack()
    {
        QFETCH(int, initialIndex);
        QFETCH(int, choose);
        QFETCH(int, index);
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            if (choose >= 0)
                dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))->setCurrentIndex(choose);
            TypeAndConfirm(dialog, QStringLiteral("typed"));
        });
        qint32 flags = 0;
        qint32 filterIndex = initialIndex;
        const QString filter = BuildDialogFilter({"Bitmap (*.bmp)", "*.bmp", "Alle Dateien", "*"});
        const QString path = ShowSaveDialog(flags, m_dir.path(), filter, filterIndex, QStringLiteral("bmp"), QString(),
                                            QString(), nullptr);
        QCOMPARE(path, m_dir.filePath(QStringLiteral("typed.bmp")));
        QCOMPARE(filterIndex, index);
    }

    void missingFolderIsRefused()
    {
        QString warning;
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            WhenModal<QMessageBox>([&, dialog](QMessageBox *box) {
                warning = box->text();
                box->button(QMessageBox::Ok)->click();
                QVERIFY(dialog->isVisible());
                Cancel(dialog);
            }, dialog);
            TypeAndConfirm(dialog, QStringLiteral("fehlt/shot"));
        });
        QCOMPARE(SaveCapture(m_dir.path()), QString());
        QVERIFY2(warning.contains(m_dir.filePath(QStringLiteral("fehlt"))), qPrintable(warning));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("fehlt"))));
    }
};

QTEST_MAIN(FileDialogTest)
#include "FileDialogTest.moc"
