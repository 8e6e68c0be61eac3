// Regression: the save dialog listed dates, sizes and types in the desktop's English ("7 Dec",
// "Windows BMP image") and cut the types short. Now German, and each column holds its text.
#include "capture/mdlFileDialog.h"
#include "support/ModalWatcher.h"

#include <QtTest>
#include <QFileDialog>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTreeView>

class SaveDialogInGermanTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listInGerman()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Bilder")));
        QFile file(dir.filePath(QStringLiteral("bild.bmp")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(1344, 'x'));
        file.flush();
        QVERIFY(file.setFileTime(QDateTime(QDate(2026, 12, 7), QTime(14, 3)), QFileDevice::FileModificationTime));
        file.close();

        QStringList shown;
        bool fits = true;
        const auto listed = [](QFileDialog *dialog) {
            auto *view = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
            return view && view->model()->rowCount(view->rootIndex()) == 2;
        };
        ModalWatcher::WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            auto *view = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
            view->model()->sort(0);
            for (int row = 0; row < 2; ++row) {
                for (int column = 1; column < 4; ++column) {
                    const QString text = view->model()->index(row, column, view->rootIndex()).data().toString();
                    shown << text;
                    fits = fits && view->header()->sectionSize(column) > view->fontMetrics().horizontalAdvance(text);
                }
            }
            dialog->reject();
        }, nullptr, listed);
        qint32 flags = 0;
        qint32 filterIndex = 1;
        mdlFileDialog::ShowSaveDialog(flags, dir.path(), mdlFileDialog::BuildDialogFilter({"Bitmap (*.bmp)", "*.bmp"}),
                                      filterIndex, QStringLiteral("bmp"), QString(), QString(), nullptr);
        QCOMPARE(shown.mid(3), (QStringList{QString::fromUtf8("1,31 KiB"), "BMP-Datei", "07.12.26 14:03"}));
        QVERIFY2(!shown[2].contains(QStringLiteral("Dec")), qPrintable(shown[2]));
        QVERIFY2(fits, qPrintable(shown.join(QLatin1Char('|'))));
    }
};

QTEST_MAIN(SaveDialogInGermanTest)
#include "SaveDialogInGermanTest.moc"
